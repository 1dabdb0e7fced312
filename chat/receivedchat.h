#pragma once

#include <QString>
#include <QtGlobal>

namespace chat {

struct ReceivedChat
{
    QString line;   // seat number, "+" and the text
    quint32 colour; // the sender's colour, or the default line colour
};

// Splits the data of a received chat line or action at its first "|": the line before it, the
// colour text after it. A missing or unreadable colour text gives the default line colour.
ReceivedChat readReceivedChat(const QString &data);

} // namespace chat
