#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// A colour value is 0x00BBGGRR (red in the low byte). Values 0x80000000 + index name one of the
// desktop's system colours; clNone marks "no colour". Colour texts carry these values in chat
// messages and in the settings file.
namespace chat {

inline constexpr quint32 SystemColourBase = 0x80000000u;
inline constexpr int SystemColourCount = 25;
inline constexpr quint32 ColourNone = 0x1FFFFFFFu;

inline constexpr quint32 ColourBlack = 0x00000000u;
inline constexpr quint32 ColourRed = 0x000000FFu;
inline constexpr quint32 ColourGreen = 0x00008000u;
inline constexpr quint32 ColourNavy = 0x00800000u;
inline constexpr quint32 ColourBlue = 0x00FF0000u;
inline constexpr quint32 ColourWindowText = SystemColourBase + 8;

// The colour every system line is shown in.
inline constexpr quint32 SystemLineColour = ColourBlue;
// The colour of a received line whose colour text is missing or unreadable.
inline constexpr quint32 DefaultLineColour = ColourRed;

// The colour's name if it has one, else "$" and exactly eight upper-case hex digits.
QString colourToText(quint32 colour);

// A colour name (any case), a decimal number, or "$" and up to eight hex digits.
// Anything else, blanks around the text included, gives nothing.
std::optional<quint32> colourFromText(const QString &text);

} // namespace chat
