#pragma once

#include <string>
#include <vector>

// The p-th fraction (0.5 for the median) of `values`; 0 when there are none.
double percentile(std::vector<double> values, double p);

// A result line, "name: figure (reference: ...)", with "[within]" or "[OUTSIDE]" after it.
void report(const std::string &name, const std::string &figure, const std::string &reference, bool within);
