#pragma once

#include <vector>

// What the process benchmarks report of their repeated runs.
namespace SampleStats {

// The middle value; the mean of the two middle ones for an even count; 0 for none.
double Median(std::vector<double> samples);

double Largest(const std::vector<double> &samples);

} // namespace SampleStats
