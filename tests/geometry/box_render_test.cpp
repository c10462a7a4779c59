// Boxes drawn for real by Mesa and read back: what the standard camera sees.
#include <GL/glu.h>
#include <cmath>
#include <gtest/gtest.h>

#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "tests/support/gl_window.h"

namespace {

using glwindow::Rgb;

// Opens the frame as the scenes do, on a black background.
void beginFrame() {
    REQUIRE_GL_WINDOW();
    glwindow::clearAll(0, 0, 0);
    demo::setStandardCamera();
}

// Window pixel column for eye-space x at the depth of a box face at z (world,
// camera at z = 3): the projection of a 60 degree field of view.
int column(double x, double z) {
    return int(320 + x / (3 - z) / std::tan(3.14159265358979 / 6) * 240);
}

// Colours within one step per channel of (r, g, b) x 255: Mesa may round
// a product like 0.7 x 255 = 178.5 either way.
bool near(Rgb p, double r, double g, double b) {
    return std::abs(p.r - r * 255) <= 1 && std::abs(p.g - g * 255) <= 1 &&
           std::abs(p.b - b * 255) <= 1;
}

int countNear(const std::vector<Rgb>& pixels, double r, double g, double b) {
    int n = 0;
    for (const Rgb& p : pixels)
        n += near(p, r, g, b);
    return n;
}

TEST(BoxRender, UnitBoxShowsOnlyItsWarmFrontFace) {
    beginFrame();
    demo::drawBox(0, 0, 0, 1, 1, 1, 1, 1, 1);
    const auto pixels = glwindow::readPixels();
    EXPECT_TRUE(near(glwindow::pixel(pixels, 320, 240), 0.9, 0.9, 0.85));
    // The face spans -0.5..0.5 at z = 0.5, 2.5 units from the eye.
    const int left = column(-0.5, 0.5), right = column(0.5, 0.5);
    EXPECT_TRUE(near(glwindow::pixel(pixels, left + 2, 240), 0.9, 0.9, 0.85));
    EXPECT_TRUE(near(glwindow::pixel(pixels, right - 2, 240), 0.9, 0.9, 0.85));
    EXPECT_EQ(glwindow::pixel(pixels, left - 2, 240), (Rgb{0, 0, 0}));
    EXPECT_EQ(glwindow::pixel(pixels, right + 2, 240), (Rgb{0, 0, 0}));
    const int side = right - left;
    const int front = countNear(pixels, 0.9, 0.9, 0.85);
    EXPECT_NEAR(front, side * side, 4 * side);
    EXPECT_EQ(front + countNear(pixels, 0, 0, 0), 640 * 480) << "another face shows";
}

TEST(BoxRender, BoxRightOfTheViewShowsItsLeftFace) {
    beginFrame();
    demo::drawBox(2, 0, 0, 1, 1, 1, 1, 1, 1);
    const auto pixels = glwindow::readPixels();
    EXPECT_GT(countNear(pixels, 0.7, 0.7, 0.75), 100);
}

TEST(BoxRender, NegativeSizeTurnsTheNearFacesAway) {
    beginFrame();
    demo::drawBox(0, 0, 0, 1, 1, -1, 1, 1, 1);
    const auto pixels = glwindow::readPixels();
    // Mirrored in z, every face is wound the other way: the near face (the
    // one coloured as the back) is culled and the box is seen from inside:
    // the front-coloured face at the far side, the +x face to the right.
    EXPECT_EQ(countNear(pixels, 0.6, 0.6, 0.7), 0);
    EXPECT_TRUE(near(glwindow::pixel(pixels, 320, 240), 0.9, 0.9, 0.85));
    const int farRight = column(0.5, -0.5), nearRight = column(0.5, 0.5);
    EXPECT_TRUE(near(glwindow::pixel(pixels, (farRight + nearRight) / 2, 240), 0.8, 0.8, 0.8));
}

TEST(BoxRender, ZeroDepthLeavesOneFlatFace) {
    beginFrame();
    demo::drawBox(0, 0, 0, 1, 1, 0, 1, 1, 1);
    const auto pixels = glwindow::readPixels();
    EXPECT_TRUE(near(glwindow::pixel(pixels, 320, 240), 0.9, 0.9, 0.85));
}

}  // namespace
