#include "session/notices.h"

#include <QRegularExpression>

namespace notices {

namespace {

// The name a host made unique by adding a number, with or without a blank or brackets; the host
// may have shortened the name to make room for it.
bool isNumberedCopyOf(const QString &given, const QString &asked)
{
    static const QRegularExpression numbered(QStringLiteral("^(.*?)[\\s(\\[#_-]*\\d+[)\\]]?$"));
    const QRegularExpressionMatch match = numbered.match(given);
    if (!match.hasMatch())
        return false;
    const QString stem = match.captured(1).trimmed();
    return !stem.isEmpty() && asked.trimmed().startsWith(stem);
}

} // namespace

QString givenName(const QString &asked, const QString &given)
{
    if (given == asked || given == asked.trimmed())
        return {};
    if (isNumberedCopyOf(given, asked))
        return QStringLiteral("%1 is already at this table: you play as %2.").arg(asked.trimmed(), given);
    return QStringLiteral("You play as %1.").arg(given);
}

QString hostNotFound(const QString &name)
{
    return QStringLiteral("Host Lookup - Could Not Find Host Entry\n\nNo computer named \"%1\" was found. Check the "
                          "spelling of the name, or ask the host for the IP address of the computer that hosts the "
                          "game, and check that this computer is connected to the network.")
        .arg(name);
}

} // namespace notices
