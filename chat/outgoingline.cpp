#include "chat/outgoingline.h"

namespace chat {

OutgoingLine outgoingLine(const QString &entryText, bool loginComplete)
{
    using Kind = OutgoingLine::Kind;
    if (!loginComplete)
        return {Kind::Keep, {}};
    if (entryText.isEmpty())
        return {Kind::Clear, {}};
    if (!entryText.startsWith(u'/'))
        return {Kind::Chat, entryText};
    if (entryText.startsWith(QLatin1String("/me")))
        return {Kind::Action, entryText.mid(4)};
    return {Kind::Clear, {}};
}

} // namespace chat
