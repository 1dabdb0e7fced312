// Every picture: its logical size, its device pixel ratio, real content, the cache, and what
// happens with arguments out of range.

#include "resources/art/art.h"
#include "tests/art/probe.h"

#include <QGuiApplication>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct Case {
    const char *name;
    QSize size;
    std::function<QPixmap(qreal)> draw;
};

std::vector<Case> everyPicture()
{
    using art::PlateState;
    std::vector<Case> all{
        {"board", {764, 529}, [](qreal d) { return art::boardBackground(d); }},
        {"results", {757, 315}, [](qreal d) { return art::resultsBackground(d); }},
        {"winner", {609, 38}, [](qreal d) { return art::winnerBanner(d); }},
        {"dialog", {300, 200}, [](qreal d) { return art::dialogBackground({300, 200}, d); }},
        {"goodjob", {161, 35}, [](qreal d) { return art::goodJob(d); }},
        {"progress", {17, 19}, [](qreal d) { return art::progressMark(d); }},
        {"refused", {17, 19}, [](qreal d) { return art::refusedMark(d); }},
        {"fastest", {16, 16}, [](qreal d) { return art::fastestStar(d); }},
        {"bonus", {55, 17}, [](qreal d) { return art::bonusMarker(d); }},
        {"eyes", {14, 12}, [](qreal d) { return art::eyes(d); }},
        {"typing on", {20, 20}, [](qreal d) { return art::typingBox(true, d); }},
        {"typing off", {20, 20}, [](qreal d) { return art::typingBox(false, d); }},
        {"timer", {258, 21}, [](qreal d) { return art::timerBar(d); }},
    };
    for (const PlateState state : {PlateState::Normal, PlateState::Hover, PlateState::Pressed}) {
        all.push_back({"start", {197, 43}, [state](qreal d) { return art::startPlate(state, d); }});
        all.push_back({"pass", {172, 43}, [state](qreal d) { return art::passPlate(state, d); }});
        all.push_back({"clear", {172, 43}, [state](qreal d) { return art::clearPlate(state, d); }});
    }
    for (int code = 0; code <= 26; ++code)
        all.push_back({"tile", {44, 44}, [code](qreal d) { return art::classicTile(code, d); }});
    for (int n = 1; n <= 10; ++n) {
        all.push_back({"number", {17, 19}, [n](qreal d) { return art::numberBox(n, d); }});
        all.push_back({"phrase", {27, 21}, [n](qreal d) { return art::phraseIcon(n, d); }});
    }
    return all;
}

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

TEST(Pictures, HaveTheirLogicalSizeAtEveryRatioAndRealContent)
{
    for (const Case &c : everyPicture()) {
        for (const qreal dpr : {1.0, 1.5, 2.0}) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(dpr));
            const QPixmap pixmap = c.draw(dpr);
            ASSERT_FALSE(pixmap.isNull());
            EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), dpr);
            EXPECT_EQ(pixmap.size(), QSize(qCeil(c.size.width() * dpr), qCeil(c.size.height() * dpr)));
            EXPECT_NEAR(pixmap.deviceIndependentSize().width(), c.size.width(), 0.5);
            EXPECT_NEAR(pixmap.deviceIndependentSize().height(), c.size.height(), 0.5);

            // Neither blank nor a flat fill.
            const probe::Picture picture(pixmap);
            const int opaque = probe::count(picture, [](const QColor &p) { return p.alpha() > 0; });
            EXPECT_GT(opaque, pixmap.width() * pixmap.height() / 4);
            EXPECT_GE(distinctColours(picture.image), 3);
        }
    }
}

TEST(Pictures, FollowTheApplicationsRatioByDefault)
{
    const qreal appRatio = qGuiApp->devicePixelRatio();
    EXPECT_DOUBLE_EQ(art::appDevicePixelRatio(), appRatio);
    EXPECT_DOUBLE_EQ(art::classicTile(5).devicePixelRatio(), appRatio);
    EXPECT_DOUBLE_EQ(art::boardBackground().devicePixelRatio(), appRatio);
}

TEST(Pictures, HighRatioIsDrawnAtFullResolutionNotEnlarged)
{
    // An enlarged ratio-1 picture would consist of uniform 2 by 2 blocks.
    const QImage image = art::classicTile(23, 2.0).toImage();
    int mixedBlocks = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p || image.pixel(x + 1, y + 1) != p)
                ++mixedBlocks;
        }
    EXPECT_GT(mixedBlocks, 60);
}

TEST(Pictures, AreDrawnOncePerRatio)
{
    EXPECT_EQ(art::boardBackground(1.0).cacheKey(), art::boardBackground(1.0).cacheKey());
    EXPECT_EQ(art::classicTile(3, 2.0).cacheKey(), art::classicTile(3, 2.0).cacheKey());
    EXPECT_NE(art::classicTile(3, 1.0).cacheKey(), art::classicTile(3, 2.0).cacheKey());
    EXPECT_NE(art::classicTile(3, 1.0).cacheKey(), art::classicTile(4, 1.0).cacheKey());
    EXPECT_NE(art::passPlate(art::PlateState::Normal, 1.0).cacheKey(),
              art::passPlate(art::PlateState::Pressed, 1.0).cacheKey());
}

TEST(Pictures, NumberedPicturesOutsideTheirRangeAreNull)
{
    for (const int code : {-1, 27, 28, 1000})
        EXPECT_TRUE(art::classicTile(code, 1.0).isNull()) << code;
    for (const int n : {0, 11, -5})
        EXPECT_TRUE(art::numberBox(n, 1.0).isNull()) << n;
    for (const int n : {0, 11})
        EXPECT_TRUE(art::phraseIcon(n, 1.0).isNull()) << n;
}

TEST(Pictures, NonsenseRatiosAndSizesGiveUsablePictures)
{
    for (const qreal dpr : {0.0, -2.0, std::numeric_limits<qreal>::quiet_NaN(), 1e9}) {
        const QPixmap tile = art::classicTile(1, dpr);
        ASSERT_FALSE(tile.isNull());
        EXPECT_LE(tile.width(), 44 * 8);
        EXPECT_GE(tile.width(), 11);
    }
    EXPECT_EQ(art::dialogBackground({0, -4}, 1.0).size(), QSize(1, 1));
    EXPECT_EQ(art::dialogBackground({100000, 20}, 1.0).size(), QSize(4096, 20));
}

TEST(Pictures, WindowIconComesInSmallAndLargeSizes)
{
    const QIcon icon = art::appIcon();
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    const probe::Picture small(icon.pixmap(QSize(32, 32)));
    EXPECT_GT(probe::count(small, probe::isOrange), 100);
    EXPECT_GT(probe::count(small, probe::isDarkRedInk), 10); // the letter on the tile
}

} // namespace
