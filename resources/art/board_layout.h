#pragma once

#include <QRect>
#include <array>

// Where things sit on the 764 by 529 board and on the round-results panel. The backgrounds are
// drawn around these places; the windows can place their controls from the same numbers.
namespace art::layout {

constexpr QSize boardSize{764, 529};

// Upper panel: round caption, clock, progress, the two tile rows, the status line.
constexpr QRect upperPanel{56, 18, 662, 286};
constexpr QRect roundCaption{64, 22, 171, 22};
constexpr QRect timerBar{258, 22, 258, 21};
constexpr QRect timerText{262, 24, 87, 19};
constexpr QRect wordCaption{281, 53, 194, 20};
constexpr QRect passPlate{84, 144, 172, 43};
constexpr QRect goodJob{296, 128, 161, 35};
constexpr QRect clearPlate{516, 144, 172, 43};
constexpr QRect statusLine{63, 280, 650, 16};
constexpr int tileSize = 44;
constexpr int puzzleRowTop = 80;
constexpr int entryRowTop = 168;
constexpr int progressMarks = 10;

// position 1 to 5
constexpr QRect puzzleTile(int position) { return {268 + 48 * (position - 1), puzzleRowTop, tileSize, tileSize}; }
constexpr QRect entryTile(int position) { return {268 + 48 * (position - 1), entryRowTop, tileSize, tileSize}; }
// word number 1 to 10
constexpr QRect progressMark(int word) { return {523 + 19 * (word - 1), 23, 17, 19}; }

// The game's name on four tiles down the left margin: the logo that opens the game's web page.
constexpr QRect logo{9, 75, 38, 170};

// Lower left: the seat rows.
constexpr QRect playersPanel{4, 320, 252, 205};
constexpr QRect startPlate{30, 323, 197, 43};
constexpr std::array<int, 6> seatRowTops{368, 389, 410, 432, 453, 474};
constexpr int seatRowHeight = 21;
constexpr int eyesLeft = 8;
constexpr int nameLeft = 24;
constexpr int nameWidth = 96;
constexpr int scoreLeft = 122;
constexpr int wordCountLeft = 186;
// seat 1 to 6; the eyes picture is 14 by 12, centred on the row's text, left of the name
constexpr QRect eyesIcon(int seat) { return {eyesLeft, seatRowTops[seat - 1] + 4, 14, 12}; }

// Lower right: the chat area.
constexpr QRect chatArea{259, 316, 505, 213};
// i = 0 to 9; the tenth opens the chatter sounds
constexpr QRect phraseButton(int i) { return {262, 319 + 21 * i, 27, 21}; }
constexpr QRect chatView{292, 320, 468, 154};
constexpr QRect chatEntry{292, 478, 444, 22};
constexpr QRect smileyButton{738, 478, 22, 22};
constexpr QRect typingBox{642, 505, 20, 20};
constexpr QPoint typingCaption{666, 506};

// Laid over the board when shown.
constexpr QRect resultsPanel{4, 1, 757, 315};
constexpr QRect winnerBanner{138, 275, 609, 38};

// Inside the results panel (panel coordinates).
constexpr QPoint originalCaption{16, 22};
constexpr QRect originalList{17, 43, 93, 228};
constexpr QPoint resultsRoundCaption{16, 278};
constexpr std::array<int, 6> scoreColumnLefts{134, 236, 337, 439, 540, 642};
constexpr int columnNameTop = 6;
constexpr int columnNameWidth = 103;
constexpr int roundScoreTop = 23;
constexpr int wordListTop = 43;
constexpr QSize wordListSize{93, 228};
constexpr int fastestTop = 275;
constexpr int bonusTop = 283;
// column 1 to 6 (the score columns; the source words have their own list)
constexpr QRect wordList(int column) { return {scoreColumnLefts[column - 1], wordListTop, wordListSize.width(), wordListSize.height()}; }
// Across, the star and the marker are ours to choose: star at the list's left, BONUS at its right.
constexpr QRect fastestStar(int column) { return {scoreColumnLefts[column - 1] + 4, fastestTop, 16, 16}; }
constexpr QRect bonusMarker(int column) { return {scoreColumnLefts[column - 1] + 36, bonusTop, 55, 17}; }

} // namespace art::layout
