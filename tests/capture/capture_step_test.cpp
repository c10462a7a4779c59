// The per-frame step every shell shares, run through a platform of the
// capture's kind: a clock and a music position set by the test, and an end
// that only takes note instead of ending the process.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "show/platform.h"
#include "show/sequencer.h"
#include "desktop/desktop_shell.h"
#include "tests/support/fake_music.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

int virtualNow = 0;
std::uint32_t position = 0;
int ends = 0;

const demo::Platform virtualPlatform = {[] { return virtualNow; }, [] { return position; },
                                        [] { glutSwapBuffers(); }, [] { ++ends; }};

class CaptureStep : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        fakemusic::reset();
        demo::usePlatform(virtualPlatform);
        virtualNow = 0;
        position = 0;
        ends = 0;
        demo::startShow();
    }
    void TearDown() override { demo::usePlatform(demo::desktopPlatform); }
};

TEST_F(CaptureStep, TheQuitRowEndsTheShowThroughThePlatformAndDrawsNothing) {
    // Orders 2, 4, ..., 10 take the sequencer to the last scene's row.
    for (std::uint32_t order = 2; order <= 10; order += 2)
        demo::advanceSequencer(order);
    virtualNow = 7000;
    glrec::reset();
    // Order 12, row 3: the sequencer enters the quit row and ends the show;
    // nothing is drawn, GLUT's clock is never read and the music layer is
    // not touched.
    position = (3u << 16) | 12u;
    demo::displayFrame();
    EXPECT_EQ(demo::sequencer().sceneIndex, demo::quitRow);
    EXPECT_EQ(demo::sequencer().sceneStartMs, 7000);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(glrec::callCount(), 0u);
    EXPECT_TRUE(fakemusic::calls().empty());
}

TEST_F(CaptureStep, ASceneRowDrawsOneFrameOnThePlatformsClock) {
    // Scene 1 at 1234 ms: the fade overlay's grey is (4000 - 1234) * 0.00025.
    virtualNow = 1234;
    position = 1;
    demo::displayFrame();
    EXPECT_EQ(demo::sequencer().sceneIndex, 0);
    EXPECT_EQ(glrec::callsOf(glrec::Fn::SwapBuffers).size(), 1u);
    EXPECT_TRUE(glrec::callsOf(glrec::Fn::Get).empty());  // GLUT's clock is never read
    const auto colours = glrec::callsOf(glrec::Fn::Color3f);
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(colours.back().arg[0], double(float((4000 - 1234) * 0.00025)));

    // Order 2 with pattern row bits set: the next row starts at this clock
    // reading, so scene 2 gets 0 ms.
    glrec::reset();
    virtualNow = 2000;
    position = (17u << 16) | 2u;
    demo::displayFrame();
    EXPECT_EQ(demo::sequencer().sceneIndex, 1);
    EXPECT_EQ(demo::sequencer().sceneStartMs, 2000);
    EXPECT_EQ(glrec::callsOf(glrec::Fn::SwapBuffers).size(), 1u);
    EXPECT_EQ(ends, 0);
}

}  // namespace
