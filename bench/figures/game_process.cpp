#include "game_process.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

GameProcess::GameProcess(std::string display)
    : display_(std::move(display))
{
}

GameProcess::~GameProcess()
{
    game_.stop();
    if (!home_.empty())
        std::filesystem::remove_all(home_);
}

bool GameProcess::start()
{
    char folder[] = "/tmp/vrel-bench-XXXXXX";
    if (!::mkdtemp(folder))
        return false;
    home_ = folder;
    std::vector<std::string> environment = {"VREL_HOME=" + home_, "VREL_STARTUP_TRACE=1", "VREL_LOCAL_ONLY=1"};
    if (display_.empty())
        environment.push_back("QT_QPA_PLATFORM=offscreen");
    else
        environment.insert(environment.end(), {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display_});
    return game_.spawn({besideThisProgram("vrel"), "Ann", "127.0.0.1", "true", "--port", "0"}, environment);
}

VirtualDisplay::VirtualDisplay()
{
    // Xvfb picks a free display and writes its number on the descriptor named, here its stderr.
    std::string number;
    if (::access("/usr/bin/Xvfb", X_OK) == 0 && server_.spawn({"/usr/bin/Xvfb", "-displayfd", "2", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"})
        && server_.waitForLog("(?:^|\\n)(\\d+)\\n", 10000, &number))
        display_ = ":" + number;
}
