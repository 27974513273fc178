// make_scenery ENTRIES FOLDER [--files]: writes a generated control file of ENTRIES entries as
// FOLDER/Bench.ini, with --files also its Scenery folder, for measuring by hand.
#include "bench/generatedscenery.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_scenery ENTRIES FOLDER [--files]\n");
        return 2;
    }
    const bool withFiles = argc > 3 && std::strcmp(argv[3], "--files") == 0;
    const QString path
        = GeneratedScenery::Write(QString::fromLocal8Bit(argv[2]), std::atoi(argv[1]), withFiles);
    std::printf("%s\n", qPrintable(path));
    return 0;
}
