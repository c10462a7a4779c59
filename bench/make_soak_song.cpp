// Writes the soak run's module (soak_song.h) for bench/soak.sh.
//
// Usage: make-soak-song <path of the module to write>
#include <cstdio>
#include <string>

#include "bench/soak_song.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-soak-song <module path>\n");
        return 2;
    }
    std::string error;
    if (!demo::writeModule(bench::composeSoakSong(), argv[1], error)) {
        std::fprintf(stderr, "make-soak-song: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
