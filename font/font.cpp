// Font loading: turns the 256x64 font image into glyphTable once at start-up,
// so that drawing needs no decoding.
//
// The image is an uncompressed colour-mapped TGA (type 1) without an
// identification field: an 18-byte header, a colour map of 256 entries of
// 24 bits (768 bytes), then 64 rows of 256 one-byte colour-map indices, the
// bottom row of the picture first. 17170 bytes in all. Anything else is
// refused with a description of what is wrong.
#include "font/font.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace demo {

GlyphTexel glyphTable[256][8][8];

namespace {

constexpr int headerBytes = 18;
constexpr int colourMapBytes = 256 * 3;
constexpr int pixelBytes = 256 * 64;
constexpr int fileBytes = headerBytes + colourMapBytes + pixelBytes;  // 17170

int littleEndian16(const unsigned char* p) { return p[0] | (p[1] << 8); }

// Reads up to size bytes, retrying short reads; returns the count read or -1.
long readFully(int fd, unsigned char* buffer, long size) {
    long done = 0;
    while (done < size) {
        const ssize_t n = read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

// What is wrong with an 18-byte TGA header, or "" when it is the font layout.
std::string headerProblem(const unsigned char* h) {
    char text[120];
    if (h[0] != 0) return "has an image identification field; the font image has none";
    if (h[1] != 1 || h[2] != 1) {
        std::snprintf(text, sizeof text,
                      "is not an uncompressed colour-mapped image (colour map type %d, image "
                      "type %d; expected 1 and 1)",
                      h[1], h[2]);
        return text;
    }
    if (littleEndian16(h + 3) != 0 || littleEndian16(h + 5) != 256 || h[7] != 24) {
        std::snprintf(text, sizeof text,
                      "has a colour map of %d entries of %d bits from index %d; expected 256 "
                      "entries of 24 bits from index 0",
                      littleEndian16(h + 5), h[7], littleEndian16(h + 3));
        return text;
    }
    if (littleEndian16(h + 12) != 256 || littleEndian16(h + 14) != 64) {
        std::snprintf(text, sizeof text, "is %dx%d pixels; expected 256x64", littleEndian16(h + 12),
                      littleEndian16(h + 14));
        return text;
    }
    if (h[16] != 8) {
        std::snprintf(text, sizeof text, "has %d bits per pixel; expected 8", h[16]);
        return text;
    }
    // Bits 4 and 5 of the descriptor move the origin away from the bottom
    // left; such an image would be read mirrored or upside down.
    if ((h[17] & 0x30) != 0) return "is not stored bottom row first from the left";
    return "";
}

GlyphTexel texelFor(unsigned char index) {
    if (index == 0) return {60, 60, 230, 1};
    if (index == 1) return {0, 0, 0, 0};
    return {255, 245, 155, 1};
}

}  // namespace

bool readFontImage(const char* path, std::string& problem) {
    // NOTE: without O_NONBLOCK, opening a FIFO would wait for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))) {
        close(fd);
        problem = "is not a regular file";
        return false;
    }
    // A longer file is fine (TGA allows trailing extension data).
    std::vector<unsigned char> file(fileBytes);
    const long got = readFully(fd, file.data(), fileBytes);
    const int readError = errno;
    close(fd);
    if (got < 0) {
        problem = std::string("cannot read: ") + std::strerror(readError);
        return false;
    }
    // A header that is there but wrong says more than the length does.
    problem = got >= headerBytes ? headerProblem(file.data()) : "";
    if (problem.empty() && got < fileBytes) {
        problem = "is " + std::to_string(got) + (got == 1 ? " byte" : " bytes") +
                  " long; a 256x64 font image is " + std::to_string(fileBytes) + " bytes";
    }
    if (!problem.empty()) return false;

    // Cell of code i: cell column i mod 32, cell row i div 32 from the top;
    // stored row 63 is the top row of the picture.
    const unsigned char* pixels = file.data() + headerBytes + colourMapBytes;
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 8; ++j) {
            for (int k = 0; k < 8; ++k) {
                const int storedRow = 63 - 8 * (i / 32) - j;
                glyphTable[i][j][k] = texelFor(pixels[storedRow * 256 + 8 * (i % 32) + k]);
            }
        }
    }
    return true;
}

bool loadFont(std::string& problem) { return readFontImage(fontFileName, problem); }

}  // namespace demo
