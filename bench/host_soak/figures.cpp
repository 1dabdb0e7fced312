#include "figures.h"

#include "host_process.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

std::string option(int argc, char **argv, const char *name, const std::string &fallback)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    }
    return fallback;
}

bool startHost(HostProcess &host, int argc, char **argv, const std::vector<std::string> &environment,
               const std::vector<std::string> &options)
{
    const std::string program = option(argc, argv, "--host", besideThisProgram("vrel-host"));
    if (host.start(program, environment, options))
        return true;
    std::fprintf(stderr, "cannot start %s\n", program.c_str());
    return false;
}

void report(const std::string &name, const std::string &figure, const std::string &reference, bool within)
{
    std::printf("%-34s %s (reference: %s) [%s]\n", (name + ":").c_str(), figure.c_str(), reference.c_str(),
                within ? "within" : "OUTSIDE");
    std::fflush(stdout);
}

long ownResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}
