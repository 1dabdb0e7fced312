#pragma once

#include <QColor>

// The board's colours, shared by every picture and free for widgets that want to match them
// (list backgrounds, label texts).
namespace art::palette {

inline const QColor peach{0xFF, 0xDA, 0xB0};       // chat background, first timer text
inline const QColor peachLight{0xFF, 0xEC, 0xD4};  // highlights, list wells
inline const QColor peachDeep{0xF0, 0xBE, 0x88};   // shade on peach
inline const QColor orange{0xF3, 0x9C, 0x3A};
inline const QColor orangeLight{0xF9, 0xBA, 0x64};
inline const QColor orangeDeep{0xD8, 0x76, 0x1E};
inline const QColor darkRed{0x8C, 0x1C, 0x13};
inline const QColor darkRedLight{0xB0, 0x33, 0x24};
inline const QColor darkRedDeep{0x5A, 0x0F, 0x0A};
inline const QColor red{0xD6, 0x1F, 0x1A};         // refused word's cross, fastest star, BONUS
inline const QColor doneGreen{0x14, 0x5A, 0x1E};   // the check of a word done
inline const QColor maroon{0x80, 0x00, 0x00};
inline const QColor paleYellow{0xE0, 0xE3, 0x9D};  // timer text from the first tick
inline const QColor ink{0x1E, 0x12, 0x0C};         // captions
inline const QColor frame{0x5B, 0x2A, 0x17};       // thin dark frame of tiles and boxes
inline const QColor backdropTop{0x7C, 0x2E, 0x18};
inline const QColor backdropBottom{0x4C, 0x17, 0x0C};

} // namespace art::palette

#include <QPalette>

namespace art {

// The colours every window of the game draws its controls in, whatever the desktop's theme: black
// text on peach and white, dark-red selection. Every role of every group is set, so a light or
// dark desktop palette never reaches a window that carries it, nor its controls.
QPalette windowPalette();

} // namespace art
