// What a player hears: the sounds are played through a PulseAudio server of the test's own
// (one null sink) and its monitor is recorded with parec, as a person would hear the output.

#include "sound/sound_player.h"
#include "tests/sound/wave_files.h"
#include "tests/sound/pulse_environment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace sound;
using namespace testing_support;

namespace {

const auto *const environment = ::testing::AddGlobalTestEnvironment(new PulseEnvironment);

class Playback : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(PulseEnvironment::server()) << "the test's PulseAudio server did not start"; }

    AudibleSpan record(const std::function<void()> &play, double seconds) { return recordWhile(play, seconds); }
    double audibleSeconds(const QString &name) { return testing_support::audibleSeconds(player, name); }

    int beeps = 0;
    SoundPlayer player{SoundSet::builtIn(), [this] { ++beeps; }};
};

} // namespace

// A PCM game sound (16 bits, mono, 16000 per second), an 8-bit stereo one and an MPEG Layer-3
// chatter sound each come out whole: audible for as long as the sound itself, and no beep.
TEST_F(Playback, PcmAndMpegSoundsAreHeardForTheirLength)
{
    for (const QString name : {"timeup", "entered", "wave20"}) {
        SCOPED_TRACE(name.toStdString());
        const double length = audibleSeconds(name);
        ASSERT_GT(length, 0.3);
        QStringList started;
        const auto connection = QObject::connect(&player, &SoundPlayer::started, [&](const QString &n) { started << n; });
        const AudibleSpan heard = record([&] { player.play(name); }, length);
        QObject::disconnect(connection);
        EXPECT_EQ(started, QStringList{name});
        EXPECT_NEAR(heard.length, length, 0.05) << "heard " << heard.length << " s of " << length;
    }
    EXPECT_EQ(beeps, 0);
}

// A letter typed while a long sound plays: the second sound starts and the first stops there.
TEST_F(Playback, ASecondSoundCutsTheFirstShort)
{
    const double first = audibleSeconds(QStringLiteral("wave20"));
    const double second = audibleSeconds(QStringLiteral("goodword"));
    ASSERT_GT(first, 2.0);
    const double gap = 0.4;
    double played = 0; // how long the first sound had before the second came
    const AudibleSpan heard = record(
        [&] {
            QElapsedTimer betweenRequests;
            player.play(QStringLiteral("wave20"));
            betweenRequests.start();
            settle(int(gap * 1000));
            player.play(QStringLiteral("goodword"));
            played = betweenRequests.elapsed() / 1000.0;
        },
        first);
    EXPECT_NEAR(heard.length, played + second, 0.1) << "the first sound went on, or the second was not heard whole";
}

// Damaged files in the set play nothing and do not beep; the good file beside them is heard,
// so the silence is the player's doing.
TEST_F(Playback, DamagedFilesPlayNothing)
{
    QTemporaryDir folder;
    const QByteArray good = SoundSet::builtIn().read(QStringLiteral("timeup"));
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(QDir(folder.path()).filePath(name + QStringLiteral(".wav")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(QStringLiteral("truncated"), good.left(good.size() / 2));
    write(QStringLiteral("lying"), withField<std::uint16_t>(good, chunkAt(good, "fmt ") + 8 + 12, 7));
    write(QStringLiteral("empty"), {});
    write(QStringLiteral("good"), good);
    SoundPlayer own(SoundSet::fromFolder(folder.path()), [this] { ++beeps; });

    const AudibleSpan silence = record(
        [&] {
            for (const QString name : {"truncated", "lying", "empty"}) {
                own.play(name);
                EXPECT_FALSE(own.isPlaying()) << name.toStdString();
            }
        },
        1.0);
    EXPECT_EQ(silence.length, 0);
    EXPECT_EQ(beeps, 0);

    EXPECT_GT(record([&] { own.play(QStringLiteral("good")); }, 1.0).length, 0.5);
}
