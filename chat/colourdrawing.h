#pragma once

#include <QColor>
#include <QPalette>

namespace chat {

// The colour to draw a colour value with: plain values by their red, green and blue bytes, the
// system colours by the matching role of the palette, clNone as transparent.
QColor drawingColour(quint32 colour, const QPalette &palette);

// As above with the application's palette.
QColor drawingColour(quint32 colour);

// The colour to draw text with: as drawingColour, but a colour that would leave the text
// invisible (clNone) gives the palette's text colour.
QColor textDrawingColour(quint32 colour, const QPalette &palette);

// The colour to draw text with on the palette's field colour (Base): as textDrawingColour, made
// darker or lighter just enough to read there when it would not (yellow on the chat's peach,
// say). Every copy draws a player's colour the same way, whatever the player picked.
QColor readableTextColour(quint32 colour, const QPalette &palette);

} // namespace chat
