// Scene 5 drawn for real by Mesa: the greeting shows only in its strip of
// window rows 100 to 179, and in front of the cubes although it lies far
// behind them.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "font/font.h"
#include "scenes/random.h"
#include "scenes/scenes.h"
#include "tests/support/gl_window.h"

namespace {

using glwindow::Rgb;

// Every glyph a solid block of pure green texels, a colour no cube, stripe or
// background of the scene can take; or every glyph empty.
void fillGlyphs(bool present) {
    for (auto& glyph : demo::glyphTable)
        for (auto& row : glyph)
            for (demo::GlyphTexel& t : row)
                t = present ? demo::GlyphTexel{0, 255, 0, 1} : demo::GlyphTexel{0, 0, 0, 0};
}

std::vector<Rgb> drawFrame(int elapsedMs, bool withText) {
    fillGlyphs(withText);
    demo::setRandState(1);
    demo::scene5(elapsedMs);
    return glwindow::readPixels();
}

bool isText(Rgb p) { return p.r == 0 && p.b == 0 && p.g >= 100; }

// Neither the white background nor a stripe's tint: a cube.
bool isCube(Rgb p) {
    const float tints[6][3] = {{1, 1, 1},           {0.8f, 0.8f, 0.99f}, {0.7f, 0.8f, 0.99f},
                               {0.8f, 0.8f, 0.89f}, {0.8f, 0.7f, 0.99f}, {0.9f, 0.7f, 0.85f}};
    for (const auto& t : tints) {
        if (std::abs(p.r - t[0] * 255) <= 1 && std::abs(p.g - t[1] * 255) <= 1 &&
            std::abs(p.b - t[2] * 255) <= 1)
            return false;
    }
    return true;
}

TEST(GreetingsRender, GreetingShowsOnlyInItsStripAndInFrontOfTheCubes) {
    REQUIRE_GL_WINDOW();
    // At 4 s the shell's cubes pass through the strip, far nearer the eye than the text.
    const auto without = drawFrame(4000, false);
    const auto with = drawFrame(4000, true);
    int text = 0, covered = 0, changedOutside = 0;
    int low = 480, high = -1, left = 640;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const Rgb p = glwindow::pixel(with, x, y);
            const bool inStrip = y >= 100 && y <= 179;
            if (!inStrip && !(p == glwindow::pixel(without, x, y))) ++changedOutside;
            if (!isText(p)) continue;
            ++text;
            low = std::min(low, y);
            high = std::max(high, y);
            left = std::min(left, x);
            if (isCube(glwindow::pixel(without, x, y))) ++covered;
        }
    }
    if (changedOutside > 0 || covered < 5000) glwindow::writePpm(with, "greetings_render_test.ppm");
    EXPECT_EQ(changedOutside, 0) << "the greeting changed pixels outside its strip";
    EXPECT_GT(text, 5000);
    // Glyph cells span about rows 115 to 157 and start about 53 pixels in.
    EXPECT_GE(low, 112);
    EXPECT_LE(high, 160);
    EXPECT_NEAR(left, 53, 3);
    // Cubes much nearer the eye than the text are covered by it: the strip's
    // depth was cleared before the text was drawn.
    EXPECT_GT(covered, 5000);
}

}  // namespace
