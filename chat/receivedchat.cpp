#include "chat/receivedchat.h"

#include "chat/colourtext.h"

namespace chat {

ReceivedChat readReceivedChat(const QString &data)
{
    const qsizetype bar = data.indexOf(u'|');
    if (bar < 0)
        return {data, DefaultLineColour};
    return {data.left(bar), colourFromText(data.mid(bar + 1)).value_or(DefaultLineColour)};
}

} // namespace chat
