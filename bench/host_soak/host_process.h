#pragma once

#include <string>
#include <sys/types.h>

// vrel-host as a child process on a free port, and what the system says about it: resident
// memory, open descriptors, processor time. Its log is read all the time (so that it never
// blocks on a full pipe) and only counted.
class HostProcess
{
public:
    ~HostProcess();

    // Starts the program with --port 0 and waits for the port it reports; false on failure.
    bool start(const std::string &program);
    void stop();
    int port() const { return port_; }
    int logDescriptor() const { return log_; }
    // Reads what the host logged since the last call.
    void readLog();
    long long logBytes() const { return logBytes_; }
    long logLines() const { return logLines_; }
    bool running() const;

    long residentKiB() const;
    int openDescriptors() const;
    double cpuSeconds() const;

private:
    pid_t pid_ = -1;
    int log_ = -1;
    int port_ = 0;
    std::string head_; // the log until the port is known
    long long logBytes_ = 0;
    long logLines_ = 0;
};
