#include "app/startup/vrel_program.h"

#include "app/startup/tgamestart.h"
#include "client/tspylist.h"
#include "engine/tserver.h"

VrelProgram::VrelProgram(Tchat::Startup startup)
    : chat_(std::make_unique<Tchat>(std::move(startup)))
{
    spylist_ = new Tspylist(chat_.get());
    gamestart_ = new Tgamestart(chat_.get());
    server_ = std::make_unique<TServer>();
    chat_->attach(spylist_, gamestart_, server_.get());
}

VrelProgram::~VrelProgram()
{
    // The main window's connection closes before the engine it talks to.
    chat_.reset();
}
