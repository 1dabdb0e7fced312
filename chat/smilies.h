#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace chat {

// The chat's smiley pictures, indexes 0 to 17 (smiley codes 10 to 27), each 17 by 16 logical
// pixels. They are drawn by code at the requested device pixel ratio so they stay crisp.
inline constexpr QSize SmileySize{17, 16};

QPixmap smileyPixmap(int picture, qreal devicePixelRatio);

// The picture at 1x and 2x, for menus and buttons.
QIcon smileyIcon(int picture);

// A short description of the face ("smile", "wink", ...), for tool tips.
QString smileyName(int picture);

} // namespace chat
