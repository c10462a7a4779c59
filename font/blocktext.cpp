// Block text: each present texel of a glyph becomes one drawBox, sent afresh
// on every call (at most 64 boxes per character, nothing cached); no rand()
// calls. Leaves the matrix stack, and all other GL state, as it found them.
#include "font/blocktext.h"

#include <GL/gl.h>

#include "font/font.h"
#include "geometry/boxes.h"

namespace demo {

void drawGlyph(float x, float y, float z, float sx, float sy, float sz, unsigned char code) {
    glPushMatrix();
    glTranslatef(x, y, z);
    glScalef(sx * 0.25, sy * 0.25, sz * 0.25);
    for (int j = 0; j < 8; ++j) {
        for (int k = 0; k < 8; ++k) {
            const GlyphTexel& texel = glyphTable[code][j][k];
            if (!texel.present) continue;
            // NOTE: bytes / 256, not / 255: full yellow is 0.99609375.
            drawBox(-7 + 2 * k, 7 - 2 * j, 0, 2, 2, 2, texel.red * 0.00390625,
                    texel.green * 0.00390625, texel.blue * 0.00390625);
        }
    }
    glPopMatrix();
}

void drawText(float x, float y, float z, float sx, float sy, float sz, float advance,
              const char* text) {
    // Each position is computed afresh from i, never accumulated.
    for (int i = 0; text[i] != '\0'; ++i) {
        drawGlyph(x + double(i) * advance, y, z, sx, sy, sz, static_cast<unsigned char>(text[i]));
    }
}

}  // namespace demo
