#include "app/startup/vrel_program.h"

#include "app/lobby/lobby_config.h"
#include "app/lobby/tdownload.h"
#include "app/reach/host_reach.h"
#include "client/dialog_window.h"
#include "app/startup/startup_trace.h"
#include "app/startup/tgamestart.h"
#include "app/startup/thostgame.h"
#include "app/startup/tjoingame.h"
#include "chat/chatview.h"
#include "discovery/game_browser.h"
#include "discovery/local_only.h"
#include "client/message_box.h"
#include "client/tabout.h"
#include "client/thelp.h"
#include "client/tphrases.h"
#include "client/tspylist.h"
#include "client/ttallylist.h"
#include "engine/tserver.h"
#include "joining/invite_links.h"
#include "net/error_sink.h"
#include "net/esock_exception.h"
#include "portmap/router_jobs.h"
#include "records/player_file.h"
#include "records/settings_file.h"
#include "records/tally_file.h"
#include "rejoin/connection_words.h"
#include "rejoin/join_probe.h"
#include "rejoin/rejoiner.h"
#include "session/client_session.h"
#include "sound/sound_player.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>

namespace {

constexpr char kLobbyAddress[] = "127.0.0.1";

const QString kNoInviteAddress = QStringLiteral("This computer has no network address that others could join this game at.");

} // namespace

VrelProgram::VrelProgram(CommandLine commandLine)
    : commandLine_(std::move(commandLine))
    , tally_(QDir(playerFolder(programFolder(), QStandardPaths::AppDataLocation)).filePath(QString::fromLatin1(tallyfile::kFileName)))
    , session_(std::make_unique<ClientSession>())
    , settings_(std::make_unique<SettingsFile>(*session_, playerFilePath(programFolder(), SettingsFile::kFileName)))
    , recent_(settings_->path())
{
    chat_ = std::make_unique<Tchat>(*session_);
    traceStartupWhenAsked(*chat_, *session_);
    // For the latency benchmark, which measures the window's former dispatch rule beside the
    // present one.
    session_->setDispatchTick(qEnvironmentVariableIntValue("VREL_WINDOW_TICK_MS"));
    about_ = new Tabout(chat_.get());
    spylist_ = new Tspylist(chat_.get());
    help_ = new Thelp(chat_.get(), about_);
    gamestart_ = new Tgamestart(*session_, chat_.get());
    phrases_ = new Tphrases(*session_, *settings_, chat_.get());
    download_ = new Tdownload(LobbyConfig::fromEnvironment(), chat_.get());
    QObject::connect(download_, &Tdownload::exitGame, chat_.get(), &QWidget::close);
    createTallyList();
    server_ = std::make_unique<TServer>();
    chat_->attach(spylist_, gamestart_);
    chat_->attachSettings(settings_.get(), phrases_);
    sounds_ = std::make_unique<sound::SoundPlayer>(sound::SoundSet::builtIn(), [] { QApplication::beep(); });
    QObject::connect(session_.get(), &ClientSession::soundRequested, sounds_.get(), &sound::SoundPlayer::play);
    chat_->attachHelp(help_, about_);
    rejoiner_ = new Rejoiner(*session_, chat_.get());
    chat_->attachRejoiner(rejoiner_);
    createGameDialogs();
    QObject::connect(chat_.get(), &Tchat::firstShown, chat_.get(), [this] { vrel::guarded([this] { processparams(); }); });
    // The players of a game this copy hosts are told that it ends, before the program does.
    QObject::connect(chat_.get(), &Tchat::ended, chat_.get(), [this] {
        if (server_->listening()) {
            session_->giveUp();
            server_->announceEnding();
        }
    });
    Sock11.setHostName(QString::fromLatin1(kLobbyAddress));
    Sock11.setPortName(QString::number(LobbyConfig::fromEnvironment().linkPort));
}

VrelProgram::~VrelProgram()
{
    // What the player keeps is saved before anything waits on the network. A tally that cannot be
    // written stays as it was on disk; the player was told at start when it is marked read-only,
    // and nothing is shown at exit.
    tally_.save();
    reach_.reset(); // the service withdrawn and the router's forwarding handed back
    chat_.reset();
    settings_.reset();
    session_.reset();
    // The router gets a moment to take its forwarding back, never more.
    portmap::finishRouterJobs();
}

// The tally window, with the tally read from its file; a file that cannot be read (kept aside,
// the game starting with what could be read of it) or written is reported once.
void VrelProgram::createTallyList()
{
    const QString problem = tally_.load();
    tallylist_ = new Ttallylist(tally_.table(), chat_.get());
    chat_->attachTallyList(tallylist_);
    QObject::connect(session_.get(), &ClientSession::gameWon, tallylist_, [this](const QString &winner, bool localWins) {
        chat_->loadchecklist();
        tallylist_->addgame(winner, localWins);
    });
    if (!problem.isEmpty())
        messagebox::show(chat_.get(), problem);
}

// File's "Host a Game..." and "Join a Game...", and the hosting copy's invite links.
void VrelProgram::createGameDialogs()
{
    hostgame_ = new Thostgame(recent_, chat_.get());
    joingame_ = new Tjoingame(recent_, chat_.get());
    QObject::connect(chat_->hostGameAction(), &QAction::triggered, hostgame_, &Thostgame::showDialog);
    QObject::connect(chat_.get(), &Tchat::joinGameAsked, joingame_, &Tjoingame::showDialog);
    QObject::connect(hostgame_, &Thostgame::hostRequested, chat_.get(),
                     [this](const QString &name, int port) { vrel::guarded([&] { hostGame(name, port); }); });
    QObject::connect(joingame_, &Tjoingame::joinRequested, chat_.get(),
                     [this](const QString &name, const GameAddress &address) { vrel::guarded([&] { joinGame(name, address); }); });
    if (!keepsToThisComputer()) {
        // Games on the local network, listed live in the join dialog.
        auto *browser = new GameBrowser(joingame_);
        joingame_->setFoundGames(browser, GameBrowser::JoinAddressRole);
        const auto tellAvailability = [this, browser] {
            joingame_->setFoundGamesNote(browser->available() ? QString() : browser->unavailableText());
        };
        QObject::connect(browser, &GameBrowser::availabilityChanged, joingame_, tellAvailability);
        tellAvailability();
    }
    QObject::connect(chat_->copyInviteLinkAction(), &QAction::triggered, chat_.get(), [this] { copyInviteLinks(); });
    QObject::connect(chat_->mainchat(), &chat::ChatView::gameLinkClicked, chat_.get(),
                     [this](const QString &link) { vrel::guarded([&] { askToFollowInviteLink(link); }); });
    QObject::connect(session_.get(), &ClientSession::loggedIn, chat_.get(), [this] { loggedIn(); });
    // A join that never came about: the join dialog again, its address filled in, to try again.
    QObject::connect(rejoiner_, &Rejoiner::joinFailed, chat_.get(), [this](const QString &address) { chat_->JoinaGame1Click(address); });
}

void VrelProgram::processparams()
{
    const CommandLine::Mode mode = commandLine_.mode();
    if (mode == CommandLine::Mode::Solo) {
        showWindow(download_);
        session_->setPlayer(QStringLiteral("You"), QStringLiteral("127.0.0.1"));
        hostpress(QStringLiteral("Loading Solo Game..Please wait."));
        invitesShown_ = true; // a game for one invites no one
        return;
    }
    const QString loading = QStringLiteral("Loading Multi-player Game.. Please Wait.");
    if (mode != CommandLine::Mode::Host)
        session_->systemLine(loading);
    if (mode == CommandLine::Mode::Invite) {
        followInviteLink(commandLine_.parameters.at(0));
        return;
    }
    if (mode == CommandLine::Mode::Waiting)
        return;
    session_->setPlayer(commandLine_.parameters.at(0), commandLine_.parameters.at(1));
    if (mode == CommandLine::Mode::Host) {
        hostpress(loading);
        reachOthers();
    }
    else
        session_->joinpress(commandLine_.port);
    openLobbyLink();
}

void VrelProgram::hostpress(const QString &loadingLine)
{
    // With port 0 the engine takes a free port: the own client goes where it listens.
    const std::optional<quint16> port = listenOn(*server_, commandLine_.port);
    if (!port) {
        // The window says what went wrong instead of waiting for a game that never comes.
        const QString problem = connectionwords::portInUseOnCommandLine(commandLine_.port, connectionwords::freePortNear(commandLine_.port));
        session_->systemLine(problem);
        throw ESockException(problem);
    }
    session_->systemLine(loadingLine);
    hostOn(*port);
}

std::optional<quint16> VrelProgram::listenOn(TServer &engine, int port)
{
    try {
        return engine.listen(port);
    } catch (const ESockException &) {
        return std::nullopt;
    }
}

// The lobby application learns of the game once its host is found: a host's name that cannot be
// resolved opens no link.
void VrelProgram::openLobbyLink()
{
    if (session_->hostKnown()) {
        Sock11.Connect();
        return;
    }
    lobbyLinkWait_ = QObject::connect(session_.get(), &ClientSession::hostResolved, chat_.get(), [this] {
        QObject::disconnect(lobbyLinkWait_);
        Sock11.Connect();
    });
}

void VrelProgram::hostOn(quint16 port)
{
    invitesShown_ = false;
    session_->hostpress(port);
    // The engine knows its own player by the port it connects from: that player starts the games.
    server_->setOwnClient(session_->connectedFrom());
}

// A game hosted for others (not a solo game) is published on the local network and asks the
// router for its port unless the player turned that off; neither holds up the start.
void VrelProgram::reachOthers()
{
    reach_ = std::make_unique<HostReach>(*server_, session_->playerName(), session_->playerName());
    // Before the login has read the settings, the option comes from the file itself.
    if (settings_->storedOpenPort() != session_->options().openPort)
        session_->setOpenPort(settings_->storedOpenPort());
    QObject::connect(session_.get(), &ClientSession::optionChanged, reach_.get(), [this](ClientSession::Option option) {
        if (option == ClientSession::Option::OpenPort)
            reach_->setPortOpening(session_->options().openPort);
    });
    // The router's answer is told in the chat as a system line.
    QObject::connect(&reach_->portMapper(), &PortMapper::stateChanged, session_.get(), [this] {
        const QString notice = reach_->routerNotice();
        if (!notice.isEmpty())
            session_->systemLine(notice);
    });
    reach_->start(server_->listeningPort(), session_->options().openPort);
}

void VrelProgram::leaveGame()
{
    leaveGameFor(nullptr);
}

void VrelProgram::leaveGameFor(std::unique_ptr<TServer> nextEngine)
{
    QObject::disconnect(lobbyLinkWait_); // the lobby hears only of the game it started
    gameTried_.reset();
    rejoiner_->stop(); // a game left is not rejoined
    reach_.reset();    // withdrawn from the network before its engine goes
    session_->leaveGame();
    toRemember_.reset();
    // A game this copy hosted ends: its players are told, and its port is free.
    const bool hosted = server_->listening();
    if (hosted)
        server_->announceEnding();
    if (nextEngine)
        server_ = std::move(nextEngine);
    else if (hosted)
        server_ = std::make_unique<TServer>();
}

void VrelProgram::hostGame(const QString &name, int port)
{
    // The port of the game hosted now is freed first (the engine left idle then takes it); any
    // other port must be taken before this game is left.
    std::unique_ptr<TServer> engine;
    if (server_->listening() && server_->listeningPort() == port)
        leaveGame();
    else
        engine = std::make_unique<TServer>();
    const std::optional<quint16> bound = listenOn(engine ? *engine : *server_, port);
    if (!bound) {
        // The game goes on; the dialog comes back with a port that is free now.
        const int suggestion = connectionwords::freePortNear(port);
        hostgame_->showPortTaken(connectionwords::portInUse(port, suggestion), suggestion);
        return;
    }
    if (engine)
        leaveGameFor(std::move(engine));
    session_->systemLine(QStringLiteral("Hosting a game on port %1 as %2.").arg(*bound).arg(name));
    session_->setPlayer(name, QStringLiteral("127.0.0.1"));
    toRemember_ = GameToRemember {name, std::nullopt};
    hostOn(*bound);
    reachOthers();
}

void VrelProgram::joinGame(const QString &name, const GameAddress &address, std::unique_ptr<Link> link, const QByteArray &received)
{
    leaveGame();
    session_->systemLine(QStringLiteral("Joining the game as %1: %2").arg(name, address.text()));
    session_->setPlayer(name, address.host);
    toRemember_ = GameToRemember {name, address};
    if (link)
        session_->joinOver(address.port, std::move(link), received);
    else
        session_->joinpress(address.port);
}

// The game the player is in is left only once the new one has answered; one that does not
// answer leaves the player where it was.
void VrelProgram::tryThenJoin(const QString &name, const GameAddress &address)
{
    session_->systemLine(QStringLiteral("Calling the game: %1. You stay in this game until it answers.").arg(address.text()));
    gameTried_ = std::make_unique<JoinProbe>(address.host, address.port, address.text());
    QObject::connect(gameTried_.get(), &JoinProbe::answered, chat_.get(), [this, name, address] {
        std::unique_ptr<Link> link = gameTried_->takeLink();
        const QByteArray received = gameTried_->received();
        gameTried_.release()->deleteLater();
        vrel::guarded([&] { joinGame(name, address, std::move(link), received); });
    });
    QObject::connect(gameTried_.get(), &JoinProbe::failed, chat_.get(), [this](const QString &reason) {
        // The last paragraph says it all in a line.
        session_->systemLine(reason.section(QLatin1Char('\n'), -1) + QStringLiteral(" You stay in this game."));
        gameTried_.release()->deleteLater();
    });
}

void VrelProgram::followInviteLink(const QString &link)
{
    const AddressReading reading = readInviteLink(link);
    if (!reading.address) {
        session_->systemLine(QStringLiteral("No game to join: ") + reading.problem);
        joingame_->showDialog();
        return;
    }
    const QString name = recent_.lastName();
    if (name.isEmpty()) {
        session_->systemLine(QStringLiteral("Type your name to join this game: %1").arg(reading.address->text()));
        joingame_->showDialog(reading.address->text());
        return;
    }
    if (session_->connected())
        tryThenJoin(name, *reading.address);
    else
        joinGame(name, *reading.address);
}

void VrelProgram::askToFollowInviteLink(const QString &link)
{
    const AddressReading reading = readInviteLink(link);
    if (!reading.address) {
        messagebox::show(chat_.get(), reading.problem);
        return;
    }
    QString question = QStringLiteral("Join the game at %1?").arg(reading.address->text());
    // Only a game joined at once under the last name can be tried before this one is left.
    if (session_->connected() && !recent_.lastName().isEmpty())
        question += QStringLiteral(" You leave the game you are in once it answers.");
    else if (session_->hasLink())
        question += QStringLiteral(" You leave the game you are in.");
    if (const QString ending = session_->leavingEndsTheGame(); !ending.isEmpty())
        question += QLatin1Char(' ') + ending;
    if (messagebox::ask(chat_.get(), question))
        followInviteLink(link);
}

void VrelProgram::loggedIn()
{
    if (toRemember_) {
        if (!recent_.remember(toRemember_->name, toRemember_->joined))
            messagebox::show(chat_.get(), recent_.writeFailure());
        toRemember_.reset();
    }
    if (!session_->hostFlag() || invitesShown_)
        return;
    invitesShown_ = true;
    const QStringList links = inviteLinks();
    if (links.isEmpty())
        session_->systemLine(kNoInviteAddress);
    for (const QString &link : links)
        session_->systemLine(QStringLiteral("Invite link: %1").arg(link));
}

QStringList VrelProgram::inviteLinks() const
{
    if (!server_->listening())
        return {};
    QStringList links = machineInviteLinks(server_->listeningPort());
    // The address the router forwards comes first: it is the one players elsewhere can reach.
    if (reach_ && !reach_->portMapper().externalEndpoint().isEmpty())
        links.prepend(QStringLiteral("vrel://") + reach_->portMapper().externalEndpoint());
    return links;
}

void VrelProgram::copyInviteLinks()
{
    const QStringList links = inviteLinks();
    if (links.isEmpty()) {
        messagebox::show(chat_.get(), kNoInviteAddress);
        return;
    }
    QGuiApplication::clipboard()->setText(links.join(QLatin1Char('\n')));
    session_->systemLine(QStringLiteral("Invite link copied: %1").arg(links.join(QLatin1Char(' '))));
}
