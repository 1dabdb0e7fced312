#pragma once

#include "app/startup/vrel_program.h"
#include "chat/chatview.h"
#include "client/message_box.h"
#include "client/seat_rows.h"
#include "session/client_session.h"
#include "engine/tserver.h"
#include "tests/support/qt_printers.h"
#include "tests/support/raw_client.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Runs real copies of the program's windows in the test process. Message boxes are recorded
// instead of waiting for a click.
class ClientFixture : public ::testing::Test
{
protected:
    ClientFixture()
        : previousHome_(qgetenv("VREL_HOME"))
    {
        messagebox::setPresenter([this](QWidget *, const QString &text) { boxes << text; });
        messagebox::setQuestioner([this](QWidget *, const QString &text) {
            questions << text;
            return answer;
        });
        messagebox::showErrorsInBoxes();
        // Every test has a program folder of its own: no settings file or tally is shared.
        qputenv("VREL_HOME", home.path().toUtf8());
    }
    ~ClientFixture() override
    {
        messagebox::setPresenter([](QWidget *, const QString &) {});
        messagebox::setQuestioner([](QWidget *, const QString &) { return false; });
        if (previousHome_.isEmpty())
            qunsetenv("VREL_HOME");
        else
            qputenv("VREL_HOME", previousHome_);
    }

    // A copy started with these parameters; port 0 makes a hosting copy take a free port.
    std::unique_ptr<VrelProgram> start(const QStringList &parameters, int port = 0)
    {
        auto program = std::make_unique<VrelProgram>(CommandLine {parameters, port, {}});
        QObject::connect(&program->chat(), &Tchat::ended, [this] { ++endings; });
        program->chat().show();
        return program;
    }

    // A hosting copy whose own client has logged in as seat 1.
    std::unique_ptr<VrelProgram> host(const QString &name)
    {
        auto program = start({name, QStringLiteral("ignored"), QStringLiteral("true")});
        EXPECT_TRUE(testing_support::waitUntil([&] { return rowName(*program, 1) == name; }));
        return program;
    }

    static int portOf(VrelProgram &program) { return program.server().listeningPort(); }

    // A raw peer that takes the next seat and logs in under this name. Each comes from a loopback
    // address of its own, as players on other computers do: the host lets one address hold only
    // two seats before their logins, and these follow one another faster than the host reads them.
    static std::unique_ptr<testing_support::RawClient> joinRaw(int port, const QByteArray &name, int *seat = nullptr)
    {
        static int peers = 0;
        const std::string from = "127.0.1." + std::to_string(++peers % 250 + 1);
        auto client = std::make_unique<testing_support::RawClient>(port, from.c_str());
        const std::optional<QByteArray> first = client->next();
        EXPECT_TRUE(first && first->startsWith("CMD_sendlogininfo+"));
        const QByteArray number = first ? first->mid(18) : QByteArray("0");
        if (seat)
            *seat = number.toInt();
        client->send("CMD_logininfo+" + number + "+1.0.4+" + name + "\xFF\xFF");
        return client;
    }

    static QString rowName(VrelProgram &program, int seat) { return program.chat().seatRows().name(seat)->text(); }
    static QString chatText(VrelProgram &program) { return program.chat().mainchat()->toPlainText(); }
    // The chat's lines as a player reads them: words carry their own blanks, so runs of blanks
    // are read as one.
    static QStringList chatLines(VrelProgram &program)
    {
        QStringList lines = chatText(program).split(QLatin1Char('\n'));
        for (QString &line : lines)
            line = line.simplified();
        return lines;
    }

    // The program folder of the copies this test starts.
    QTemporaryDir home;
    QStringList boxes;
    // Questions asked, and the answer every one gets (Yes when true).
    QStringList questions;
    bool answer = true;
    int endings = 0;

private:
    QByteArray previousHome_;
};
