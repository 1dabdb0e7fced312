#pragma once

#include <QByteArray>
#include <QString>

// What the host makes of the texts that players send before it keeps or relays them. Texts are
// UTF-8; bytes that are not become U+FFFD.
namespace playertext {

// Control characters, the line and paragraph separators and the marks that reorder the text
// around them become blanks, so that a text stays on its one line; then the text is cut after
// maxChars characters, never inside one.
QByteArray cleaned(const QByteArray &text, int maxChars);

// A player's name as the host keeps and relays it: cleaned and cut to proto::kMaxNameChars, and
// the characters that the chat grammar reads ("|" starts a line's colour, ":" ends its head)
// swapped for look-alikes that it does not read, so a name never reads as a chat line of its own.
QByteArray playerName(const QByteArray &name);

// A chat line's or an action's "text|colour": the text cleaned and cut to proto::kMaxChatChars,
// what follows the first "|" cleaned and cut to the length of the longest colour text.
QByteArray chatText(const QByteArray &text);

// A name for a log line: in double quotes, cut short, control characters escaped.
QString forLog(const QByteArray &name);

} // namespace playertext
