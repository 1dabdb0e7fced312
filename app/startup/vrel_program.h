#pragma once

#include "app/command_line/command_line.h"
#include "client/tchat.h"
#include "net/tsock.h"
#include "records/tally_store.h"

#include <memory>

class ClientSession;
class Rejoiner;
class SettingsFile;
class Tphrases;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
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
    Rejoiner &rejoiner() { return *rejoiner_; }
    sound::SoundPlayer &sounds() { return *sounds_; }

    // Reads the parameters and starts hosting or joining.
    void processparams();
    // This copy hosts: the engine listens, and the own client connects to it.
    void hostpress();

private:
    void createTallyList();

    CommandLine commandLine_;
    TallyStore tally_; // outlives the windows that draw it
    // Declared in the order that ends the connection before the engine it talks to.
    std::unique_ptr<TServer> server_;
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
    Rejoiner *rejoiner_ = nullptr;    // owned by the main window
    TSock Sock11;                     // the link to the lobby application: opened, never used
};
