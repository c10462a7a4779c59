// The font image writer, run by the build: draws the glyph sheet into the
// 256x64 font image the show reads at start-up and writes it as a TGA file.
//
// Usage: font_writer OUTPUT.tga
//
// The file is exactly the layout font loading accepts: an uncompressed
// colour-mapped TGA (type 1) without an identification field, a colour map of
// 256 entries of 24 bits, 8 bits per pixel, 256x64 pixels stored bottom row
// first; 17170 bytes. Character code i sits in the 8x8 cell at cell column
// i mod 32, cell row i div 32 from the top. Index 1 is the background (no
// texel), index 0 the blue shadow, index 2 the pale yellow body; the colour
// map holds the colours the show gives those indices, so any image viewer
// shows the font as the show draws it. Codes without a picture stay empty.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "assets/font/glyph_sheet.h"

namespace demo {

namespace {

constexpr int imageWidth = 256;
constexpr int imageHeight = 64;
constexpr unsigned char blueIndex = 0;
constexpr unsigned char emptyIndex = 1;
constexpr unsigned char yellowIndex = 2;

// The colour-map index of every pixel, picture row 0 at the top.
unsigned char image[imageHeight][imageWidth];

// A mistyped picture row would shift every glyph after it: refuse the sheet
// unless every row has exactly the documented shape.
bool sheetIsWellFormed() {
    for (int band = 0; band < glyphSheetBands; ++band) {
        for (int row = 0; row < 8; ++row) {
            const char* text = glyphSheet[band][row];
            if (std::strlen(text) != std::size_t(glyphSheetRowLength)) {
                std::fprintf(stderr, "font_writer: glyph band %d, row %d is not %d characters\n",
                             band, row, glyphSheetRowLength);
                return false;
            }
            for (int i = 0; i < glyphSheetRowLength; ++i) {
                const bool separator = i % 9 == 8;
                const bool valid = separator ? text[i] == ' ' : text[i] == '#' || text[i] == '.';
                if (!valid) {
                    std::fprintf(stderr,
                                 "font_writer: glyph band %d, row %d has '%c' at position %d\n",
                                 band, row, text[i], i);
                    return false;
                }
            }
        }
    }
    return true;
}

// Whether the picture of code has body at (row, column); outside the cell
// there is none.
bool isBody(int code, int row, int column) {
    if (row < 0 || column < 0) return false;
    const int n = code - glyphSheetFirstCode;
    const char* text = glyphSheet[n / glyphSheetBandCodes][row];
    return text[(n % glyphSheetBandCodes) * 9 + column] == '#';
}

// Every pictured glyph into its cell: the body yellow, then a blue drop
// shadow one pixel right and down wherever the body leaves room.
void drawSheet() {
    std::memset(image, emptyIndex, sizeof image);
    const int lastCode = glyphSheetFirstCode + glyphSheetBands * glyphSheetBandCodes - 1;
    for (int code = glyphSheetFirstCode; code <= lastCode; ++code) {
        const int top = 8 * (code / 32);
        const int left = 8 * (code % 32);
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 8; ++column) {
                unsigned char index = emptyIndex;
                if (isBody(code, row, column))
                    index = yellowIndex;
                else if (isBody(code, row - 1, column - 1))
                    index = blueIndex;
                image[top + row][left + column] = index;
            }
        }
    }
}

// Writes the image as a TGA file at path; false with errno set on failure.
bool writeImage(const char* path) {
    // clang-format off
    const unsigned char header[18] = {
        0,                 // no identification field
        1,                 // a colour map follows
        1,                 // uncompressed, colour-mapped
        0, 0, 0, 1, 24,    // colour map: from index 0, 256 entries of 24 bits
        0, 0, 0, 0,        // x and y origin
        0, 1, 64, 0,       // 256 x 64 pixels
        8,                 // bits per pixel
        0,                 // bottom row first, from the left
    };
    // clang-format on
    // Colour-map entries are stored blue, green, red.
    unsigned char colourMap[256][3];
    for (auto& entry : colourMap) {
        entry[0] = 155;
        entry[1] = 245;
        entry[2] = 255;
    }
    const unsigned char blue[3] = {230, 60, 60};
    const unsigned char black[3] = {0, 0, 0};
    std::memcpy(colourMap[blueIndex], blue, 3);
    std::memcpy(colourMap[emptyIndex], black, 3);

    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(header, sizeof header, 1, file) == 1 &&
              std::fwrite(colourMap, sizeof colourMap, 1, file) == 1;
    for (int storedRow = 0; ok && storedRow < imageHeight; ++storedRow)
        ok = std::fwrite(image[imageHeight - 1 - storedRow], imageWidth, 1, file) == 1;
    const int writeError = errno;
    if (std::fclose(file) != 0 && ok) return false;
    errno = writeError;
    return ok;
}

}  // namespace

}  // namespace demo

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: font_writer OUTPUT.tga\n");
        return 2;
    }
    if (!demo::sheetIsWellFormed()) return 1;
    demo::drawSheet();

    // Written beside the target and renamed over it, so that a failed run
    // never leaves a half-written image that looks up to date.
    char partPath[4096];
    if (std::snprintf(partPath, sizeof partPath, "%s.part", argv[1]) >= int(sizeof partPath)) {
        std::fprintf(stderr, "font_writer: %s: path too long\n", argv[1]);
        return 1;
    }
    if (!demo::writeImage(partPath) || std::rename(partPath, argv[1]) != 0) {
        std::fprintf(stderr, "font_writer: cannot write %s: %s\n", argv[1], std::strerror(errno));
        std::remove(partPath);
        return 1;
    }
    return 0;
}
