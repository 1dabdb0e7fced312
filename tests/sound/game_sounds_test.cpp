// The program's own window in a game, heard through a PulseAudio server of the test's own: the
// sounds the game asks for come out of the default device, one at a time.

#include "tests/client/game_fixture.h"
#include "tests/sound/pulse_environment.h"

#include <QElapsedTimer>

using namespace testing_support;

namespace {

const auto *const environment = ::testing::AddGlobalTestEnvironment(new PulseEnvironment);

class GameSounds : public GameFixture
{
protected:
    void SetUp() override { ASSERT_TRUE(PulseEnvironment::server()) << "the test's PulseAudio server did not start"; }

    // The sounds' own lengths, measured as the recordings are.
    double audible(const QString &name) { return audibleSeconds(reference, name); }
    sound::SoundPlayer reference{sound::SoundSet::builtIn(), {}};
};

} // namespace

// The own arrival's sound (8-bit stereo PCM) is heard whole; a letter typed while the turn sound
// rings cuts it short with its click.
TEST_F(GameSounds, TheArrivalIsHeardWholeAndALetterCutsTheTurnSoundShort)
{
    std::unique_ptr<VrelProgram> ann;
    const double entered = audible(QStringLiteral("entered"));
    const AudibleSpan arrival = recordWhile([&] { ann = hostGame(QStringLiteral("Ann")); }, entered);
    ASSERT_TRUE(ann);
    EXPECT_TRUE(soundsOf(*ann).contains("entered"));
    EXPECT_NEAR(arrival.length, entered, 0.06);

    QElapsedTimer clock;
    clock.start();
    std::map<QString, qint64> startedAt;
    QObject::connect(&ann->sounds(), &sound::SoundPlayer::started,
        [&](const QString &name) { startedAt[name] = clock.elapsed(); });
    const double turn = audible(QStringLiteral("turn"));
    ASSERT_GT(turn, 0.5);
    const AudibleSpan cut = recordWhile(
        [&] {
            startGame(*ann, 1, 60);
            ASSERT_TRUE(waitUntil([&] { return ownsBoard(*ann) && startedAt.count("turn"); }));
            settle(250);
            type(*ann, QStringLiteral("a"));
        },
        turn);
    ASSERT_TRUE(startedAt.count("clickletter"));
    const double played = (startedAt["clickletter"] - startedAt["turn"]) / 1000.0;
    EXPECT_LT(played, turn - 0.2);
    EXPECT_NEAR(cut.length, played + audible(QStringLiteral("clickletter")), 0.06)
        << "the turn sound went on under the click";
}

// Chatter sounds are MPEG Layer-3 inside RIFF WAVE; asked for as the session asks, one is heard
// whole.
TEST_F(GameSounds, AnMpegChatterSoundIsHeardWhole)
{
    // A null sink plays only while its monitor is recorded: the arrival's sound goes first.
    std::unique_ptr<VrelProgram> ann;
    recordWhile([&] { ann = hostGame(QStringLiteral("Ann")); }, audible(QStringLiteral("entered")));
    const double snoring = audible(QStringLiteral("wave6"));
    ASSERT_GT(snoring, 1.5);
    const AudibleSpan heard =
        recordWhile([&] { emit ann->session().soundRequested(QStringLiteral("wave6")); }, snoring);
    EXPECT_NEAR(heard.length, snoring, 0.06);
}
