#pragma once

#include "tests/support/wait.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <cstdint>
#include <vector>

namespace testing_support {

// Points every PulseAudio client of this process, Qt's included, at the server whose runtime
// folder is given; PulseAudio then starts no server of its own. Call before the first sound.
inline void usePulseServerIn(const QString &runtimeFolder)
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder));
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(runtimeFolder) + "/pulse/native");
}

// A PulseAudio server of the test's own whose only device is a null sink: what is played goes
// nowhere, but its monitor source can be recorded. The null sink plays only while its monitor
// is recorded: a sound played before waits for the recording. The server lives in a private
// runtime folder and ends with the object.
class PulseServer
{
public:
    PulseServer()
    {
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder_.path());
        environment_.insert(QStringLiteral("HOME"), folder_.path());
        environment_.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + socketPath());
        server_.setProcessEnvironment(environment_);
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // -n: no configuration script, only the two modules named here; no idle exit.
        server_.start(QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--log-level=error"),
             QStringLiteral("--enable-memfd=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--disallow-exit"), QStringLiteral("--use-pid-file=no"),
             QStringLiteral("--load=module-null-sink sink_name=null"),
             QStringLiteral("--load=module-native-protocol-unix")});
        ready_ = server_.waitForStarted(5000)
            && waitUntil([this] { return QFile::exists(socketPath()) || server_.state() != QProcess::Running; }, 10000)
            && server_.state() == QProcess::Running;
    }
    ~PulseServer()
    {
        if (server_.state() == QProcess::Running) {
            server_.terminate();
            if (!server_.waitForFinished(5000))
                server_.kill();
            server_.waitForFinished(5000);
        }
    }

    bool ready() const { return ready_; }
    QString runtimeFolder() const { return folder_.path(); }
    QString socketPath() const { return folder_.path() + QStringLiteral("/pulse/native"); }
    const QProcessEnvironment &environment() const { return environment_; }

private:
    QTemporaryDir folder_;
    QProcessEnvironment environment_;
    QProcess server_;
    bool ready_ = false;
};

// Records the null sink's monitor with parec while it lives: 16-bit stereo at 44100.
class MonitorRecording
{
public:
    static constexpr int kRate = 44100;

    explicit MonitorRecording(const PulseServer &server)
    {
        file_ = folder_.filePath(QStringLiteral("monitor.raw"));
        parec_.setProcessEnvironment(server.environment());
        parec_.setStandardOutputFile(file_);
        parec_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        parec_.start(QStringLiteral("parec"),
            {QStringLiteral("-d"), QStringLiteral("null.monitor"), QStringLiteral("--latency-msec=20"),
             QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
             QStringLiteral("--channels=2")});
        recording_ = parec_.waitForStarted(5000)
            && waitUntil([this] { return QFileInfo(file_).size() > 0 || parec_.state() != QProcess::Running; }, 10000)
            && parec_.state() == QProcess::Running;
    }
    ~MonitorRecording() { stop(); }

    bool recording() const { return recording_; }

    // Ends the recording (parec writes its tail only when interrupted) and returns the left
    // channel's samples, from -1 to 1.
    std::vector<double> stop()
    {
        if (parec_.state() == QProcess::Running) {
            ::kill(pid_t(parec_.processId()), SIGINT);
            if (!parec_.waitForFinished(5000))
                parec_.kill();
            parec_.waitForFinished(5000);
        }
        QFile f(file_);
        std::vector<double> left;
        if (!f.open(QIODevice::ReadOnly))
            return left;
        const QByteArray raw = f.readAll();
        const auto *samples = reinterpret_cast<const std::int16_t *>(raw.constData());
        for (qsizetype i = 0; i + 1 < raw.size() / 2; i += 2)
            left.push_back(samples[i] / 32768.0);
        return left;
    }

private:
    QTemporaryDir folder_;
    QString file_;
    QProcess parec_;
    bool recording_ = false;
};

} // namespace testing_support
