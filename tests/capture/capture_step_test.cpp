// The per-frame step the capture shares with the demo: driven by a position
// and a clock passed in, and stopping at the quit row instead of ending the
// process when asked to.
#include <gtest/gtest.h>

#include <cstdint>

#include "shell/sequencer.h"
#include "tests/support/fake_music.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

int virtualNow = 0;
int virtualClock() { return virtualNow; }

class CaptureStep : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        fakemusic::reset();
        scriptedrand::useRealSequence();
        demo::sceneIndex = 0;
        demo::sceneStartMs = 0;
        virtualNow = 0;
    }
};

TEST_F(CaptureStep, TheQuitRowStopsTheCaptureWithoutEndingTheProcess) {
    demo::sceneIndex = 5;
    demo::sceneStartMs = 1000;
    virtualNow = 7000;
    // Order 12, row 3: the sequencer enters the quit row and returns; nothing
    // is drawn and the music layer is not touched.
    EXPECT_FALSE(demo::runSequencerFrame((3u << 16) | 12u, virtualClock, false));
    EXPECT_EQ(demo::sceneIndex, demo::quitRow);
    EXPECT_EQ(demo::sceneStartMs, 7000);
    EXPECT_EQ(glrec::callCount(), 0u);
    EXPECT_TRUE(fakemusic::calls().empty());
    // It stays stopped on every later frame.
    EXPECT_FALSE(demo::runSequencerFrame(0, virtualClock, false));
    EXPECT_EQ(demo::sceneIndex, demo::quitRow);
}

TEST_F(CaptureStep, ASceneRowDrawsOneFrameOnTheClockPassedIn) {
    // Scene 1 at 1234 ms: the fade overlay's grey is (4000 - 1234) * 0.00025.
    virtualNow = 1234;
    EXPECT_TRUE(demo::runSequencerFrame(1u, virtualClock, false));
    EXPECT_EQ(demo::sceneIndex, 0);
    EXPECT_EQ(glrec::callsOf(glrec::Fn::SwapBuffers).size(), 1u);
    EXPECT_TRUE(glrec::callsOf(glrec::Fn::Get).empty());  // GLUT's clock is never read
    const auto colours = glrec::callsOf(glrec::Fn::Color3f);
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(colours.back().arg[0], double(float((4000 - 1234) * 0.00025)));

    // Order 2 with pattern row bits set: the next row starts at this clock
    // reading, so scene 2 gets 0 ms.
    glrec::reset();
    virtualNow = 2000;
    EXPECT_TRUE(demo::runSequencerFrame((17u << 16) | 2u, virtualClock, false));
    EXPECT_EQ(demo::sceneIndex, 1);
    EXPECT_EQ(demo::sceneStartMs, 2000);
    EXPECT_EQ(glrec::callsOf(glrec::Fn::SwapBuffers).size(), 1u);
}

}  // namespace
