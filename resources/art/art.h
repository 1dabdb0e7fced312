#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The game's pictures, drawn by our own code. Every function returns a pixmap of a fixed logical
// size rendered at the given device pixel ratio (the application's by default), so it stays crisp
// on a high-DPI screen. Pictures are drawn once per ratio and then served from a cache; call them
// from the GUI thread only, after the QGuiApplication exists.
namespace art {

// The application's device pixel ratio, 1 without an application.
qreal appDevicePixelRatio();

enum class PlateState { Normal, Hover, Pressed };

// 764 x 529: backdrop, the upper orange panel with its strips, tile trays and the ten numbered
// boxes, the peach "THE PLAYERS" panel with its column headings and rows, the chat area's frame.
QPixmap boardBackground(qreal dpr = appDevicePixelRatio());
// Any size (1 to 4096 each way): the main window's look for the small windows (start dialog, spy
// list, phrase editor, help, about): the warm backdrop as a narrow border around a peach panel on
// which black text reads well.
QPixmap dialogBackground(QSize size, qreal dpr = appDevicePixelRatio());
// 757 x 315: orange with seven peach column frames (source words, then six score columns).
QPixmap resultsBackground(qreal dpr = appDevicePixelRatio());
// 609 x 38: the dark-red band behind the winner labels.
QPixmap winnerBanner(qreal dpr = appDevicePixelRatio());

// 44 x 44: code 0 the blank tile, 1 to 26 the letters A to Z; any other code gives a null pixmap
// (the board draws nothing for it).
QPixmap classicTile(int code, qreal dpr = appDevicePixelRatio());

// 161 x 35: "GOOD JOB!".
QPixmap goodJob(qreal dpr = appDevicePixelRatio());
// 17 x 19, laid over the numbered box of a word: a dark green check on orange for a word done,
// a red cross for a word whose answer was refused.
QPixmap progressMark(qreal dpr = appDevicePixelRatio());
QPixmap refusedMark(qreal dpr = appDevicePixelRatio());
// 17 x 19: the box numbered n (1 to 10) under each progress mark; null outside 1 to 10. The board
// background already carries all ten at their places.
QPixmap numberBox(int n, qreal dpr = appDevicePixelRatio());

// Dark-red plates with peach lettering: 197 x 43 "START GAME", 172 x 43 "PASS WORD" / "'1' KEY"
// and "CLEAR WORD" / "'0' KEY".
QPixmap startPlate(PlateState state = PlateState::Normal, qreal dpr = appDevicePixelRatio());
QPixmap passPlate(PlateState state = PlateState::Normal, qreal dpr = appDevicePixelRatio());
QPixmap clearPlate(PlateState state = PlateState::Normal, qreal dpr = appDevicePixelRatio());

// 16 x 16 red star of the fastest player; 55 x 17 "BONUS" in red on orange.
QPixmap fastestStar(qreal dpr = appDevicePixelRatio());
QPixmap bonusMarker(qreal dpr = appDevicePixelRatio());
// 14 x 12: a pair of eyes looking right, at the name of a watching player.
QPixmap eyes(qreal dpr = appDevicePixelRatio());
// 20 x 20: peach square, with a red dot while type-in-chat mode is on.
QPixmap typingBox(bool on, qreal dpr = appDevicePixelRatio());
// 258 x 21: colour ramp from dark red (left) to orange (right); shown cut from the right.
QPixmap timerBar(qreal dpr = appDevicePixelRatio());
// 27 x 21 button faces: n 1 to 9 the phrase buttons, 10 the maroon chatter-sound button; null
// outside 1 to 10.
QPixmap phraseIcon(int n, qreal dpr = appDevicePixelRatio());

// 196 x 56: the game's name on four tiles, for the about window.
QPixmap logo(qreal dpr = appDevicePixelRatio());

// 150 x 120: players around a globe over "KOVREN LOBBY", the lobby window's picture. The program
// carries it as a JPEG made from this drawing (resources/lobby).
QPixmap lobbyPicture(qreal dpr = appDevicePixelRatio());

// The window icon, from 16 to 256 pixels.
QIcon appIcon();

} // namespace art
