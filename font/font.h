// The block font: 256 glyphs of 8x8 coloured texels, read once at start-up
// from a 256x64 colour-mapped TGA image ("fontpre.tga").
//
// Pixel index 0 is a blue texel (60, 60, 230), index 1 an empty texel, every
// other index a pale yellow texel (255, 245, 155). The glyph of code i is the
// 8x8 cell at cell column i mod 32 and cell row i div 32 from the top left.
#pragma once

#include <string>

namespace demo {

struct GlyphTexel {
    unsigned char red, green, blue;
    unsigned char present;  // 1: a box is drawn for this texel
};

// Indexed by character code, row (0 = top), column (0 = left). All zero until
// the font is loaded; read-only afterwards.
extern GlyphTexel glyphTable[256][8][8];

// Reads the font image at path into glyphTable and clears problem. Refuses a
// file that is missing, unreadable, shorter than 17170 bytes or not in the
// layout above (an identification field, another image type, colour map,
// size or depth, or rows not stored bottom first from the left): then returns
// false, leaves glyphTable untouched and sets problem to a short description
// of what is wrong with the file (it does not repeat the path). Bytes after
// the first 17170 are ignored.
bool readFontImage(const char* path, std::string& problem);

// The font image's file name, read from the working directory.
constexpr char fontFileName[] = "fontpre.tga";

// Start-up: reads fontFileName from the working directory into glyphTable.
// On failure returns false with what is wrong in problem, as readFontImage;
// the caller reports it, naming the file, and ends the process.
bool loadFont(std::string& problem);

}  // namespace demo
