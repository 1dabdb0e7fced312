#include "figures.h"

#include <algorithm>
#include <cstdio>

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

void report(const std::string &name, const std::string &figure, const std::string &reference, bool within)
{
    std::printf("%-34s %s (reference: %s) [%s]\n", (name + ":").c_str(), figure.c_str(), reference.c_str(),
                within ? "within" : "OUTSIDE");
    std::fflush(stdout);
}
