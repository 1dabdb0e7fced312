#pragma once

#include "tests/client/client_fixture.h"
#include "tests/client/fake_host.h"

#include "app/startup/tgamestart.h"
#include "client/board.h"
#include "client/results_panel.h"
#include "client/round_display.h"
#include "client/winner_banner.h"
#include "dictionary/embeddedwords.h"
#include "tests/support/screenshot.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <map>

// Copies of the program that play games against the real host in the test process. The host's
// phase clock and every copy's turn clock move only when the test says so.
class GameFixture : public ClientFixture
{
protected:
    // A copy whose requested sounds are recorded and whose turn clock is driven by the test.
    std::unique_ptr<VrelProgram> launch(const QStringList &parameters, int port = 0)
    {
        auto program = start(parameters, port);
        Tchat *window = &program->chat();
        program->session().setManualTurnClock(true);
        QObject::connect(&program->session(), &ClientSession::soundRequested,
                         [this, window](const QString &name) { sounds[window] << name; });
        return program;
    }

    std::unique_ptr<VrelProgram> hostGame(const QString &name)
    {
        auto program = launch({name, QStringLiteral("ignored"), QStringLiteral("true")});
        program->server().setManualClock(true);
        EXPECT_TRUE(testing_support::waitUntil([&] { return rowName(*program, 1) == name; }));
        return program;
    }

    // A copy that joins a peer playing the host's part, which seats it; the peer, once it has read
    // the login (but not its second terminator).
    std::unique_ptr<testing_support::RawClient> joinFake(testing_support::FakeHost &fake, std::unique_ptr<VrelProgram> &program,
                                                         const QString &name, int seat)
    {
        program = launch({name, QStringLiteral("127.0.0.1"), QStringLiteral("join")}, fake.port());
        auto peer = fake.accept();
        EXPECT_TRUE(peer);
        if (!peer)
            return peer;
        peer->send("CMD_sendlogininfo+" + QByteArray::number(seat) + '\xFF');
        EXPECT_TRUE(peer->waitFor("CMD_logininfo+" + QByteArray::number(seat) + "+1.0.4+" + name.toUtf8()));
        return peer;
    }

    // A copy that joins the host and is seen there.
    std::unique_ptr<VrelProgram> joinGame(VrelProgram &host, const QString &name, int seat)
    {
        auto program = launch({name, QStringLiteral("127.0.0.1"), QStringLiteral("join")}, portOf(host));
        EXPECT_TRUE(testing_support::waitUntil([&] {
            return program->session().localSeat() == seat && rowName(host, seat) == name
                   && program->session().queuedMessages() == 0;
        }));
        return program;
    }

    // The hosting player opens the options dialog with the Start button and starts the game.
    static void startGame(VrelProgram &host, int rounds, int seconds)
    {
        QTest::mouseClick(host.chat().startButton(), Qt::LeftButton);
        Tgamestart &dialog = host.gamestart();
        ASSERT_TRUE(dialog.isVisible());
        dialog.UpDown1->setValue(rounds);
        dialog.UpDown2->setValue(seconds);
        QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    }

    // The host's phase clock runs until the phase changes (or at most `limit` seconds).
    static void runHostPhase(VrelProgram &host, int limit = 200)
    {
        const int phase = host.server().phase();
        for (int i = 0; i < limit && host.server().phase() == phase && host.server().timer1Running(); ++i)
            host.server().timer1Timer();
    }

    static bool settled(std::initializer_list<VrelProgram *> programs)
    {
        for (VrelProgram *program : programs) {
            if (program->session().queuedMessages() != 0)
                return false;
        }
        return true;
    }

    // A key pressed on the window's focused control, as a player presses it.
    static void press(VrelProgram &program, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Tchat &window = program.chat();
        QWidget *target = window.focusWidget() ? window.focusWidget() : &window;
        QTest::keyClick(target, key, modifiers);
    }
    static void type(VrelProgram &program, const QString &letters)
    {
        for (const QChar c : letters)
            press(program, Qt::Key(Qt::Key_A + (c.toLower().unicode() - 'a')));
    }
    // Types the word and presses Enter.
    static void submit(VrelProgram &program, const QString &word)
    {
        type(program, word);
        press(program, Qt::Key_Return);
    }

    // The window takes the keyboard, as a click on it would give it; true once it has.
    static bool activate(QWidget *window)
    {
        window->activateWindow();
        return testing_support::waitUntil([window] { return QApplication::activeWindow() == window; }, 3000);
    }

    // A pool word that keeps every letter the masked word shows (the source word always does).
    static QString answerFor(const BoardState &board)
    {
        static const QStringList pool = loadWordPool();
        for (const QString &word : pool) {
            bool fits = word.size() == BoardState::kPositions;
            for (int i = 0; fits && i < BoardState::kPositions; ++i) {
                const int code = board.puzzle[size_t(i)].code;
                fits = code == 0 || code == word.at(i).unicode() - 'a' + 1;
            }
            if (fits)
                return word;
        }
        return {};
    }

    // The player types a pool word that fits each masked word until `words` more are accepted.
    static void fillWords(VrelProgram &program, int words)
    {
        ClientSession &session = program.session();
        for (int n = 0; n < words; ++n) {
            ASSERT_TRUE(testing_support::waitUntil([&] { return session.ownsBoard() && session.board().captionWord > 0; }, 10000));
            const int before = session.seat(session.localSeat()).wordCount.value_or(0);
            submit(program, answerFor(session.board()));
            ASSERT_TRUE(testing_support::waitUntil(
                [&] { return session.seat(session.localSeat()).wordCount.value_or(0) == before + 1; }, 10000))
                << "word " << n + 1 << " of " << program.session().playerName().toStdString();
        }
    }

    static Board &board(VrelProgram &program) { return program.chat().puzzleBoard(); }
    static QString status(VrelProgram &program) { return board(program).status(); }
    static QString label(VrelProgram &program, const char *name)
    {
        const auto *found = program.chat().findChild<QLabel *>(QLatin1String(name));
        return found ? found->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
    }
    static bool shown(VrelProgram &program, const char *name)
    {
        const auto *found = program.chat().findChild<QWidget *>(QLatin1String(name));
        return found && !found->isHidden();
    }
    // The letter codes of a row: the puzzle row or the entry row.
    static std::vector<int> codes(VrelProgram &program, bool entryRow)
    {
        std::vector<int> result;
        for (int position = 1; position <= BoardState::kPositions; ++position) {
            Tile *tile = entryRow ? board(program).entryTile(position) : board(program).puzzleTile(position);
            result.push_back(tile->showsPicture() ? tile->code() : -1);
        }
        return result;
    }
    static QStringList items(const QListWidget *list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    static bool ownsBoard(VrelProgram &program) { return program.session().ownsBoard(); }

    QStringList &soundsOf(VrelProgram &program) { return sounds[&program.chat()]; }

    static void screenshot(QWidget *widget, const QString &name, const QRect &area = QRect(), int zoom = 1)
    {
        testing_support::screenshot(widget, name, area, zoom);
    }
    // With VREL_SCREENSHOTS set, a message box with this text (a question: with Yes and No) is
    // saved to be looked at.
    static void screenshotBox(const QString &text, const QString &name, bool question = false)
    {
        if (qEnvironmentVariable("VREL_SCREENSHOTS").isEmpty())
            return;
        const auto box = messagebox::makeBox(nullptr, question ? QMessageBox::Question : QMessageBox::NoIcon, text,
                                             question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
        box->show();
        screenshot(box.get(), name);
    }

    std::map<const Tchat *, QStringList> sounds;
};
