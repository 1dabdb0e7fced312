#pragma once

#include "tests/client/game_fixture.h"

#include "app/lobby/tdownload.h"
#include "net/thttpcli.h"
#include "tests/support/http_server.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <ostream>
#include <memory>

// What the download panel shows at one moment.
struct Look {
    QString progress;
    QString phase;
    bool getEnabled = true;
    bool abortEnabled = false;
    int tag = 0;
    bool operator==(const Look &) const = default;
    static Look of(const Tdownload &lobby)
    {
        return {lobby.infolabel->text(), lobby.infolabel3->text(), lobby.getbutton->isEnabled(),
                lobby.abortbutton->isEnabled(), lobby.infoTag()};
    }
};

inline void PrintTo(const Look &look, std::ostream *out)
{
    *out << '{' << look.progress.toStdString() << " | " << look.phase.toStdString() << " | get " << look.getEnabled
         << " | abort " << look.abortEnabled << " | tag " << look.tag << '}';
}

// The lobby window in real copies of the program, or on its own, with the program's folder in a
// temporary folder and the lobby's settings in the environment.
class LobbyFixture : public GameFixture
{
protected:
    LobbyFixture() { qputenv("VREL_HOME", home.path().toUtf8()); }
    ~LobbyFixture() override
    {
        for (const char *name : {"VREL_HOME", "VREL_LOBBY_URL", "VREL_LOBBY_INSTALLER_SHA256", "VREL_LOBBY_PROGRAM"})
            qunsetenv(name);
    }

    static void configure(const QString &url, const QString &sha256 = {}, const QString &lobbyProgram = {})
    {
        qputenv("VREL_LOBBY_URL", url.toUtf8());
        qputenv("VREL_LOBBY_INSTALLER_SHA256", sha256.toUtf8());
        qputenv("VREL_LOBBY_PROGRAM", lobbyProgram.toUtf8());
    }

    // A lobby window of its own (no game behind it), configured from the environment.
    std::unique_ptr<Tdownload> window()
    {
        auto lobby = std::make_unique<Tdownload>(LobbyConfig::fromEnvironment());
        QObject::connect(lobby.get(), &Tdownload::exitGame, [this] { ++exits; });
        lobby->show();
        return lobby;
    }

    // The panel's look after each event of the download: every header line, the start of the
    // body and every piece of it.
    static void recordProgress(Tdownload &lobby, QList<Look> &looks)
    {
        THttpCli &cli = *lobby.HttpCli1;
        cli.OnHeaderData = [&lobby, &looks, shown = cli.OnHeaderData](THttpCli *sender, const QByteArray &line) {
            shown(sender, line);
            looks << Look::of(lobby);
        };
        cli.OnDocBegin = [&lobby, &looks, shown = cli.OnDocBegin](THttpCli *sender) {
            shown(sender);
            looks << Look::of(lobby);
        };
        cli.OnDocData = [&lobby, &looks, shown = cli.OnDocData](THttpCli *sender, QByteArrayView piece, qint64 count) {
            shown(sender, piece, count);
            looks << Look::of(lobby);
        };
    }

    QString inHome(const QString &name) const { return home.filePath(name); }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // A shell script at `path` that is allowed to run.
    static void writeScript(const QString &path, const QByteArray &body)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    }

    // Calls `look` every few milliseconds from the event loop, also while the test waits inside a
    // download, until the watch is destroyed.
    struct Watch {
        QTimer timer;
        explicit Watch(std::function<void()> look)
        {
            QObject::connect(&timer, &QTimer::timeout, std::move(look));
            timer.start(5);
        }
    };

    QTemporaryDir home;
    int exits = 0;
};
