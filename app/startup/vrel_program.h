#pragma once

#include "app/command_line/command_line.h"
#include "client/tchat.h"
#include "joining/game_address.h"
#include "joining/recent_games.h"
#include "net/link.h"
#include "net/tsock.h"
#include "records/tally_store.h"

#include <memory>
#include <optional>

class ClientSession;
class HostReach;
class JoinProbe;
class Rejoiner;
class SettingsFile;
class Tphrases;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Thostgame;
class Tjoingame;
class TServer;
class Tspylist;
namespace sound {
class SoundPlayer;
}
class Ttallylist;

// One running copy: the client's session, its windows created in their fixed order (the main
// window first, the hidden host engine last), and the start-up that hosts or joins a game once
// the main window is shown. Every copy carries a host engine; only a hosting copy listens.
class VrelProgram
{
public:
    explicit VrelProgram(CommandLine commandLine);
    ~VrelProgram();

    ClientSession &session() { return *session_; }
    Tchat &chat() { return *chat_; }
    Tspylist &spylist() { return *spylist_; }
    Tgamestart &gamestart() { return *gamestart_; }
    Tphrases &phrases() { return *phrases_; }
    SettingsFile &settings() { return *settings_; }
    Ttallylist &tallylist() { return *tallylist_; }
    Thelp &help() { return *help_; }
    Tabout &about() { return *about_; }
    const TallyTable &tally() const { return tally_.table(); }
    // The tally file: read at start, written when the program ends.
    const QString &tallyPath() const { return tally_.path(); }
    // The lobby window, shown when a solo game starts; tests close it with "Play Solo Game".
    Tdownload &download() { return *download_; }
    TServer &server() { return *server_; }
    // A game hosted for others: published on the local network, its port opened on the router.
    // Null in a solo game and when joining.
    HostReach *reach() { return reach_.get(); }
    Rejoiner &rejoiner() { return *rejoiner_; }
    sound::SoundPlayer &sounds() { return *sounds_; }

    Thostgame &hostDialog() { return *hostgame_; }
    Tjoingame &joinDialog() { return *joingame_; }
    const RecentGames &recentGames() const { return recent_; }

    // Reads the parameters and starts hosting or joining.
    void processparams();

    // The window goes over to another game without a restart, leaving the one it is in as
    // closing does (the connection ends, a hosted game's engine stops). Hosting starts only
    // once the port could be taken: a port in use throws and the current game goes on. The
    // name, and a joined game's address, are kept for the next time once the login completes.
    void hostGame(const QString &name, int port);
    // `link`, when given, is a connection to the game already made (and what was read on it).
    void joinGame(const QString &name, const GameAddress &address, std::unique_ptr<Link> link = nullptr,
                  const QByteArray &received = QByteArray());
    void leaveGame();
    // An invite link given on the command line: joins with the last name used, or asks for a
    // name in the join dialog when there is none.
    void followInviteLink(const QString &link);
    // An invite link clicked in the chat: joins after the player says yes, leaving the game the
    // window is in only once the new one has answered.
    void askToFollowInviteLink(const QString &link);
    // File > "Copy Invite Link": the hosted game's links on the clipboard, one a line.
    void copyInviteLinks();

private:
    void createTallyList();
    void reachOthers();
    void createGameDialogs();
    void loggedIn();
    // This copy hosts on the command line's port: the engine listens and the own client connects
    // to it, the loading line told once the port is taken. A port in use is told in the chat and
    // thrown with words a player understands.
    void hostpress(const QString &loadingLine);
    void hostOn(quint16 port);
    // The engine listens on the port; nothing when it cannot (another program holds the port).
    static std::optional<quint16> listenOn(TServer &engine, int port);
    void openLobbyLink();
    void tryThenJoin(const QString &name, const GameAddress &address);
    // Leaves the game; a hosted game's engine gives way to the one given, or to an idle one.
    void leaveGameFor(std::unique_ptr<TServer> nextEngine);
    QStringList inviteLinks() const;

    CommandLine commandLine_;
    TallyStore tally_; // outlives the windows that draw it
    // Declared in the order that ends the connection before the engine it talks to.
    std::unique_ptr<TServer> server_;
    std::unique_ptr<HostReach> reach_; // ends before the engine it describes
    std::unique_ptr<ClientSession> session_;
    std::unique_ptr<SettingsFile> settings_;
    std::unique_ptr<Tchat> chat_;
    std::unique_ptr<sound::SoundPlayer> sounds_;
    Tspylist *spylist_ = nullptr;     // owned by the main window
    Tgamestart *gamestart_ = nullptr; // owned by the main window
    Tphrases *phrases_ = nullptr;     // owned by the main window
    Ttallylist *tallylist_ = nullptr; // owned by the main window
    Thelp *help_ = nullptr;           // owned by the main window
    Tabout *about_ = nullptr;         // owned by the main window
    Tdownload *download_ = nullptr;   // owned by the main window
    Thostgame *hostgame_ = nullptr;   // owned by the main window
    Tjoingame *joingame_ = nullptr;   // owned by the main window
    RecentGames recent_;
    // What is kept once the login of a game hosted or joined from the window completes.
    struct GameToRemember {
        QString name;
        std::optional<GameAddress> joined;
    };
    std::optional<GameToRemember> toRemember_;
    bool invitesShown_ = false;
    Rejoiner *rejoiner_ = nullptr;    // owned by the main window
    std::unique_ptr<JoinProbe> gameTried_; // an invite link's game, until it answers
    QMetaObject::Connection lobbyLinkWait_;
    TSock Sock11;                     // the link to the lobby application: opened, never used
};
