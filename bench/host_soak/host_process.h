#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// One of our programs (vrel-host, the game, vrel-pack) as a child process, and what the system
// says about it: resident and peak memory, open descriptors, processor time. Its stderr is read
// all the time (so that it never blocks on a full pipe) and counted, or waited on for a line.
class HostProcess
{
public:
    ~HostProcess();

    // Starts vrel-host with --port 0 and `options` (and `environment` added to ours) and waits for
    // the port it reports; false on failure.
    bool start(const std::string &program, const std::vector<std::string> &environment = {},
               const std::vector<std::string> &options = {});
    // Starts `arguments` (the program first) with `environment` ("NAME=value") added to ours, in
    // the folder `directory` (ours when empty).
    bool spawn(const std::vector<std::string> &arguments, const std::vector<std::string> &environment = {},
               const std::string &directory = {});
    // Reads stderr until a line matches `pattern` (an ECMAScript regex) or `timeoutMs` pass;
    // the first group, if any, goes to `group`. Text before the match is not looked at again.
    bool waitForLog(const std::string &pattern, int timeoutMs, std::string *group = nullptr);
    // Ends the program with SIGTERM and waits for it.
    void stop();
    // Waits for the program to end by itself; its exit status, or -1.
    int wait();
    // Whether the program has ended, without waiting; exitStatus() then says how.
    bool ended();
    int exitStatus() const { return exitStatus_; }
    pid_t pid() const { return pid_; }
    int port() const { return port_; }
    int logDescriptor() const { return log_; }
    // Reads what the program logged since the last call.
    void readLog();
    long long logBytes() const { return logBytes_; }
    long logLines() const { return logLines_; }
    bool running() const;

    long residentKiB() const;
    long peakResidentKiB() const;
    // Its share of the memory it shares with others (libraries, counted once over all who map
    // them): what one more copy costs a machine that runs many.
    long proportionalKiB() const;
    // Peak resident memory of the program once it has ended (from the system's account of it).
    long endedPeakKiB() const { return endedPeakKiB_; }
    int openDescriptors() const;
    double cpuSeconds() const;

private:
    long statusKiB(const char *field) const;
    void reap(int signal);

    pid_t pid_ = -1;
    int log_ = -1;
    int port_ = 0;
    std::string head_; // what was read while waiting for a line
    long long logBytes_ = 0;
    long logLines_ = 0;
    long endedPeakKiB_ = -1;
    int exitStatus_ = -1;
};

// The path of a program in the same folder as the running benchmark.
std::string besideThisProgram(const char *name);
