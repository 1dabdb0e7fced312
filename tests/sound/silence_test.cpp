// Without any sound server the game is silent: playing returns at once, reports nothing, leaves
// nothing playing and does not keep the program busy. A name that is not a sound beeps.

#include "sound/sound_player.h"
#include "tests/support/pulse_server.h"
#include "tests/support/wait.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>

using namespace sound;
using namespace testing_support;

namespace {

// Before the first sound: an empty runtime folder, so there is no server to reach.
class NoServer : public ::testing::Environment
{
public:
    void SetUp() override { usePulseServerIn(folder.path()); }
    QTemporaryDir folder;
};
const auto *const environment = ::testing::AddGlobalTestEnvironment(new NoServer);

double processSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

TEST(NoSoundServer, EverySoundPlaysSilentlyWithoutErrorOrBusyWaiting)
{
    int beeps = 0;
    SoundPlayer player(SoundSet::builtIn(), [&] { ++beeps; });
    const QStringList names = SoundSet::builtIn().names();
    for (const QString &name : names) {
        QElapsedTimer call;
        call.start();
        EXPECT_NO_THROW(player.play(name));
        EXPECT_LT(call.elapsed(), 2000) << name.toStdString() << " hung";
    }
    const double before = processSeconds();
    settle(1000);
    const double busy = processSeconds() - before;
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(beeps, 0);
    EXPECT_LT(busy, 0.3) << "the idle program used " << busy << " s of processor in one second";
}

TEST(NoSoundServer, ANameThatIsNoSoundBeepsAndCaseDoesNotMatter)
{
    int beeps = 0;
    SoundPlayer player(SoundSet::builtIn(), [&] { ++beeps; });
    player.play(QStringLiteral("wave21"));
    player.play(QString());
    EXPECT_EQ(beeps, 2);
    player.play(QStringLiteral("GOODWORD"));
    player.play(QStringLiteral("Wave7"));
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(player.decoded(QStringLiteral("GOODWORD")));
}
