#include "bench/samplestats.h"

#include <algorithm>

namespace SampleStats {

double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

double Largest(const std::vector<double> &samples)
{
    return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}

} // namespace SampleStats
