// Hosting and joining from the window: the File menu's dialogs, switching the running window
// from one game to another, invite links in the chat and on the command line.

#include "tests/client/game_fixture.h"

#include "app/startup/thostgame.h"
#include "app/startup/tjoingame.h"
#include "chat/chatview.h"
#include "joining/invite_links.h"
#include "net/tsock.h"
#include "records/settings_file.h"
#include "tests/client/fake_host.h"
#include "tests/support/host_process.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardItemModel>

using testing_support::settle;
using testing_support::waitUntil;

class SwitchingGames : public GameFixture
{
protected:
    // A port nothing listens on at the moment.
    static int freePort()
    {
        TSock probe;
        probe.setPortName(QStringLiteral("0"));
        probe.setListen(true);
        return probe.boundPort();
    }
    // A copy with a program folder (settings, recent games) of its own.
    std::unique_ptr<VrelProgram> launchAt(QTemporaryDir &folder, const QStringList &parameters)
    {
        qputenv("VREL_HOME", folder.path().toUtf8());
        auto program = launch(parameters);
        qputenv("VREL_HOME", home.path().toUtf8());
        return program;
    }
    static void clickGo(GameChoiceDialog &dialog) { QTest::mouseClick(dialog.goButton(), Qt::LeftButton); }
    static QStringList inviteLines(VrelProgram &program)
    {
        return chatLines(program).filter(QRegularExpression(QStringLiteral("^Invite link: |^This computer has no network")));
    }
    static QStringList expectedInviteLines(int port)
    {
        QStringList lines;
        for (const QString &link : machineInviteLinks(port))
            lines << QStringLiteral("Invite link: ") + link;
        return lines.isEmpty() ? QStringList {"This computer has no network address that others could join this game at."} : lines;
    }
};

TEST_F(SwitchingGames, HostAndJoinFromTheWindowSwitchTheGameWithoutARestart)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    const int annPort = portOf(*ann);
    EXPECT_EQ(inviteLines(*ann), expectedInviteLines(annPort));

    // Bob plays solo on his own computer (his own folder), then joins Ann from the File menu.
    QTemporaryDir bobHome;
    auto bob = launchAt(bobHome, {});
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob, 1) == "You"; }));
    ASSERT_TRUE(bob->server().listening());
    bob->chat().joinGameAction()->trigger();
    Tjoingame &join = bob->joinDialog();
    ASSERT_TRUE(join.isVisible());
    EXPECT_EQ(join.windowTitle(), "Vrel - Join a Game");
    EXPECT_EQ(join.nameEdit()->text(), "");
    EXPECT_EQ(join.addressBox()->count(), 0);
    EXPECT_TRUE(join.foundList()->isHidden());

    // Nothing goes ahead without a name or with an address that does not read.
    join.addressBox()->setEditText(QStringLiteral("127.0.0.1:%1").arg(annPort));
    clickGo(join);
    EXPECT_TRUE(join.isVisible());
    EXPECT_EQ(join.problemLabel()->text(), "Type the name the other players will see you by.");
    QTest::keyClicks(join.nameEdit(), QStringLiteral("Bob"));
    join.addressBox()->setEditText(QStringLiteral("[::1:%1").arg(annPort));
    clickGo(join);
    EXPECT_TRUE(join.isVisible());
    EXPECT_EQ(join.problemLabel()->text(), QStringLiteral("The IPv6 address in \"[::1:%1\" has no closing \"]\".").arg(annPort));
    screenshot(&join, QStringLiteral("join-dialog-refused"));
    EXPECT_EQ(bob->session().localSeat(), 1); // still in his solo game

    join.addressBox()->setEditText(QStringLiteral(" 127.0.0.1:%1 ").arg(annPort));
    clickGo(join);
    EXPECT_FALSE(join.isVisible());
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == "Bob" && rowName(*bob, 1) == "Ann" && rowName(*bob, 2) == "Bob"; }));
    EXPECT_EQ(bob->session().localSeat(), 2);
    EXPECT_FALSE(bob->session().hostFlag());
    EXPECT_FALSE(bob->server().listening()); // the solo game's engine stopped
    EXPECT_FALSE(bob->chat().startButton()->isVisible());
    EXPECT_FALSE(bob->chat().copyInviteLinkAction()->isEnabled());
    EXPECT_TRUE(chatLines(*bob).contains(QStringLiteral("Joining the game as Bob: 127.0.0.1:%1").arg(annPort)));
    EXPECT_EQ(chatLines(*bob).count("You are Connected."), 2);
    EXPECT_EQ(bob->recentGames().lastName(), "Bob");
    EXPECT_EQ(bob->recentGames().addresses(), QStringList {QStringLiteral("127.0.0.1:%1").arg(annPort)});
    EXPECT_EQ(endings, 0);

    // Bob hosts a game of his own: he leaves Ann's, which sees him go.
    bob->chat().hostGameAction()->trigger();
    Thostgame &host = bob->hostDialog();
    ASSERT_TRUE(host.isVisible());
    EXPECT_EQ(host.windowTitle(), "Vrel - Host a Game");
    EXPECT_EQ(host.nameEdit()->text(), "Bob");
    EXPECT_EQ(host.portBox()->value(), 7772);
    screenshot(&host, QStringLiteral("host-dialog"));
    const int bobPort = freePort();
    host.portBox()->setValue(bobPort);
    clickGo(host);
    ASSERT_TRUE(waitUntil([&] { return bob->session().localSeat() == 1 && rowName(*bob, 1) == "Bob"; }));
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 2) == "<Waiting>"; }));
    EXPECT_TRUE(chatLines(*ann).contains("Bob disconnected."));
    EXPECT_EQ(bob->server().listeningPort(), bobPort);
    EXPECT_TRUE(bob->session().hostFlag());
    EXPECT_TRUE(bob->chat().startButton()->isVisible());
    EXPECT_EQ(rowName(*bob, 2), "<Waiting>"); // nothing of Ann's game is left on his board
    EXPECT_TRUE(chatLines(*bob).contains(QStringLiteral("Hosting a game on port %1 as Bob.").arg(bobPort)));
    // (His solo game wrote its own lines before.)
    ASSERT_TRUE(waitUntil([&] { return inviteLines(*bob).mid(inviteLines(*bob).size() - expectedInviteLines(bobPort).size()) == expectedInviteLines(bobPort); }));
    screenshot(&bob->chat(), QStringLiteral("hosting-invite-lines"));

    // Ann is sent Bob's invite link in the chat (she chats it to herself here) and clicks it;
    // it names his computer by its IPv6 address.
    ann->session().sendit(QStringLiteral("come to vrel://[::1]:%1 now").arg(bobPort));
    const QString bobLink = QStringLiteral("vrel://[::1]:%1 ").arg(bobPort);
    chat::ChatView &annChat = *ann->chat().mainchat();
    ASSERT_TRUE(waitUntil([&] { return annChat.linkCount() > 0 && annChat.linkTarget(annChat.linkCount() - 1) == bobLink; }));
    const int link = annChat.linkCount() - 1;
    screenshot(&ann->chat(), QStringLiteral("chat-invite-link"));
    answer = false;
    ann->chat().mainchat()->mainchatJump(link);
    const QString question = QStringLiteral("Join the game at [::1]:%1? You leave the game you are in.").arg(bobPort);
    EXPECT_EQ(questions, QStringList {question});
    EXPECT_TRUE(ann->server().listening()); // "No" leaves everything as it was
    EXPECT_EQ(ann->session().localSeat(), 1);

    // "Yes": Ann has never given a name on this computer, so the join dialog asks for one with
    // the link's address filled in.
    answer = true;
    ann->chat().mainchat()->mainchatJump(link);
    Tjoingame &annJoin = ann->joinDialog();
    ASSERT_TRUE(annJoin.isVisible());
    EXPECT_EQ(annJoin.addressBox()->currentText(), QStringLiteral("[::1]:%1").arg(bobPort));
    EXPECT_TRUE(chatLines(*ann).contains(QStringLiteral("Type your name to join this game: [::1]:%1").arg(bobPort)));
    screenshot(&annJoin, QStringLiteral("join-dialog-from-invite-link"));
    QTest::keyClicks(annJoin.nameEdit(), QStringLiteral("Ann"));
    QTest::keyClick(annJoin.nameEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return rowName(*bob, 2) == "Ann" && rowName(*ann, 1) == "Bob" && ann->session().localSeat() == 2; }));
    EXPECT_FALSE(ann->server().listening());
    EXPECT_EQ(inviteLines(*ann), expectedInviteLines(annPort)); // a joining copy shows no new ones
    EXPECT_EQ(ann->recentGames().addresses(), QStringList {QStringLiteral("[::1]:%1").arg(bobPort)});
    EXPECT_EQ(endings, 0);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();

    // The game goes on: Bob starts it from his START GAME and Ann is dealt her words.
    startGame(*bob, 1, 60);
    ASSERT_TRUE(waitUntil([&] { return label(*ann, "label_roundnum") == "Round: 1 of 1"; }));
}

TEST_F(SwitchingGames, APortInUseKeepsTheGameAndTheInviteLinksAreCopied)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    const int annPort = portOf(*ann);
    TSock taken;
    taken.setPortName(QStringLiteral("0"));
    taken.setListen(true);

    // The dialog comes back saying so, the name as typed, a free port suggested in the port field
    // and selected, ready to go; the window needs no command-line advice.
    Thostgame &dialog = ann->hostDialog();
    ann->chat().hostGameAction()->trigger();
    dialog.nameEdit()->setText(QStringLiteral("Ann B"));
    dialog.portBox()->setValue(taken.boundPort());
    clickGo(dialog);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    ASSERT_TRUE(dialog.isVisible());
    const QString problem = dialog.problemLabel()->text();
    EXPECT_TRUE(problem.startsWith(QStringLiteral("Port %1 is already in use on this computer").arg(taken.boundPort())))
        << problem.toStdString();
    EXPECT_FALSE(problem.contains(QLatin1String("--port")));
    const int suggested = dialog.portBox()->value();
    EXPECT_NE(suggested, int(taken.boundPort()));
    EXPECT_TRUE(problem.endsWith(QStringLiteral("for example %1.").arg(suggested))) << problem.toStdString();
    EXPECT_EQ(dialog.focusWidget(), dialog.portBox());
    EXPECT_EQ(dialog.portBox()->findChild<QLineEdit *>()->selectedText(), QString::number(suggested));
    EXPECT_EQ(dialog.nameEdit()->text(), "Ann B");
    screenshot(&dialog, QStringLiteral("host-dialog-port-taken"));
    dialog.hide();
    settle(100);
    EXPECT_EQ(ann->server().listeningPort(), annPort); // the game hosted goes on
    EXPECT_EQ(ann->session().localSeat(), 1);
    EXPECT_EQ(rowName(*ann, 1), "Ann");
    auto bob = joinGame(*ann, QStringLiteral("Bob"), 2);

    // Hosting again on the same port starts a new game there; the old game's players are told
    // that it ended, and do not come back into the new one.
    boxes.clear();
    ann->chat().hostGameAction()->trigger();
    ann->hostDialog().nameEdit()->setText(QStringLiteral("Ann Two"));
    ann->hostDialog().portBox()->setValue(annPort);
    clickGo(ann->hostDialog());
    ASSERT_TRUE(waitUntil([&] { return rowName(*ann, 1) == "Ann Two"; }));
    EXPECT_EQ(ann->server().listeningPort(), annPort);
    ASSERT_TRUE(waitUntil([&] { return !boxes.isEmpty(); }));
    EXPECT_EQ(boxes, QStringList({"The host has ended the game."}));
    EXPECT_TRUE(bob->chat().isVisible());
    settle(1500);
    EXPECT_EQ(rowName(*ann, 2), "<Waiting>");
    boxes.clear();

    ann->chat().copyInviteLinkAction()->trigger();
    const QStringList links = machineInviteLinks(annPort);
    if (links.isEmpty()) {
        EXPECT_EQ(boxes, QStringList {"This computer has no network address that others could join this game at."});
    } else {
        EXPECT_EQ(QGuiApplication::clipboard()->text(), links.join('\n'));
        EXPECT_TRUE(chatLines(*ann).contains(QStringLiteral("Invite link copied: ") + links.join(' ')));
    }
}

TEST_F(SwitchingGames, TheJoinDialogListsRecentAddressesAndGamesFoundOnTheNetwork)
{
    auto ann = hostGame(QStringLiteral("Ann"));
    RecentGames(ann->settings().path()).remember(QStringLiteral("Ann Lee"), GameAddress {QStringLiteral("2001:db8::5"), 7800});
    RecentGames(ann->settings().path()).remember(QStringLiteral("Ann Lee"), GameAddress {QStringLiteral("games.example.org"), 7772});
    ann->chat().JoinaGame1Click(QStringLiteral("192.0.2.9:7773")); // "try again" after a failed connection
    Tjoingame &join = ann->joinDialog();
    ASSERT_TRUE(join.isVisible());
    EXPECT_EQ(join.nameEdit()->text(), "Ann Lee");
    EXPECT_EQ(join.addressBox()->currentText(), "192.0.2.9:7773");
    QStringList listed;
    for (int i = 0; i < join.addressBox()->count(); ++i)
        listed << join.addressBox()->itemText(i);
    EXPECT_EQ(listed, QStringList({"games.example.org:7772", "[2001:db8::5]:7800"}));
    ann->chat().joinGameAction()->trigger();
    EXPECT_EQ(join.addressBox()->currentText(), "games.example.org:7772");

    QStandardItemModel found;
    for (const char *game : {"Cid's game", "Dee's game"}) {
        auto *item = new QStandardItem(QString::fromUtf8(game));
        item->setData(QStringLiteral("[fd00::%1]:7772").arg(found.rowCount() + 1), Qt::UserRole);
        found.appendRow(item);
    }
    join.setFoundGames(&found, Qt::UserRole);
    EXPECT_FALSE(join.foundList()->isHidden());
    join.foundList()->clicked(found.index(1, 0));
    EXPECT_EQ(join.addressBox()->currentText(), "[fd00::2]:7772");
    screenshot(&join, QStringLiteral("join-dialog-found-games"));
    join.setFoundGames(nullptr, Qt::UserRole);
    EXPECT_TRUE(join.foundList()->isHidden());
    EXPECT_EQ(ann->session().localSeat(), 1); // nothing was joined

    // An invite link pasted in is taken as the address it names. A join that is refused opens the
    // dialog again with its address, to try again.
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(freePort());
    join.addressBox()->setEditText(QStringLiteral("vrel://") + refused + QLatin1Char('/'));
    screenshot(&join, QStringLiteral("join-dialog-pasted-invite-link"));
    clickGo(join);
    EXPECT_FALSE(join.isVisible());
    ASSERT_TRUE(waitUntil([&] { return join.isVisible(); }, 10000));
    EXPECT_EQ(join.addressBox()->currentText(), refused);
    EXPECT_FALSE(ann->server().listening());
}

// Started with an invite link it cannot follow, the window says why and opens the join dialog;
// nothing is connected and nothing is hosted.
TEST_F(SwitchingGames, AnInviteLinkThatNamesNoGameOpensTheJoinDialog)
{
    auto copy = launch({QStringLiteral("vrel://host:port")});
    Tjoingame &join = copy->joinDialog();
    ASSERT_TRUE(waitUntil([&] { return join.isVisible(); }));
    EXPECT_EQ(chatLines(*copy), QStringList({"Loading Multi-player Game.. Please Wait.",
                                             "No game to join: The invite link \"vrel://host:port\" does not name a game. The port "
                                             "must be a number from 1 to 65535, not \"port\"."}));
    EXPECT_FALSE(copy->session().hasLink());
    EXPECT_FALSE(copy->server().listening());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

// The program as a clicked link starts it: a separate process on a real host.
TEST_F(SwitchingGames, AnInviteLinkOnTheCommandLineJoinsUnderTheLastName)
{
    testing_support::HostProcess host;
    ASSERT_NE(host.port(), 0) << host.log().toStdString();
    QTemporaryDir folder;
    QFile settings(folder.filePath(QStringLiteral("kovrlobby.ini")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Vrel]\nTextsize=12\n[VrelGames]\nName=Zed\n");
    settings.close();

    QProcess game;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VREL_HOME"), folder.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    game.setProcessEnvironment(environment);
    game.start(testing_support::builtProgram(QStringLiteral("vrel")), {QStringLiteral("vrel://127.0.0.1:%1/").arg(host.port())});
    ASSERT_TRUE(game.waitForStarted(5000));
    EXPECT_TRUE(waitUntil([&] { return host.log().contains("seat 1: \"Zed\" logged in"); }, 20000)) << host.log().toStdString();
    // The game joined is kept for the next time.
    EXPECT_TRUE(waitUntil([&] { return RecentGames(settings.fileName()).addresses() == QStringList {QStringLiteral("127.0.0.1:%1").arg(host.port())}; }));
    game.terminate();
    EXPECT_TRUE(game.waitForFinished(10000));
    EXPECT_EQ(game.exitCode(), 0) << game.readAllStandardError().toStdString();
    EXPECT_TRUE(waitUntil([&] { return host.log().contains("seat 1: \"Zed\" left"); }));
}

// A game's invite link clicked in the chat: the game the player is in is left only once the new
// game has answered. A game that cannot be reached leaves the player where it was, told why.
TEST_F(SwitchingGames, AClickedInviteLinkLeavesTheGameOnlyOnceTheNewOneAnswers)
{
    auto hal = hostGame(QStringLiteral("Hal"));
    auto ann = joinGame(*hal, QStringLiteral("Ann"), 2);
    ASSERT_TRUE(RecentGames(ann->settings().path()).remember(QStringLiteral("Ann")));
    chat::ChatView *view = ann->chat().mainchat();

    const QString refused = QStringLiteral("127.0.0.1:%1").arg(freePort());
    emit view->gameLinkClicked(QStringLiteral("vrel://") + refused);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], QStringLiteral("Join the game at %1? You leave the game you are in once it answers.").arg(refused));
    const QString stay = QStringLiteral("Could not connect: %1, connection refused. You stay in this game.").arg(refused);
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains(stay); }, 10000)) << chatText(*ann).toStdString();
    settle(200);
    EXPECT_TRUE(ann->session().connected());
    EXPECT_EQ(ann->session().localSeat(), 2);
    EXPECT_EQ(rowName(*hal, 2), "Ann");
    EXPECT_FALSE(chatLines(*hal).contains("Ann disconnected."));

    // A game that answers that it is full is no game to go to either.
    testing_support::FakeHost full;
    const QString fullAddress = QStringLiteral("127.0.0.1:%1").arg(full.port());
    emit view->gameLinkClicked(QStringLiteral("vrel://") + fullAddress);
    const auto door = full.accept();
    ASSERT_TRUE(door);
    door->send(QByteArray("CMD_full+\xFF", 10));
    ASSERT_TRUE(waitUntil([&] { return chatLines(*ann).contains(QStringLiteral("Game is full: %1. You stay in this game.").arg(fullAddress)); }));
    EXPECT_TRUE(ann->chat().isVisible());
    EXPECT_EQ(rowName(*hal, 2), "Ann");
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();

    // A game that answers takes her over: she is seated there, and only then gone from Hal's.
    auto bea = hostGame(QStringLiteral("Bea"));
    emit view->gameLinkClicked(QStringLiteral("vrel://127.0.0.1:%1").arg(portOf(*bea)));
    ASSERT_TRUE(waitUntil([&] { return rowName(*bea, 2) == "Ann" && rowName(*hal, 2) == kWaitingName && rowName(*ann, 1) == "Bea"; }));
    EXPECT_TRUE(chatLines(*ann).contains("You are Connected."));
    EXPECT_EQ(endings, 0);
    screenshot(view, QStringLiteral("invite-link-switch-chat"));
}
