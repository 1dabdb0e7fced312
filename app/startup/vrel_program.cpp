#include "app/startup/vrel_program.h"

#include "app/lobby/tdownload.h"
#include "client/dialog_window.h"
#include "app/startup/startup_trace.h"
#include "app/startup/tgamestart.h"
#include "client/message_box.h"
#include "client/tabout.h"
#include "client/thelp.h"
#include "client/tphrases.h"
#include "client/tspylist.h"
#include "client/ttallylist.h"
#include "engine/tserver.h"
#include "net/error_sink.h"
#include "net/esock_exception.h"
#include "records/player_file.h"
#include "records/settings_file.h"
#include "records/tally_file.h"
#include "rejoin/connection_words.h"
#include "rejoin/rejoiner.h"
#include "session/client_session.h"
#include "sound/sound_player.h"

#include <QApplication>
#include <QDir>

namespace {

constexpr char kLobbyAddress[] = "127.0.0.1";
constexpr int kLobbyPort = 9001;

} // namespace

VrelProgram::VrelProgram(CommandLine commandLine)
    : commandLine_(std::move(commandLine))
    , tally_(QDir(playerFolder(programFolder(), QStandardPaths::AppDataLocation)).filePath(QString::fromLatin1(tallyfile::kFileName)))
    , session_(std::make_unique<ClientSession>())
    , settings_(std::make_unique<SettingsFile>(*session_, playerFilePath(programFolder(), SettingsFile::kFileName)))
{
    chat_ = std::make_unique<Tchat>(*session_);
    traceStartupWhenAsked(*chat_, *session_);
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
    QObject::connect(chat_.get(), &Tchat::firstShown, chat_.get(), [this] { vrel::guarded([this] { processparams(); }); });
    Sock11.setHostName(QString::fromLatin1(kLobbyAddress));
    Sock11.setPortName(QString::number(kLobbyPort));
}

VrelProgram::~VrelProgram()
{
    chat_.reset();
    settings_.reset();
    session_.reset();
    // A tally that cannot be written stays as it was on disk; the player was told at start when
    // it is marked read-only, and nothing is shown at exit.
    tally_.save();
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

void VrelProgram::processparams()
{
    const CommandLine::Mode mode = commandLine_.mode();
    if (mode == CommandLine::Mode::Solo) {
        session_->systemLine(QStringLiteral("Loading Solo Game..Please wait."));
        showWindow(download_);
        session_->setPlayer(QStringLiteral("You"), QStringLiteral("127.0.0.1"));
        hostpress();
        return;
    }
    session_->systemLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (mode == CommandLine::Mode::Waiting)
        return;
    session_->setPlayer(commandLine_.parameters.at(0), commandLine_.parameters.at(1));
    if (mode == CommandLine::Mode::Host)
        hostpress();
    else
        session_->joinpress(commandLine_.port);
    Sock11.Connect();
}

void VrelProgram::hostpress()
{
    // With port 0 the engine takes a free port: the own client goes where it listens.
    quint16 port = 0;
    try {
        port = server_->listen(commandLine_.port);
    } catch (const ESockException &) {
        // Told in a player's words, with a port that is free now.
        throw ESockException(connectionwords::portInUse(commandLine_.port, connectionwords::freePortNear(commandLine_.port)));
    }
    session_->hostpress(port);
}
