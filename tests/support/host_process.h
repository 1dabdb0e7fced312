#pragma once

#include "tests/support/built_program.h"

#include <QByteArray>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace testing_support {

inline QString builtProgram(const QString &name)
{
    return QString::fromStdString(builtProgramPath(name.toStdString()));
}

// vrel-host started as a separate process on a free port (--port 0), stopped with SIGTERM.
class HostProcess
{
public:
    explicit HostProcess(QStringList arguments = {QStringLiteral("--port"), QStringLiteral("0")},
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        process_.setProgram(builtProgram(QStringLiteral("vrel-host")));
        process_.setArguments(arguments);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.setReadChannel(QProcess::StandardError);
        process_.start();
        if (!process_.waitForStarted(5000))
            return;
        static const QRegularExpression listening(QStringLiteral("listening on port (\\d+)"));
        while (port_ == 0 && process_.waitForReadyRead(5000)) {
            log_ += process_.readAllStandardError();
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(log_));
            if (match.hasMatch())
                port_ = match.captured(1).toInt();
        }
    }
    ~HostProcess() { stop(); }

    int port() const { return port_; }
    qint64 pid() const { return process_.processId(); }
    QProcess &process() { return process_; }

    // Everything the host printed so far.
    QByteArray log()
    {
        log_ += process_.readAllStandardError();
        return log_;
    }

    int stop()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000))
                process_.kill();
            process_.waitForFinished(2000);
        }
        log();
        return process_.exitCode();
    }

private:
    QProcess process_;
    QByteArray log_;
    int port_ = 0;
};

} // namespace testing_support
