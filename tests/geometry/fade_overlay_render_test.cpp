// The fade-in overlay blended for real by Mesa: k + (1 - k) x the picture.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "scenes/frame.h"
#include "tests/support/gl_window.h"

namespace {

using glwindow::Rgb;

// Every pixel within one step of grey v x 255.
bool allGrey(const std::vector<Rgb>& pixels, double v) {
    for (const Rgb& p : pixels) {
        if (std::abs(p.r - v * 255) > 1 || p.g != p.r || p.b != p.r) return false;
    }
    return true;
}

std::vector<Rgb> overlayOn(float grey, int elapsedMs) {
    glwindow::clearAll(grey, grey, grey);
    demo::setStandardCamera();
    demo::drawFadeOverlay(elapsedMs);
    return glwindow::readPixels();
}

TEST(FadeOverlayRender, BlendsTowardsWhiteByTheTimeLeft) {
    REQUIRE_GL_WINDOW();
    EXPECT_TRUE(allGrey(overlayOn(0, 0), 1)) << "full white at the start";
    EXPECT_TRUE(allGrey(overlayOn(0, 2000), 0.5));
    EXPECT_TRUE(allGrey(overlayOn(0.5f, 2000), 0.75));
    EXPECT_TRUE(allGrey(overlayOn(0.5f, 3000), 0.625));
    EXPECT_TRUE(allGrey(overlayOn(1, 1000), 1));
}

TEST(FadeOverlayRender, DoesNothingFromFourSecondsOn) {
    REQUIRE_GL_WINDOW();
    EXPECT_TRUE(allGrey(overlayOn(0.25f, 4000), 0.25));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(allGrey(overlayOn(0.25f, 3999), 0.25 + 0.75 * 0.00025));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

}  // namespace
