// Fuzz target: font loading. Each input is written to a file and read with
// readFontImage, as start-up reads "fontpre.tga".
//
// What must hold for every input: no crash and no sanitizer report; a
// refused file leaves glyphTable exactly as it was and says why; an accepted
// file is at least 17170 bytes long and every texel of glyphTable is the one
// its pixel byte names (0 blue, 1 empty, anything else pale yellow), with the
// cell of code i at cell column i mod 32, cell row i div 32 from the top.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "font/font.h"

namespace {

char path[] = "/tmp/demo-font-fuzz-XXXXXX";
bool pathMade = false;

// A pattern no font image can produce: every texel's present flag is 7.
void fillSentinel() { std::memset(demo::glyphTable, 7, sizeof demo::glyphTable); }

bool sentinelIntact() {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(demo::glyphTable);
    for (std::size_t i = 0; i < sizeof demo::glyphTable; ++i) {
        if (bytes[i] != 7) return false;
    }
    return true;
}

bool texelMatches(const demo::GlyphTexel& t, unsigned char index) {
    if (index == 0) return t.red == 60 && t.green == 60 && t.blue == 230 && t.present == 1;
    if (index == 1) return t.red == 0 && t.green == 0 && t.blue == 0 && t.present == 0;
    return t.red == 255 && t.green == 245 && t.blue == 155 && t.present == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!pathMade) {
        const int fd = mkstemp(path);
        if (fd < 0) std::abort();
        close(fd);
        std::atexit([] { unlink(path); });
        pathMade = true;
    }
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    fillSentinel();
    std::string problem = "not cleared";
    const bool accepted = demo::readFontImage(path, problem);
    if (!accepted) {
        if (problem.empty() || problem == "not cleared" || !sentinelIntact()) std::abort();
        return 0;
    }
    if (!problem.empty() || size < 17170) std::abort();
    const std::uint8_t* pixels = data + 786;
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 8; ++j) {
            for (int k = 0; k < 8; ++k) {
                const int row = 63 - 8 * (i / 32) - j, column = 8 * (i % 32) + k;
                if (!texelMatches(demo::glyphTable[i][j][k], pixels[row * 256 + column]))
                    std::abort();
            }
        }
    }
    return 0;
}
