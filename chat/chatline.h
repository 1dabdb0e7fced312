#pragma once

#include "protocol/constants.h"

#include <QString>

#include <optional>
#include <vector>

namespace chat {

inline constexpr int ChatStyleCount = 15;
inline constexpr int SystemStyle = 0;
inline constexpr int LinkStyle = 4;
inline constexpr int SeatStyleOffset = 5; // a seat's lines use style seat + 5
inline constexpr int MaxSeat = proto::kLastSeat;

inline constexpr int SmileyCount = 18;
inline constexpr int FirstSmileyCode = 10; // code n shows picture n - 10
inline constexpr int LastSmileyCode = FirstSmileyCode + SmileyCount - 1;
inline const QString SmileyMarker = QStringLiteral(":)#");

// The longest line the host relays: a name, " chats: " and the text.
inline constexpr int MaxRelayedLineChars = proto::kMaxNameChars + 8 + proto::kMaxChatChars;
// One line turns at most this many link words and smilies into links and pictures; the rest
// stays text, so a line stuffed with them from a hostile host costs no more to show than its
// text. A link word takes at least five characters with its blank ("www. "), a smiley five
// (":)#10"), so every one of a relayed line is shown as it should be.
inline constexpr int MaxLinksPerLine = MaxRelayedLineChars / 5 + 1;
inline constexpr int MaxSmiliesPerLine = MaxRelayedLineChars / 5 + 1;

struct ChatItem
{
    enum class Kind { Text, Link, Smiley };
    Kind kind = Kind::Text;
    QString text;    // a word with its trailing blank (text and link items)
    int picture = 0; // the smiley picture, 0 to 17 (smiley items)

    friend bool operator==(const ChatItem &, const ChatItem &) = default;
};

// One chat line cut into what the view shows: the head (up to the first ":", followed by a
// blank) and then the words and smilies of the body.
struct ChatLine
{
    int seat = 0;
    int style = SystemStyle; // the style of the head and the text words
    QString head;
    std::vector<ChatItem> items;
};

// Cuts "seat+text" into a chat line. A line whose seat is not a number from 0 to 9 gives nothing:
// there is no style to show it in. Past the caps above, link words are text words and smiley
// markers stay in the text as typed.
std::optional<ChatLine> parseChatLine(const QString &line);

// A word that begins with this is a game's invite link.
inline const QString GameLinkPrefix = QStringLiteral("vrel://");

// Words that look like web addresses ("http://", "https://" or "www." in them), and invite links
// to a game, are links; the test is case-sensitive.
bool isLinkWord(const QString &word);

} // namespace chat
