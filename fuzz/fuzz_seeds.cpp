// Writes the seed inputs of fuzz_frames (frames with right CRCs) into a folder.
#include <cstdio>
#include <fstream>
#include <string>

#include "FuzzLink.h"

int main(int argc, char** argv) {
    if (argc != 2) return std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n"), 2;
    int n = 0;
    for (const auto& seed : FuzzLink::seeds()) {
        std::ofstream file(std::string(argv[1]) + "/seed" + std::to_string(n++),
                           std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(seed.data()),
                   static_cast<std::streamsize>(seed.size()));
        if (!file) return std::fprintf(stderr, "cannot write %s\n", argv[1]), 1;
    }
    return 0;
}
