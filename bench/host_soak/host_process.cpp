#include "host_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

HostProcess::~HostProcess()
{
    stop();
}

bool HostProcess::spawn(const std::vector<std::string> &arguments, const std::vector<std::string> &environment,
                        const std::string &directory)
{
    int pipeFds[2];
    if (arguments.empty() || ::pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    // Ours, but for the variables `environment` sets: the first of a name is the one read.
    const auto setHere = [&environment](const char *entry) {
        const std::string_view name(entry, std::strcspn(entry, "="));
        return std::any_of(environment.begin(), environment.end(),
                           [name](const std::string &own) { return own.compare(0, own.find('='), name) == 0; });
    };
    std::vector<char *> envp;
    for (char **entry = environ; *entry; ++entry) {
        if (!setHere(*entry))
            envp.push_back(*entry);
    }
    for (const std::string &entry : environment)
        envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    log_ = pipeFds[0];
    ::fcntl(log_, F_SETFL, O_NONBLOCK);
    if (spawned != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool HostProcess::waitForLog(const std::string &pattern, int timeoutMs, std::string *group)
{
    const std::regex wanted(pattern);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        std::smatch match;
        if (std::regex_search(head_, match, wanted)) {
            if (group && match.size() > 1)
                *group = match[1];
            head_.erase(0, size_t(match.position(0) + match.length(0)));
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry {log_, POLLIN, 0};
        if (::poll(&entry, 1, int(left.count())) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(log_, buffer, sizeof buffer);
        if (n == 0)
            return false; // the program ended
        if (n > 0)
            head_.append(buffer, size_t(n));
    }
}

bool HostProcess::start(const std::string &program, const std::vector<std::string> &environment,
                        const std::vector<std::string> &options)
{
    std::vector<std::string> arguments = {program, "--port", "0"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::string port;
    if (!spawn(arguments, environment) || !waitForLog("listening on port (\\d+)", 10000, &port))
        return false;
    port_ = std::stoi(port);
    return true;
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

void HostProcess::reap(int signal)
{
    if (pid_ > 0) {
        if (signal != 0)
            ::kill(pid_, signal);
        int status = 0;
        rusage usage {};
        if (::wait4(pid_, &status, 0, &usage) == pid_) {
            endedPeakKiB_ = usage.ru_maxrss;
            exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        pid_ = -1;
    }
    if (log_ >= 0)
        ::close(log_);
    log_ = -1;
}

void HostProcess::stop()
{
    reap(SIGTERM);
}

bool HostProcess::ended()
{
    if (pid_ <= 0)
        return true;
    // Whatever it still writes is drained, so that it never blocks on the pipe while ending.
    readLog();
    int status = 0;
    rusage usage {};
    if (::wait4(pid_, &status, WNOHANG, &usage) != pid_)
        return false;
    endedPeakKiB_ = usage.ru_maxrss;
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
    reap(0);
    return true;
}

int HostProcess::wait()
{
    while (!ended()) {
        pollfd entry {log_, POLLIN, 0};
        ::poll(&entry, 1, 50);
    }
    return exitStatus_;
}

long HostProcess::statusKiB(const char *field) const
{
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0)
            return std::stol(line.substr(length));
    }
    return -1;
}

long HostProcess::proportionalKiB() const
{
    std::ifstream rollup("/proc/" + std::to_string(pid_) + "/smaps_rollup");
    std::string line;
    while (std::getline(rollup, line)) {
        if (line.compare(0, 4, "Pss:") == 0)
            return std::stol(line.substr(4));
    }
    return -1;
}

long HostProcess::residentKiB() const
{
    return statusKiB("VmRSS:");
}

long HostProcess::peakResidentKiB() const
{
    return statusKiB("VmHWM:");
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
    // The run time the scheduler counts for each thread, in nanoseconds, where the system keeps
    // it; else utime and stime of the process, in clock ticks (10 ms, too coarse for an idle
    // program).
    const std::string folder = "/proc/" + std::to_string(pid_) + "/task";
    if (DIR *dir = ::opendir(folder.c_str())) {
        unsigned long long nanoseconds = 0;
        bool counted = false;
        while (const dirent *entry = ::readdir(dir)) {
            std::ifstream schedstat(folder + '/' + entry->d_name + "/schedstat");
            unsigned long long running = 0;
            if (entry->d_name[0] != '.' && schedstat >> running) {
                nanoseconds += running;
                counted = true;
            }
        }
        ::closedir(dir);
        if (counted)
            return double(nanoseconds) / 1e9;
    }
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

std::string besideThisProgram(const char *name)
{
    char path[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self(path, n > 0 ? size_t(n) : 0);
    return self.substr(0, self.rfind('/') + 1) + name;
}
