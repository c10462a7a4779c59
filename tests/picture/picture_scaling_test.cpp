// The picture target scaled onto outputs of other sizes, drawn for real by
// Mesa and read back: where the picture lands, that it is scaled sharply
// (tests/support/sharp_scaling.h works out the rule on the CPU), and that the
// pass leaves a frame's GL state alone.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "scenes/frame.h"
#include "scenes/random.h"
#include "scenes/scenes.h"
#include "picture/picture_target.h"
#include "tests/support/gl_window.h"
#include "tests/support/sharp_scaling.h"

namespace {

using testsupport::Rect;
using testsupport::RgbImage;

void expectFit(int width, int height, demo::PictureFit expected) {
    const demo::PictureFit fit = demo::fitPicture(width, height);
    EXPECT_EQ((std::array<int, 5>{fit.x, fit.y, fit.width, fit.height, fit.wholeScale}),
              (std::array<int, 5>{expected.x, expected.y, expected.width, expected.height,
                                  expected.wholeScale}))
        << width << "x" << height;
}

TEST(PictureFit, IsTheLargestCentredRectangleOfThePicturesShapeWithItsWholeScale) {
    expectFit(1920, 1080, {240, 0, 1440, 1080, 2});  // pillarbox
    expectFit(1280, 1024, {0, 32, 1280, 960, 2});    // letterbox
    expectFit(640, 480, {0, 0, 640, 480, 1});
    expectFit(3840, 2160, {480, 0, 2880, 2160, 4});
    expectFit(1366, 768, {171, 0, 1024, 768, 1});  // odd bars: the extra pixel on the right
    expectFit(1280, 800, {107, 0, 1066, 800, 1});  // sides rounded down
    expectFit(320, 240, {0, 0, 320, 240, 1});      // smaller than the picture
    expectFit(1920, 0, {0, 0, 0, 0, 1});           // a minimised window
    expectFit(0, 0, {0, 0, 0, 0, 1});
}

RgbImage imageOf(const std::vector<glwindow::Rgb>& pixels, int width, int height) {
    RgbImage image(width, height);
    std::memcpy(image.rgb.data(), pixels.data(), image.rgb.size());
    return image;
}

Rect rectOf(int width, int height) {
    const demo::PictureFit fit = demo::fitPicture(width, height);
    return {fit.x, fit.y, fit.width, fit.height};
}

std::array<int, 3> colourAt(const RgbImage& image, int x, int y) {
    const std::uint8_t* p = image.at(x, y);
    return {p[0], p[1], p[2]};
}

class PictureScaling : public ::testing::Test {
protected:
    void SetUp() override {
        const char* why = nullptr;
        if (!glwindow::open(&why)) GTEST_SKIP() << why;
    }

    // The frame in the picture target.
    static RgbImage picture() { return imageOf(glwindow::readPixels(), 640, 480); }

    // The frame in the picture target scaled onto a new output of that size.
    static RgbImage scaledTo(int width, int height) {
        demo::OffscreenTarget output;
        EXPECT_TRUE(demo::makeOffscreenTarget(output, width, height, false));
        demo::bindPictureTarget();
        demo::scalePicture(output.framebuffer, width, height);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        RgbImage image =
            imageOf(glwindow::readFramebuffer(output.framebuffer, width, height), width, height);
        demo::releaseOffscreenTarget(output);
        demo::bindPictureTarget();
        return image;
    }

    // Compares a scaled frame with the rule; leaves both pictures to look at
    // when they differ.
    static void expectScaledByTheRule(const RgbImage& actual, const RgbImage& frame, int tolerance,
                                      const std::string& name) {
        const Rect rect = rectOf(actual.width, actual.height);
        const RgbImage expected =
            testsupport::sharpScaled(frame, actual.width, actual.height, rect);
        const testsupport::ImageDifference d =
            testsupport::compareImages(actual, expected, tolerance);
        EXPECT_EQ(d.differing, 0) << name << ": first at (" << d.firstX << ", " << d.firstY
                                  << "), largest difference " << d.largest << "; see " << name
                                  << "-{actual,expected}.ppm";
        EXPECT_TRUE(testsupport::blackOutside(actual, rect)) << name;
        if (d.differing != 0) {
            testsupport::writePpm(actual, name + "-actual.ppm");
            testsupport::writePpm(expected, name + "-expected.ppm");
        }
    }
};

// White, with a red panel, one-pixel lines, coloured borders and a
// checkerboard of single pixels: edges at every kind of place.
void drawPattern() {
    glEnable(GL_SCISSOR_TEST);
    demo::clearRect(0, 0, 640, 480, 1, 1, 1);
    demo::clearRect(100, 50, 200, 100, 1, 0, 0);
    demo::clearRect(400, 0, 1, 480, 0, 0.5f, 0);
    demo::clearRect(0, 300, 640, 1, 0, 0, 1);
    demo::clearRect(0, 0, 1, 480, 1, 1, 0);
    demo::clearRect(639, 0, 1, 480, 0, 1, 1);
    demo::clearRect(0, 0, 640, 1, 1, 0, 1);
    demo::clearRect(0, 479, 640, 1, 0.5f, 0.5f, 0.5f);
    for (int y = 400; y < 416; ++y) {
        for (int x = 500 + (y & 1); x < 516; x += 2)
            demo::clearRect(x, y, 1, 1, 0, 0, 0);
    }
    glDisable(GL_SCISSOR_TEST);
}

TEST_F(PictureScaling, APatternFillsThePillarboxOfAWideScreenSharply) {
    drawPattern();
    const RgbImage frame = picture();
    const RgbImage wide = scaledTo(1920, 1080);
    // 2.25 times: twice by nearest neighbour, then linearly. A channel may
    // round one or two steps differently from the rule's exact arithmetic.
    expectScaledByTheRule(wide, frame, 2, "pattern-1920x1080");

    // The picture's first and last columns are the rectangle's, and the red
    // panel's edges (picture columns 100 and 299, row 100) land on 2.25 times
    // their places, within one pixel of blending.
    using C = std::array<int, 3>;
    EXPECT_EQ(colourAt(wide, 239, 540), (C{0, 0, 0}));
    EXPECT_EQ(colourAt(wide, 240, 540), (C{255, 255, 0}));
    EXPECT_EQ(colourAt(wide, 1679, 540), (C{0, 255, 255}));
    EXPECT_EQ(colourAt(wide, 1680, 540), (C{0, 0, 0}));
    EXPECT_EQ(colourAt(wide, 240 + 223, 226), (C{255, 255, 255}));
    EXPECT_EQ(colourAt(wide, 240 + 226, 226), (C{255, 0, 0}));
    EXPECT_EQ(colourAt(wide, 240 + 673, 226), (C{255, 0, 0}));
    EXPECT_EQ(colourAt(wide, 240 + 676, 226), (C{255, 255, 255}));

    // A 4K screen: 4.5 times, four by nearest neighbour.
    expectScaledByTheRule(scaledTo(3840, 2160), frame, 2, "pattern-3840x2160");
}

TEST_F(PictureScaling, WholeScalesAreExactlyNearestNeighbourAndSizeOneIsTheFrameItself) {
    drawPattern();
    const RgbImage frame = picture();
    // 5:4: letterboxed, exactly twice.
    expectScaledByTheRule(scaledTo(1280, 1024), frame, 0, "pattern-1280x1024");
    const RgbImage same = scaledTo(640, 480);
    EXPECT_TRUE(same.rgb == frame.rgb) << "640x480 is not 1:1";
    // Smaller than the picture: linear only, still inside its rectangle.
    expectScaledByTheRule(scaledTo(400, 400), frame, 2, "pattern-400x400");
}

TEST_F(PictureScaling, FramesOfTheShowScaleByTheSameRule) {
    // Scene 1's first frame is white: the rectangle exactly, black around it.
    demo::setRandState(1);
    demo::scene1(0);
    const RgbImage white = scaledTo(1920, 1080);
    long notWhite = 0;
    for (int y = 0; y < 1080; ++y) {
        for (int x = 240; x < 1680; ++x)
            notWhite += colourAt(white, x, y) != (std::array<int, 3>{255, 255, 255});
    }
    EXPECT_EQ(notWhite, 0);
    EXPECT_TRUE(testsupport::blackOutside(white, {240, 0, 1440, 1080}));

    // Scene 2, with its two scissored panels, on the wide and the 5:4 screen.
    demo::setRandState(1);
    demo::scene2(5000);
    const RgbImage frame = picture();
    expectScaledByTheRule(scaledTo(1920, 1080), frame, 2, "scene2-1920x1080");
    expectScaledByTheRule(scaledTo(1280, 1024), frame, 0, "scene2-1280x1024");
}

TEST_F(PictureScaling, APassWithinAFrameKeepsTheFramesStateAndIsNotClippedByIt) {
    drawPattern();
    const RgbImage frame = picture();

    // State as a scene might leave it, scissor test on around a small box.
    glEnable(GL_SCISSOR_TEST);
    glScissor(10, 20, 30, 40);
    glClearColor(0.25f, 0.5f, 0.75f, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();

    demo::OffscreenTarget output;
    ASSERT_TRUE(demo::makeOffscreenTarget(output, 1920, 1080, false));
    demo::bindPictureTarget();
    demo::scalePicture(output.framebuffer, 1920, 1080);

    GLint box[4], viewport[4], mode = 0, depth = 0, source = 0, draw = 0, read = 0, program = -1;
    GLfloat clear[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ((std::array<GLint, 4>{box[0], box[1], box[2], box[3]}),
              (std::array<GLint, 4>{10, 20, 30, 40}));
    EXPECT_EQ((std::array<GLfloat, 4>{clear[0], clear[1], clear[2], clear[3]}),
              (std::array<GLfloat, 4>{0.25f, 0.5f, 0.75f, 1}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(source, GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(program, 0) << "the scaling program was left in use";
    EXPECT_EQ((std::array<GLint, 4>{viewport[0], viewport[1], viewport[2], viewport[3]}),
              (std::array<GLint, 4>{0, 0, 640, 480}));
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(depth, 2);
    // The output is left bound, for the swap or the read-back.
    EXPECT_EQ(GLuint(draw), output.framebuffer);
    EXPECT_EQ(GLuint(read), output.framebuffer);

    // The whole output was written, bars and all.
    glDisable(GL_SCISSOR_TEST);
    const RgbImage wide =
        imageOf(glwindow::readFramebuffer(output.framebuffer, 1920, 1080), 1920, 1080);
    expectScaledByTheRule(wide, frame, 2, "scissored-1920x1080");

    // A minimised window's height of 0 draws nothing and raises no error.
    demo::bindPictureTarget();
    demo::scalePicture(0, 1920, 0);
    demo::scalePicture(0, 0, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    demo::releaseOffscreenTarget(output);
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glBlendFunc(GL_ONE, GL_ZERO);
    glClearColor(0, 0, 0, 0);
}

}  // namespace
