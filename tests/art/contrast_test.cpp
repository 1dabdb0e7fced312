// The nearest colour that reads: every colour a player may pick comes out readable on the chat's
// peach and the entry's white, as little changed as it can be, and the same hue.

#include "resources/art/contrast.h"
#include "resources/art/palette.h"
#include "tests/art/probe.h"

#include <gtest/gtest.h>

TEST(ReadableColour, EveryColourReadsOnLightAndDarkGroundsChangedJustEnough)
{
    EXPECT_NEAR(art::contrast(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(art::contrast(QColor(0x77, 0x77, 0x77), Qt::white), probe::contrast(QColor(0x77, 0x77, 0x77), Qt::white), 0.01);

    const QColor darkGround(0x30, 0x20, 0x18);
    int changed = 0;
    for (const QColor &ground : {art::palette::peach, QColor(Qt::white), darkGround}) {
        for (int r = 0; r <= 255; r += 51) {
            for (int g = 0; g <= 255; g += 51) {
                for (int b = 0; b <= 255; b += 51) {
                    const QColor picked(r, g, b);
                    const QColor drawn = art::readableOn(picked, ground);
                    const QString what = picked.name() + " on " + ground.name() + " drawn " + drawn.name();
                    // Measured by the guidelines' own formula, not the game's.
                    ASSERT_GE(probe::contrast(drawn, ground), 4.5) << what.toStdString();
                    if (probe::contrast(picked, ground) >= 4.5) {
                        EXPECT_EQ(drawn, picked) << what.toStdString();
                        continue;
                    }
                    ++changed;
                    // Darker on a light ground, lighter on a dark one, the hue kept (each channel
                    // moves the same share of the way to black or white).
                    const bool light = probe::luminance(ground) > 0.18;
                    EXPECT_EQ(probe::luminance(drawn) < probe::luminance(picked), light) << what.toStdString();
                    if (light && picked != QColor(Qt::black)) {
                        const qreal share = qreal(drawn.red() + drawn.green() + drawn.blue()) / (r + g + b);
                        for (const auto &[from, to] : {std::pair{r, drawn.red()}, {g, drawn.green()}, {b, drawn.blue()}})
                            EXPECT_NEAR(to, from * share, 1.5) << what.toStdString();
                    }
                    // Just enough: a shade closer to the picked colour no longer reads.
                    const QColor closer(std::clamp(drawn.red() + (light ? 3 : -3), 0, 255),
                                        std::clamp(drawn.green() + (light ? 3 : -3), 0, 255),
                                        std::clamp(drawn.blue() + (light ? 3 : -3), 0, 255));
                    EXPECT_LT(probe::contrast(closer, ground), 4.5) << what.toStdString();
                }
            }
        }
    }
    EXPECT_GT(changed, 100);
    // The chat's own red of a line without a colour is drawn darker on the peach.
    const QColor red = art::readableOn(Qt::red, art::palette::peach);
    EXPECT_EQ(red.green(), 0);
    EXPECT_LT(red.red(), 255);
}
