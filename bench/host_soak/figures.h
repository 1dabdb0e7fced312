#pragma once

#include <string>
#include <vector>

// The p-th fraction (0.5 for the median) of `values`; 0 when there are none.
double percentile(std::vector<double> values, double p);

// The value after `name` on the command line ("--seconds 10"), or `fallback`.
std::string option(int argc, char **argv, const char *name, const std::string &fallback);

// vrel-host started for a benchmark (the program named by --host, or the one beside it), with a
// message on stderr when it does not start.
class HostProcess;
bool startHost(HostProcess &host, int argc, char **argv, const std::vector<std::string> &environment = {},
               const std::vector<std::string> &options = {});

// This process's resident memory now, in KiB (-1 when the system does not say).
long ownResidentKiB();

// A result line, "name: figure (reference: ...)", with "[within]" or "[OUTSIDE]" after it.
void report(const std::string &name, const std::string &figure, const std::string &reference, bool within);
