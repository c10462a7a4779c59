// Block text drawn for real by Mesa and read back: where the greetings'
// glyphs land on the 640x480 screen.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "font/blocktext.h"
#include "font/font.h"
#include "tests/support/gl_window.h"

namespace {

using glwindow::Rgb;

// Window pixel coordinate of eye-space x (or y) at eye-space depth z, with
// the show's projection: 60 degree vertical field of view, aspect 4:3.
double windowX(double x, double z) { return 320 + x / -z / std::tan(3.14159265358979 / 6) * 240; }
double windowY(double y, double z) { return 240 + y / -z / std::tan(3.14159265358979 / 6) * 240; }

bool lit(Rgb p) { return p.r != 0 || p.g != 0 || p.b != 0; }

// Every texel of glyph 'A' present and yellow; the text is placed in eye
// space, as the greetings place it.
void beginText() {
    std::memset(demo::glyphTable, 0, sizeof demo::glyphTable);
    for (auto& row : demo::glyphTable[int('A')])
        for (auto& texel : row)
            texel = {255, 245, 155, 1};
    glwindow::clearAll(0, 0, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
}

TEST(BlockTextRender, TheFirstGreetingGlyphCoversItsCellAndNothingElse) {
    REQUIRE_GL_WINDOW();
    beginText();
    demo::drawGlyph(-12, -5, -20, 0.4f, 0.5f, 0.5f, 'A');
    const auto pixels = glwindow::readPixels();

    // The cell spans x -12.8..-11.2, y -6..-4, z -20.125..-19.875: its front
    // face, and beyond it the right and top faces turned towards the eye.
    const double front = -19.875, back = -20.125;
    const double left = windowX(-12.8, front), right = windowX(-11.2, front);
    const double bottom = windowY(-6, front), top = windowY(-4, front);
    const double outerRight = windowX(-11.2, back), outerTop = windowY(-4, back);
    EXPECT_NEAR(left, 53, 1);  // about 53 pixels from the left edge
    EXPECT_NEAR(bottom, 115, 1);
    EXPECT_NEAR(outerTop, 157, 1);  // rows 115 to 157

    // Pixels wholly inside the front face must be lit, and pixels wholly
    // outside the cell's outline dark.
    int inside = 0, unlitInside = 0, outside = 0, frontColoured = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const Rgb p = glwindow::pixel(pixels, x, y);
            if (x >= left && x + 1 <= right && y >= bottom && y + 1 <= top) {
                ++inside;
                unlitInside += !lit(p);
                // The front face of each box: yellow x (0.9, 0.9, 0.85).
                frontColoured += std::abs(p.r - 0.9 * 255) <= 1.5 &&
                                 std::abs(p.g - 0.9 * 245) <= 1.5 &&
                                 std::abs(p.b - 0.85 * 155) <= 1.5;
            } else if (x + 1 <= left || x >= outerRight || y + 1 <= bottom || y >= outerTop) {
                outside += lit(p);
            }
        }
    }
    EXPECT_GT(inside, 30 * 40);
    EXPECT_EQ(unlitInside, 0) << "unlit pixels inside the cell's front face";
    EXPECT_EQ(outside, 0) << "lit pixels outside the cell";
    EXPECT_GT(frontColoured, inside / 2);
}

TEST(BlockTextRender, ALongestGreetingEndsAbout461PixelsFromTheLeft) {
    REQUIRE_GL_WINDOW();
    beginText();
    demo::drawText(-12, -5, -20, 0.4f, 0.5f, 0.5f, 1.2f, "AAAAAAAAAAAAAAAA");
    const auto pixels = glwindow::readPixels();
    int first = 640, last = -1;
    for (int x = 0; x < 640; ++x) {
        if (lit(glwindow::pixel(pixels, x, 136))) {
            first = std::min(first, x);
            last = x;
        }
    }
    // A pixel is lit when its centre lies inside: the first cell's left
    // edge at the front face, and the last cell's right edge (6.8 there;
    // boxes right of the eye turn their right faces away).
    const double leftEdge = windowX(-12.8, -19.875), rightEdge = windowX(6.8, -19.875);
    EXPECT_EQ(first, int(std::ceil(leftEdge - 0.5)));
    EXPECT_EQ(last, int(std::floor(rightEdge - 0.5)));
    EXPECT_NEAR(last, 461, 1);
}

}  // namespace
