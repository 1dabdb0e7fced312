#pragma once

#include <QString>

namespace chat {

// What pressing Enter in the chat entry does with its text.
struct OutgoingLine
{
    enum class Kind {
        Keep,   // not logged in yet: nothing is sent and the entry keeps its text
        Clear,  // nothing to send (empty, or a "/" command other than "/me"); the entry is cleared
        Chat,   // send text as a chat line, then clear the entry
        Action, // send text as an action, then clear the entry
    };
    Kind kind = Kind::Keep;
    QString text;

    friend bool operator==(const OutgoingLine &, const OutgoingLine &) = default;
};

// "/me waves" becomes the action "waves": the "/me" and the character after it are dropped.
OutgoingLine outgoingLine(const QString &entryText, bool loginComplete);

} // namespace chat
