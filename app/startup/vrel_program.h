#pragma once

#include "client/tchat.h"

class Tgamestart;
class TServer;
class Tspylist;

// The windows of one running copy, created in their fixed order: the main window first, the
// hidden host engine last. Every copy carries a host engine; only a hosting copy listens.
class VrelProgram
{
public:
    explicit VrelProgram(Tchat::Startup startup);
    ~VrelProgram();

    Tchat &chat() { return *chat_; }
    Tspylist &spylist() { return *spylist_; }
    Tgamestart &gamestart() { return *gamestart_; }
    TServer &server() { return *server_; }

private:
    std::unique_ptr<Tchat> chat_;
    Tspylist *spylist_ = nullptr;     // owned by the main window
    Tgamestart *gamestart_ = nullptr; // owned by the main window
    std::unique_ptr<TServer> server_;
};
