// Replays the committed seeds of a fuzz target as an ordinary test, built by the compiler of the
// test suite: every file of the target's seed folder once, in name order, through the same entry
// points libFuzzer calls. A crash, an abort or a failed check of the target fails the test.
// Given file names, it replays those instead (to reproduce an input a fuzz run kept).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    const std::filesystem::path folder(SC_SEED_DIR);
    std::vector<std::filesystem::path> seeds(argv + 1, argv + argc);
    std::error_code error;
    if (seeds.empty()) {
        for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
            if (entry.is_regular_file())
                seeds.push_back(entry.path());
        }
    }
    if (error || seeds.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", folder.string().c_str());
        return 1;
    }
    std::sort(seeds.begin(), seeds.end());
    LLVMFuzzerInitialize(&argc, &argv);
    for (const auto &seed : seeds) {
        std::ifstream file(seed, std::ios::binary);
        if (!file) {
            // A seed that cannot be read would pass as an empty input.
            std::fprintf(stderr, "cannot read the seed %s\n", seed.string().c_str());
            return 1;
        }
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu seeds of %s replayed\n", seeds.size(), folder.filename().string().c_str());
    return 0;
}
