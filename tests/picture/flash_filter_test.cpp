// The reduced-flashing filter drawn for real by Mesa and read back: the
// first frame shown as drawn, each later one moved part of the way by the
// clock and at least one step, arriving exactly; the scaling shows the
// filter's picture while it is open and the frame once it is closed; a
// frame's GL state is left alone.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "picture/flash_filter.h"
#include "picture/flash_filter_shader.h"
#include "picture/picture_target.h"
#include "tests/support/gl_window.h"

namespace {

// The red of the middle pixel of a framebuffer of the picture's size.
int middleRed(unsigned framebuffer) {
    const int red = glwindow::pixel(glwindow::readFramebuffer(framebuffer, 640, 480), 320, 240).r;
    demo::bindPictureTarget();
    return red;
}

// A frame of one grey drawn, then passed through the filter at clockMs;
// what the filter shows then.
int filtered(float grey, int clockMs) {
    glwindow::clearAll(grey, grey, grey);
    demo::filterPicture(clockMs);
    return middleRed(demo::filteredPicture()->framebuffer);
}

TEST(FlashFilter, TheShownPictureFollowsTheFramesByTheClockAndArrives) {
    REQUIRE_GL_WINDOW();
    std::string error;
    ASSERT_TRUE(demo::openFlashFilter(error)) << error;
    EXPECT_EQ(filtered(0, 1000), 0) << "the first frame as drawn";
    // A quarter of a second on, 1 - 1/e of the way to white; no time on, one
    // step more.
    const double share = 1 - std::exp(-0.25 / demo::flashFilterSeconds);
    EXPECT_NEAR(filtered(1, 1250), 255 * share, 1);
    const int reached = filtered(1, 1250);
    EXPECT_NEAR(reached, 255 * share + 1, 1.5);
    // Frame after frame, white exactly: never a step short.
    int clockMs = 1250, shown = 0;
    for (int frame = 0; frame < 240; ++frame)
        shown = filtered(1, clockMs += 16);
    EXPECT_EQ(shown, 255);

    // The scaling shows the filter's picture, not the frame drawn since.
    glwindow::clearAll(0, 0, 0);
    demo::OffscreenTarget output;
    ASSERT_TRUE(demo::makeOffscreenTarget(output, 640, 480, false));
    demo::scalePicture(output.framebuffer, 640, 480);
    EXPECT_EQ(middleRed(output.framebuffer), 255);
    // Closed, the frame itself again.
    demo::closeFlashFilter();
    EXPECT_EQ(demo::filteredPicture(), nullptr);
    demo::scalePicture(output.framebuffer, 640, 480);
    EXPECT_EQ(middleRed(output.framebuffer), 0);
    demo::releaseOffscreenTarget(output);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(FlashFilter, LeavesTheFramesStateAndThePictureTargetBound) {
    REQUIRE_GL_WINDOW();
    std::string error;
    ASSERT_TRUE(demo::openFlashFilter(error)) << error;
    glwindow::clearAll(0.5f, 0.5f, 0.5f);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glViewport(1, 2, 3, 4);
    demo::filterPicture(0);
    GLint drawn = 0, program = -1, viewport[4] = {};
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(unsigned(drawn), demo::pictureFramebuffer());
    EXPECT_EQ(program, 0);
    EXPECT_EQ((std::array<GLint, 4>{viewport[0], viewport[1], viewport[2], viewport[3]}),
              (std::array<GLint, 4>{1, 2, 3, 4}));
    for (GLenum test : {GL_SCISSOR_TEST, GL_DEPTH_TEST, GL_BLEND})
        EXPECT_TRUE(glIsEnabled(test)) << test;
    for (GLenum test : {GL_SCISSOR_TEST, GL_DEPTH_TEST, GL_BLEND})
        glDisable(test);
    glViewport(0, 0, 640, 480);
    demo::closeFlashFilter();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
