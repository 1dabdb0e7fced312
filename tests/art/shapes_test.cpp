// What the small pictures show: letters, crosses, dots, ramps, lettering and faces.

#include "resources/art/art.h"
#include "resources/art/palette.h"
#include "tests/art/probe.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

using probe::Picture;

struct Ink {
    int pixels = 0;
    QRect bounds;
};

// The dark-red letter on a tile, in logical pixels at ratio 1.
Ink letterInk(int code)
{
    const Picture tile(art::classicTile(code, 1.0));
    Ink ink;
    for (int y = 3; y < 41; ++y)
        for (int x = 3; x < 41; ++x)
            if (probe::isDarkRedInk(tile.image.pixelColor(x, y))) {
                ++ink.pixels;
                ink.bounds |= QRect(x, y, 1, 1);
            }
    return ink;
}

TEST(ClassicTiles, BlankTileHasNoLetterAndEveryLetterTileHasOne)
{
    EXPECT_EQ(letterInk(0).pixels, 0);
    for (int code = 1; code <= 26; ++code)
        EXPECT_GT(letterInk(code).pixels, 40) << char('A' + code - 1);
}

TEST(ClassicTiles, EveryLetterLooksDifferent)
{
    for (const qreal dpr : {1.0, 2.0}) {
        QSet<QByteArray> seen;
        for (int code = 0; code <= 26; ++code) {
            const QImage image = art::classicTile(code, dpr).toImage();
            seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
        }
        EXPECT_EQ(seen.size(), 27) << dpr;
    }
}

TEST(ClassicTiles, LettersAreLargeCentredAndShareOneBaseline)
{
    const int baseline = letterInk(1).bounds.bottom();
    for (int code = 1; code <= 26; ++code) {
        const char letter = char('A' + code - 1);
        const QRect ink = letterInk(code).bounds;
        SCOPED_TRACE(letter);
        EXPECT_GE(ink.height(), 20); // readable at a glance
        EXPECT_NEAR(ink.center().x(), 21.5, 1.5);
        EXPECT_GE(ink.left(), 5);
        EXPECT_LE(ink.right(), 38);
        if (letter != 'Q') { // the tail of Q goes below the line
            EXPECT_NEAR(ink.bottom(), baseline, 1);
        }
        EXPECT_NEAR(ink.top(), 44 - 1 - baseline, 3); // as much room above as below
    }
}

TEST(ClassicTiles, AllShareTheBlankTilesFrame)
{
    const QImage blank = art::classicTile(0, 2.0).toImage();
    for (int code = 1; code <= 26; ++code) {
        const QImage tile = art::classicTile(code, 2.0).toImage();
        for (int i = 0; i < 88; ++i)
            for (const QPoint p : {QPoint(i, 0), QPoint(i, 87), QPoint(0, i), QPoint(87, i), QPoint(i, 2), QPoint(2, i)})
                ASSERT_EQ(tile.pixel(p), blank.pixel(p)) << code << " at " << p.x() << "," << p.y();
    }
}

// A word done reads as done, a refused answer as wrong: a dark green check and a red cross on the
// same orange box, the check standing out from the orange as a drawing must (3:1).
TEST(SmallBoxes, ADoneWordsMarkIsACheckAndARefusedOnesACross)
{
    const auto isGreen = [](const QColor &c) { return c.green() > c.red() + 20 && c.green() > c.blue() + 20; };
    for (const qreal dpr : {1.0, 2.0}) {
        const Picture done(art::progressMark(dpr));
        const Picture refused(art::refusedMark(dpr));
        EXPECT_TRUE(probe::isRed(refused.at(8.5, 9.5))) << dpr; // where the strokes cross
        EXPECT_GT(probe::count(refused, probe::isRed), 30 * dpr * dpr);
        EXPECT_EQ(probe::count(done, probe::isRed), 0) << dpr;
        EXPECT_GT(probe::count(done, isGreen), 14 * dpr * dpr) << dpr;
        EXPECT_TRUE(isGreen(done.at(7.4, 12.8))) << dpr; // the check's low point
        EXPECT_GE(probe::contrast(done.at(7.4, 12.8), art::palette::orange), 3.0) << dpr;
        for (const Picture *mark : {&done, &refused}) {
            EXPECT_TRUE(probe::isOrange(mark->at(8.5, 2.5))) << dpr;
            EXPECT_TRUE(probe::isOrange(mark->at(14.5, 16.5))) << dpr;
        }
    }
}

TEST(SmallBoxes, NumberedBoxesDifferFromEachOtherAndFromTheMark)
{
    QSet<QByteArray> seen;
    const auto add = [&seen](const QPixmap &pixmap) {
        const QImage image = pixmap.toImage();
        seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
    };
    for (int n = 1; n <= 10; ++n) {
        add(art::numberBox(n, 1.0));
        const Picture box(art::numberBox(n, 1.0));
        EXPECT_TRUE(probe::isPeachy(box.at(2.5, 2.5))) << n;
        EXPECT_GT(probe::count(box, probe::isDarkRedInk, QRect(3, 3, 11, 13)), 8) << n; // the number
    }
    add(art::progressMark(1.0));
    add(art::refusedMark(1.0));
    EXPECT_EQ(seen.size(), 12);
}

TEST(SmallBoxes, TypingBoxShowsARedDotOnlyWhileOn)
{
    for (const qreal dpr : {1.0, 2.0}) {
        const Picture on(art::typingBox(true, dpr));
        const Picture off(art::typingBox(false, dpr));
        EXPECT_TRUE(probe::isRed(on.at(11, 11))) << dpr;
        EXPECT_EQ(probe::count(off, probe::isRed), 0) << dpr;
        EXPECT_LT(probe::contrast(off.at(10, 10), art::palette::peach), 1.15) << dpr;
        // Same square around the dot.
        EXPECT_EQ(on.at(2.5, 2.5), off.at(2.5, 2.5));
        EXPECT_EQ(on.at(17.5, 17.5), off.at(17.5, 17.5));
    }
}

TEST(TimerBar, RampsFromDarkRedToOrangeWithoutHoles)
{
    const Picture bar(art::timerBar(1.0));
    EXPECT_EQ(probe::count(bar, [](const QColor &c) { return c.alpha() < 255; }), 0);
    const int middle = 10;
    const QColor left = bar.at(0, middle), right = bar.at(257, middle);
    EXPECT_TRUE(probe::isDarkRedInk(left)) << left.name().toStdString();
    EXPECT_TRUE(probe::isOrange(right)) << right.name().toStdString();
    // Warmer step by step: the green channel never falls going right.
    for (int x = 1; x < 258; ++x)
        ASSERT_GE(bar.at(x, middle).green() + 1, bar.at(x - 1, middle).green()) << x;
}

TEST(TimerBar, ClockTextStaysReadableOverTheFullBar)
{
    // The clock's text (262, 24, 87 by 19 on the board) lies over x 4 to 91 of the bar, in pale
    // yellow, in red below 20 seconds, and in peach before the first tick.
    // Measured where the letters are: 16 pixels bold, centred in the 19 pixel box.
    const Picture bar(art::timerBar(1.0));
    const QRect underLetters(4, 5, 87, 13);
    EXPECT_GE(probe::worstContrast(bar, underLetters, art::palette::paleYellow), 4.5);
    EXPECT_GE(probe::worstContrast(bar, underLetters, art::palette::peach), 4.5);
    EXPECT_GE(probe::worstContrast(bar, underLetters, QColor(255, 0, 0)), 2.8);
}

TEST(Plates, AreDarkRedWithPeachLetteringAndShowTheirState)
{
    using art::PlateState;
    for (const auto &draw : {art::startPlate, art::passPlate, art::clearPlate}) {
        const Picture normal(draw(PlateState::Normal, 1.0));
        const int area = normal.image.width() * normal.image.height();
        EXPECT_GT(probe::count(normal, probe::isDarkRedInk), area / 2);
        EXPECT_GT(probe::count(normal, probe::isPeachy), 150); // the lettering
        const QImage hover = draw(PlateState::Hover, 1.0).toImage();
        const QImage pressed = draw(PlateState::Pressed, 1.0).toImage();
        EXPECT_NE(normal.image, hover.convertToFormat(QImage::Format_ARGB32));
        EXPECT_NE(normal.image, pressed.convertToFormat(QImage::Format_ARGB32));
        EXPECT_NE(hover, pressed);
    }
    EXPECT_NE(art::passPlate(PlateState::Normal, 1.0).toImage(), art::clearPlate(PlateState::Normal, 1.0).toImage());
}

TEST(Markers, StarIsRedWithClearCornersAndBonusIsRedOnOrange)
{
    const Picture star(art::fastestStar(2.0));
    EXPECT_TRUE(probe::isRed(star.at(8, 9)));
    EXPECT_EQ(star.at(0.5, 15.5).alpha(), 0);
    EXPECT_EQ(star.at(15.5, 0.5).alpha(), 0);

    const Picture bonus(art::bonusMarker(1.0));
    EXPECT_TRUE(probe::isOrange(bonus.at(3, 8)));
    EXPECT_GT(probe::count(bonus, probe::isRed), 40);

    const Picture job(art::goodJob(1.0));
    EXPECT_TRUE(probe::isOrange(job.at(80, 6)));
    EXPECT_GT(probe::count(job, probe::isDarkRedInk, QRect(20, 5, 121, 25)), 300);
}

TEST(Markers, EyesArePairedAndLookRight)
{
    for (const qreal dpr : {1.0, 2.0}) {
        const Picture eyes(art::eyes(dpr));
        const auto white = [](const QColor &c) { return c.alpha() > 200 && c.lightness() > 220; };
        const auto dark = [](const QColor &c) { return c.alpha() > 200 && c.lightness() < 60; };
        EXPECT_GT(probe::count(eyes, white, QRect(0, 0, 7, 12)), 6) << dpr;
        EXPECT_GT(probe::count(eyes, white, QRect(7, 0, 7, 12)), 6) << dpr;
        // The pupils: more dark inside the right half of each eye than inside its left half.
        for (const int eyeLeft : {0, 7}) {
            const int pupilSide = probe::count(eyes, dark, QRect(eyeLeft + 3, 3, 3, 7));
            const int farSide = probe::count(eyes, dark, QRect(eyeLeft + 1, 3, 2, 7));
            EXPECT_GT(pupilSide, 2 * farSide) << dpr;
        }
    }
}

TEST(PhraseIcons, AreTenDifferentFacesTheLastOneMaroon)
{
    QSet<QByteArray> seen;
    for (int n = 1; n <= 10; ++n) {
        const QImage image = art::phraseIcon(n, 1.0).toImage();
        seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()));
        const Picture face(art::phraseIcon(n, 1.0));
        const QColor corner = face.at(2.5, 3.5);
        if (n < 10)
            EXPECT_TRUE(probe::isPeachy(corner)) << n;
        else
            EXPECT_TRUE(corner.red() > 100 && corner.green() < 40 && corner.blue() < 40) << corner.name().toStdString();
    }
    EXPECT_EQ(seen.size(), 10);
}

} // namespace
