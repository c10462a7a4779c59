// make-song: writes the show's song and the short test module.
//
//   make-song <song path> <test module path>
//
// Exits 0 when both files are written, 1 with a message otherwise.
#include <cstdio>
#include <string>

#include "assets/song/song.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-song <song path> <test module path>\n");
        return 1;
    }
    std::string error;
    if (!demo::writeModule(demo::composeSong(), argv[1], error)) {
        std::fprintf(stderr, "make-song: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (!demo::writeModule(demo::composeTestModule(), argv[2], error)) {
        std::fprintf(stderr, "make-song: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    return 0;
}
