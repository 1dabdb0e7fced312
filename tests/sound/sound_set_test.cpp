// The game's own sounds as the program carries them: every name the game plays is there, each
// decodes, and each is fit to be heard in a game (short, faded at both ends, of one loudness).

#include "sound/pcm_sound.h"
#include "sound/riff_wave.h"
#include "sound/sound_set.h"
#include "tests/sound/pcm_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

using namespace sound;
using testing_support::sampleValues;

namespace {

const QStringList kGameSounds = {"allfilled", "backspace", "clear", "clickletter", "entered", "goodword",
    "invalid", "pass", "postscores", "tick", "timeup", "turn", "turnnew", "winner"};
const std::set<QString> kMpegSounds = {"wave6", "wave15", "wave16", "wave17", "wave20"};

QStringList chatterSounds()
{
    QStringList names;
    for (int n = 1; n <= 20; ++n)
        names << QStringLiteral("wave%1").arg(n);
    return names;
}

double decibels(double v)
{
    return 20 * std::log10(std::max(v, 1e-9));
}

} // namespace

TEST(SoundSet, HoldsEveryGameAndChatterSoundAndFindsThemWithoutRegardToCase)
{
    const SoundSet set = SoundSet::builtIn();
    QStringList expected = kGameSounds + chatterSounds();
    expected.sort();
    EXPECT_EQ(set.names(), expected);
    EXPECT_TRUE(set.contains(QStringLiteral("GoodWord")));
    EXPECT_EQ(set.read(QStringLiteral("WAVE7")), set.read(QStringLiteral("wave7")));
    EXPECT_FALSE(set.contains(QStringLiteral("wave21")));
    EXPECT_TRUE(set.read(QStringLiteral("wave21")).isEmpty());
}

TEST(SoundSet, CoversEveryKindOfFileThePlayerMustHandle)
{
    const SoundSet set = SoundSet::builtIn();
    std::set<int> bits, channels, rates;
    for (const QString &name : set.names()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray file = set.read(name);
        const std::optional<RiffWave> wave = readRiffWave(file);
        ASSERT_TRUE(wave);
        EXPECT_EQ(wave->format.tag, kMpegSounds.count(name) ? kFormatMpegLayer3 : kFormatPcm);
        if (wave->format.tag == kFormatPcm)
            bits.insert(wave->format.bitsPerSample);
        channels.insert(wave->format.channels);
        rates.insert(int(wave->format.sampleRate));
    }
    EXPECT_EQ(bits, (std::set<int>{8, 16}));
    EXPECT_EQ(channels, (std::set<int>{1, 2}));
    EXPECT_EQ(*rates.begin(), 8000);
    EXPECT_EQ(*rates.rbegin(), 44100);
    EXPECT_GE(rates.size(), 5u);
}

// Game sounds well under a second, chatter under three; no click at either end (the first and
// last frames are near silence); peaks below full scale and loudness (RMS) within a few decibels
// of each other, so that no sound jumps out.
TEST(SoundSet, EverySoundIsShortFadedAndOfOneLoudness)
{
    const SoundSet set = SoundSet::builtIn();
    for (const QString &name : set.names()) {
        SCOPED_TRACE(name.toStdString());
        const std::optional<PcmSound> sound = decodeWave(set.read(name));
        ASSERT_TRUE(sound);
        const double seconds = sound->durationUs() / 1e6;
        EXPECT_GT(seconds, 0.01);
        EXPECT_LT(seconds, kGameSounds.contains(name) ? 0.9 : 3.0);

        // Every channel; the first and last frame must be near silence.
        const std::vector<double> v = sampleValues(*sound);
        const size_t edge = size_t(sound->format.channelCount());
        ASSERT_GT(v.size(), 4 * edge);
        double peak = 0, power = 0, ends = 0;
        for (size_t i = 0; i < v.size(); ++i) {
            peak = std::max(peak, std::abs(v[i]));
            power += v[i] * v[i];
            if (i < edge || i >= v.size() - edge)
                ends = std::max(ends, std::abs(v[i]));
        }
        const double rms = std::sqrt(power / double(v.size()));
        EXPECT_LT(decibels(ends), -30.0) << "a click at the start or the end";
        EXPECT_LT(decibels(peak), -0.5);
        EXPECT_GT(decibels(peak), -12.0);
        EXPECT_GT(decibels(rms), -23.0);
        EXPECT_LT(decibels(rms), -15.0);
    }
}
