#include "game_process.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

GameProcess::GameProcess(std::string display, bool reachOthers)
    : display_(std::move(display))
    , reachOthers_(reachOthers)
{
}

GameProcess::~GameProcess()
{
    game_.stop();
    if (!home_.empty())
        std::filesystem::remove_all(home_);
}

bool GameProcess::start(const std::vector<std::string> &parameters, int port, const std::vector<std::string> &environment)
{
    char folder[] = "/tmp/vrel-bench-XXXXXX";
    if (!::mkdtemp(folder))
        return false;
    home_ = folder;
    std::vector<std::string> variables = {"VREL_HOME=" + home_, "VREL_STARTUP_TRACE=1",
                                          reachOthers_ ? "VREL_LOCAL_ONLY=0" : "VREL_LOCAL_ONLY=1"};
    if (display_.empty())
        variables.push_back("QT_QPA_PLATFORM=offscreen");
    else
        variables.insert(variables.end(), {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display_});
    variables.insert(variables.end(), environment.begin(), environment.end());
    std::vector<std::string> arguments = {besideThisProgram("vrel"), "--port", std::to_string(port)};
    arguments.insert(arguments.end(), parameters.begin(), parameters.end());
    return game_.spawn(arguments, variables);
}

VirtualDisplay::VirtualDisplay()
{
    // Xvfb picks a free display and writes its number on the descriptor named, here its stderr.
    std::string number;
    if (::access("/usr/bin/Xvfb", X_OK) == 0 && server_.spawn({"/usr/bin/Xvfb", "-displayfd", "2", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"})
        && server_.waitForLog("(?:^|\\n)(\\d+)\\n", 10000, &number))
        display_ = ":" + number;
}
