// Block text: characters drawn as 8x8 grids of shaded boxes from glyphTable.
//
// In glyph units a glyph is 16 x 16: boxes 2 units wide centred at x = -7,
// -5, ..., 7 and y = 7, 5, ..., -7, each 2 x 2 x 2 on z = 0, scaled by a
// quarter of the size given. A glyph of size (sx, sy, sz) therefore covers
// 4 sx x 4 sy x sz/2 around its centre. Colours are the texel bytes / 256.
//
// GL state: expects GL_MODELVIEW current; leaves the matrix stack as found.
#pragma once

namespace demo {

// One glyph centred on (x, y, z); code is taken as an unsigned byte.
void drawGlyph(float x, float y, float z, float sx, float sy, float sz, unsigned char code);

// A NUL-terminated string, character i centred at x + i * advance. No layout:
// every byte, spaces and line feeds too, is drawn as the glyph of its code.
void drawText(float x, float y, float z, float sx, float sy, float sz, float advance,
              const char* text);

}  // namespace demo
