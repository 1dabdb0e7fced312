// The backgrounds against the places where the windows put their controls and texts.

#include "resources/art/art.h"
#include "resources/art/board_layout.h"
#include "resources/art/palette.h"
#include "tests/art/probe.h"

#include <gtest/gtest.h>

namespace {

using namespace art::layout;
using probe::Picture;

const QColor black(0, 0, 0);
constexpr qreal readable = 7.0; // contrast for small text

bool isBackdrop(const QColor &c)
{
    return c.alpha() == 255 && probe::luminance(c) < 0.1;
}

TEST(BoardBackground, CoversTheWholeBoard)
{
    for (const qreal dpr : {1.0, 2.0}) {
        const Picture board(art::boardBackground(dpr));
        EXPECT_EQ(probe::count(board, [](const QColor &c) { return c.alpha() < 255; }), 0) << dpr;
    }
}

TEST(BoardBackground, PanelsLieWhereTheControlsGo)
{
    for (const qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const Picture board(art::boardBackground(dpr));
        // Upper panel: orange inside, backdrop around it.
        EXPECT_TRUE(probe::isOrange(board.at(100, 240)));
        EXPECT_TRUE(probe::isOrange(board.at(upperPanel.right() - 4, upperPanel.center().y())));
        EXPECT_TRUE(isBackdrop(board.at(upperPanel.left() - 4, 290)));
        EXPECT_TRUE(isBackdrop(board.at(upperPanel.right() + 6, 150)));
        EXPECT_TRUE(isBackdrop(board.at(380, upperPanel.bottom() + 6)));
        // Peach under the seat rows and around the chat controls.
        EXPECT_TRUE(probe::isPeachy(board.at(240, 515)));
        EXPECT_TRUE(probe::isPeachy(board.at(500, 515)));
        EXPECT_TRUE(probe::isPeachy(board.at(chatArea.right() - 4, chatArea.top() + 3)));
    }
}

TEST(BoardBackground, BlackCaptionsReadWellWhereverTheyGo)
{
    const Picture board(art::boardBackground(1.0));
    EXPECT_GE(probe::worstContrast(board, roundCaption, black), readable);
    EXPECT_GE(probe::worstContrast(board, statusLine, black), readable);
    EXPECT_GE(probe::worstContrast(board, wordCaption, black), readable);
    EXPECT_GE(probe::worstContrast(board, QRect(typingCaption, QSize(80, 16)), black), readable);
    for (const int top : seatRowTops) {
        EXPECT_GE(probe::worstContrast(board, QRect(nameLeft, top, nameWidth, 18), black), readable) << top;
        EXPECT_GE(probe::worstContrast(board, QRect(scoreLeft, top, 60, 18), black), readable) << top;
        EXPECT_GE(probe::worstContrast(board, QRect(wordCountLeft, top, 60, 18), black), readable) << top;
    }
}

TEST(BoardBackground, CarriesTheNumberedBoxUnderEveryProgressMark)
{
    const Picture board(art::boardBackground(1.0));
    for (int word = 1; word <= progressMarks; ++word) {
        const Picture box(art::numberBox(word, 1.0));
        const QPoint origin = progressMark(word).topLeft();
        for (int y = 2; y < 17; ++y)
            for (int x = 2; x < 15; ++x) {
                const QColor expected = box.image.pixelColor(x, y);
                const QColor found = board.image.pixelColor(origin + QPoint(x, y));
                ASSERT_NEAR(found.red(), expected.red(), 8) << word << " at " << x << "," << y;
                ASSERT_NEAR(found.green(), expected.green(), 8) << word << " at " << x << "," << y;
                ASSERT_NEAR(found.blue(), expected.blue(), 8) << word << " at " << x << "," << y;
            }
    }
}

TEST(BoardBackground, StartPlateHidesThePlayersHeadingsWhole)
{
    // No part of "THE PLAYERS" or of the column headings may peek out beside the plate.
    const Picture board(art::boardBackground(2.0));
    const int top = startPlate.top() + 1, height = startPlate.height() - 3;
    const QRect leftOfPlate(playersPanel.left() + 4, top, startPlate.left() - playersPanel.left() - 4, height);
    const QRect rightOfPlate(startPlate.right() + 1, top, playersPanel.right() - 4 - startPlate.right(), height);
    EXPECT_EQ(probe::count(board, probe::isDarkRedInk, leftOfPlate), 0);
    EXPECT_EQ(probe::count(board, probe::isDarkRedInk, rightOfPlate), 0);
    // ... while the headings are there under it.
    EXPECT_GT(probe::count(board, probe::isDarkRedInk, startPlate), 400);
}

TEST(ResultsBackground, SevenPeachColumnsWithOrangeBetween)
{
    for (const qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const Picture panel(art::resultsBackground(dpr));
        EXPECT_TRUE(probe::isPeachy(panel.at(originalList.center().x(), originalList.center().y())));
        EXPECT_TRUE(probe::isOrange(panel.at((originalList.right() + wordList(1).left()) / 2.0, 150)));
        for (int column = 1; column <= 6; ++column) {
            const QRect list = wordList(column);
            EXPECT_TRUE(probe::isPeachy(panel.at(list.center().x(), list.center().y()))) << column;
            EXPECT_TRUE(probe::isPeachy(panel.at(list.center().x(), fastestTop + 8))) << column;
            if (column < 6) {
                const qreal between = (list.right() + 1 + wordList(column + 1).left()) / 2.0;
                EXPECT_TRUE(probe::isOrange(panel.at(between, 150))) << column;
            }
        }
        EXPECT_TRUE(probe::isOrange(panel.at(750, 150)));
    }
}

TEST(ResultsBackground, BlackTextReadsInEveryColumn)
{
    // Lists are measured inside their outermost two pixels, where the rounded rim of the well is
    // and where no item text goes.
    const Picture panel(art::resultsBackground(1.0));
    EXPECT_GE(probe::worstContrast(panel, QRect(originalCaption, QSize(93, 16)), black), readable);
    EXPECT_GE(probe::worstContrast(panel, originalList.adjusted(2, 2, -2, -2), black), readable);
    EXPECT_GE(probe::worstContrast(panel, QRect(resultsRoundCaption, QSize(93, 18)), black), readable);
    for (int column = 1; column <= 6; ++column) {
        const int left = scoreColumnLefts[column - 1];
        EXPECT_GE(probe::worstContrast(panel, QRect(left, columnNameTop, 93, 16), black), readable) << column;
        EXPECT_GE(probe::worstContrast(panel, QRect(left, roundScoreTop, 93, 16), black), readable) << column;
        EXPECT_GE(probe::worstContrast(panel, wordList(column).adjusted(2, 2, -2, -2), black), readable) << column;
    }
}

TEST(WinnerBanner, PeachWinnerTextStandsOut)
{
    const Picture banner(art::winnerBanner(1.0));
    EXPECT_GE(probe::worstContrast(banner, QRect(60, 9, 490, 22), art::palette::peach), 4.5);
}

TEST(DialogBackground, BlackTextReadsOnItsPanel)
{
    const Picture dialog(art::dialogBackground({300, 200}, 1.0));
    EXPECT_TRUE(isBackdrop(dialog.at(2, 100)));
    EXPECT_GE(probe::worstContrast(dialog, QRect(14, 14, 272, 172), black), readable);
}

} // namespace
