#include "host_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

HostProcess::~HostProcess()
{
    stop();
}

bool HostProcess::start(const std::string &program)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    std::string portOption = "--port";
    std::string portValue = "0";
    char *argv[] = {const_cast<char *>(program.c_str()), portOption.data(), portValue.data(), nullptr};
    const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    log_ = pipeFds[0];
    if (spawned != 0) {
        pid_ = -1;
        return false;
    }
    const std::regex listening("listening on port (\\d+)");
    for (int waited = 0; waited < 100 && port_ == 0; ++waited) {
        pollfd entry {log_, POLLIN, 0};
        if (::poll(&entry, 1, 100) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(log_, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        head_.append(buffer, size_t(n));
        std::smatch match;
        if (std::regex_search(head_, match, listening))
            port_ = std::stoi(match[1]);
    }
    ::fcntl(log_, F_SETFL, O_NONBLOCK);
    return port_ != 0;
}

void HostProcess::readLog()
{
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(log_, buffer, sizeof buffer)) > 0) {
        logBytes_ += n;
        for (ssize_t i = 0; i < n; ++i)
            logLines_ += buffer[i] == '\n';
    }
}

bool HostProcess::running() const
{
    return pid_ > 0 && ::kill(pid_, 0) == 0;
}

void HostProcess::stop()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    if (log_ >= 0)
        ::close(log_);
    log_ = -1;
}

long HostProcess::residentKiB() const
{
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

int HostProcess::openDescriptors() const
{
    const std::string folder = "/proc/" + std::to_string(pid_) + "/fd";
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return -1;
    int count = 0;
    while (const dirent *entry = ::readdir(dir))
        count += entry->d_name[0] != '.';
    ::closedir(dir);
    return count;
}

double HostProcess::cpuSeconds() const
{
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    for (int i = 1; i <= 13 && fields >> field; ++i) {
        if (i == 12)
            utime = std::stoull(field);
        if (i == 13)
            stime = std::stoull(field);
    }
    return double(utime + stime) / double(::sysconf(_SC_CLK_TCK));
}
