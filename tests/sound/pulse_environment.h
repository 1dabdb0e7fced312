#pragma once

#include "sound/sound_player.h"
#include "tests/sound/pcm_samples.h"
#include "tests/support/pulse_server.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <functional>

namespace testing_support {

// One PulseAudio server for a whole test program: Qt's audio layer connects to the sound server
// once, at the first sound, so the server is started before any test and ends after the last.
class PulseEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        server_ = new PulseServer;
        usePulseServerIn(server_->runtimeFolder());
    }
    void TearDown() override
    {
        delete server_;
        server_ = nullptr;
    }
    // The running server, or nothing when it did not start.
    static PulseServer *server() { return server_ && server_->ready() ? server_ : nullptr; }

private:
    static inline PulseServer *server_ = nullptr;
};

// Records the server's null sink while play() runs and for the given time after it; where the
// recording is audible.
inline AudibleSpan recordWhile(const std::function<void()> &play, double seconds)
{
    PulseServer *server = PulseEnvironment::server();
    if (!server) {
        ADD_FAILURE() << "the test's PulseAudio server did not start";
        return {};
    }
    MonitorRecording recording(*server);
    EXPECT_TRUE(recording.recording());
    settle(150);
    play();
    settle(int(seconds * 1000) + 400);
    return audibleSpan(recording.stop(), MonitorRecording::kRate);
}

// How long a sound itself is audible, by the same measure as a recording.
inline double audibleSeconds(sound::SoundPlayer &player, const QString &name)
{
    const sound::PcmSound *sound = player.decoded(name);
    return sound ? audibleSpan(firstChannel(*sound), sound->format.sampleRate()).length : 0;
}

} // namespace testing_support
