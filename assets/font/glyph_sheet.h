// The glyph pictures of the block font, as the font image writer reads them.
//
// The sheet holds codes 32 to 127 in 12 bands of 8 glyphs; band b holds the
// codes 32 + 8b to 39 + 8b side by side. Each band is 8 strings, one per
// pixel row from the top of the glyphs, each 71 characters: the 8 glyphs'
// rows of 8 pixels ('#' body, '.' empty), separated by one space. The writer
// gives every body pixel the pale yellow and adds the blue shadow itself: a
// drop shadow one pixel right and one pixel down from the body, wherever the
// body leaves room inside the glyph's 8x8 cell.
//
// Layout of the pictures: capitals and digits stand on row 6 with their body
// in columns 0 to 5 (M, W and & reach column 6); lower-case letters have an
// x-height from row 2 to row 6, descenders down to row 7, and their body in
// columns 0 to 4, so that with the shadow they stay within columns 0 to 5.
// The greetings draw words at three quarters of a cell per character, where
// columns 6 and 7 of each cell fall on the next character.
#pragma once

namespace demo {

constexpr int glyphSheetFirstCode = 32;
constexpr int glyphSheetBands = 12;
constexpr int glyphSheetBandCodes = 8;
constexpr int glyphSheetRowLength = glyphSheetBandCodes * 9 - 1;  // 71

extern const char* const glyphSheet[glyphSheetBands][8];

}  // namespace demo
