// Scenes 1 to 3 drawn for real by Mesa and read back.
#include <gtest/gtest.h>

#include <cmath>

#include "scenes/random.h"
#include "scenes/scenes.h"
#include "tests/scenes/signature_model.h"
#include "tests/support/gl_window.h"

namespace {

using glwindow::Rgb;

const Rgb white{255, 255, 255}, black{0, 0, 0};

int countOf(const std::vector<Rgb>& pixels, Rgb colour) {
    int n = 0;
    for (const Rgb& p : pixels)
        n += p == colour;
    return n;
}

// Runs one frame of a scene from a grey screen, the generator at state.
std::vector<Rgb> draw(void (*scene)(int), int elapsedMs, std::uint32_t state) {
    glwindow::clearAll(0.5f, 0.5f, 0.5f);
    demo::setRandState(state);
    scene(elapsedMs);
    return glwindow::readPixels();
}

TEST(ScenesRender, FadingScenesOpenPureWhite) {
    REQUIRE_GL_WINDOW();
    for (auto scene : {demo::scene1, demo::scene3}) {
        const auto pixels = draw(scene, 0, 1);
        EXPECT_EQ(countOf(pixels, white), 640 * 480);
    }
}

TEST(ScenesRender, SignatureIsBlackExactlyWhereTheGeneratorPutsIt) {
    REQUIRE_GL_WINDOW();
    for (std::uint32_t state : {1u, 0x2468aceu}) {
        const auto pixels = draw(demo::scene1, 4000, state);
        const auto rects = signature::expectedRects(state);
        int area = 0;
        std::vector<bool> inside(640 * 480, false);
        for (const auto& r : rects) {
            for (int y = r[1]; y < r[1] + r[3]; ++y) {
                for (int x = r[0]; x < r[0] + r[2]; ++x) {
                    area += !inside[y * 640 + x];
                    inside[y * 640 + x] = true;
                }
            }
        }
        int blackInside = 0, blackOutside = 0;
        for (int i = 0; i < 640 * 480; ++i) {
            if (pixels[i] == black) (inside[i] ? blackInside : blackOutside)++;
        }
        EXPECT_EQ(blackInside, area) << "state " << state;
        EXPECT_EQ(blackOutside, 0) << "state " << state;
        if (HasFailure()) glwindow::writePpm(pixels, "scene1_signature_failure.ppm");
    }
}

TEST(ScenesRender, ShellStaysAroundTheCentreBetweenItsPanels) {
    REQUIRE_GL_WINDOW();
    const std::uint32_t state = 777;
    scriptedrand::Sequence gen{state};
    int p[6];
    for (int& v : p)
        v = gen.nextDraw();
    const auto pixels = draw(demo::scene2, 1800, state);

    // The panels' outer corners lie beyond the shell's reach.
    const Rgb blue{204, 204, 255}, pink{255, 178, 230};  // 0.7f x 255 is just below 178.5
    const int bx = 50 + 2 * p[0] / 5, by = 330 + p[1] / 10;
    const int bw = 360 + p[2] / 10, bh = 114 - (p[2] + 9) / 10;
    EXPECT_EQ(glwindow::pixel(pixels, bx, by + bh - 1), blue);
    EXPECT_EQ(glwindow::pixel(pixels, bx - 1, by + bh - 1), white);
    EXPECT_EQ(glwindow::pixel(pixels, bx, by + bh), white);
    EXPECT_EQ(glwindow::pixel(pixels, bx + bw - 1, by + bh - 1), blue);
    const int px = 450 + p[3] / 10, py = 130 + p[4] / 10;
    const int pw = 60 + 2 * p[5] / 5;
    EXPECT_EQ(glwindow::pixel(pixels, px + pw - 1, py), pink);
    EXPECT_EQ(glwindow::pixel(pixels, px + pw, py), white);
    EXPECT_EQ(glwindow::pixel(pixels, px + pw - 1, py - 1), white);

    // Cubes: every pixel neither background nor panel. The shell reaches at
    // most 1.92 + 0.09 units from its centre, 4 units in front of the eye:
    // within 245 pixels of the screen centre.
    int cubePixels = 0, strayPixels = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const Rgb c = glwindow::pixel(pixels, x, y);
            if (c == white || c == blue || c == pink) continue;
            ++cubePixels;
            strayPixels += std::hypot(x - 319.5, y - 239.5) >= 245;
        }
    }
    EXPECT_GT(cubePixels, 2000);
    EXPECT_EQ(strayPixels, 0);
}

}  // namespace
