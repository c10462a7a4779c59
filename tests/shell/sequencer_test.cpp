// The scene sequencer, driven by a fake music position and a fake clock.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "shell/sequencer.h"
#include "shell/startup.h"
#include "tests/support/fake_music.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

// A clock that moves on by 3 ms at every reading, so that the two readings
// of a frame that changes rows can be told apart.
int clockNow = 0;
int steppingClock() { return clockNow += 3; }

class Sequencer : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        glrec::setRecording(false);  // scenes draw a lot; only the clock matters here
        fakemusic::reset();
        scriptedrand::useRealSequence();
        demo::sceneIndex = 0;
        demo::sceneStartMs = 0;
        clockNow = 0;
    }
    void TearDown() override { glrec::setRecording(true); }
};

TEST_F(Sequencer, RowChangesWhenTheOrderReachesItsEndOrderNotBefore) {
    demo::sceneStartMs = 100;
    clockNow = 997;
    EXPECT_EQ(demo::advanceSequencer(1, steppingClock), 900);  // order 1 keeps row 0
    EXPECT_EQ(demo::sceneIndex, 0);

    // Order 2 (equal to the end order) moves on; the new row's time comes from
    // a second reading of the clock.
    EXPECT_EQ(demo::advanceSequencer(2, steppingClock), 3);
    EXPECT_EQ(demo::sceneIndex, 1);
    EXPECT_EQ(demo::sceneStartMs, 1003);
    EXPECT_EQ(demo::advanceSequencer(3, steppingClock), 6);
    EXPECT_EQ(demo::sceneIndex, 1);
}

TEST_F(Sequencer, AJumpAheadGivesEverySkippedRowOneFrame) {
    demo::advanceSequencer(1, steppingClock);
    demo::advanceSequencer(5, steppingClock);  // 5 >= 2
    EXPECT_EQ(demo::sceneIndex, 1);
    demo::advanceSequencer(5, steppingClock);  // 5 >= 4
    EXPECT_EQ(demo::sceneIndex, 2);
    demo::advanceSequencer(5, steppingClock);  // 5 < 6
    EXPECT_EQ(demo::sceneIndex, 2);
}

TEST_F(Sequencer, AnOrderThatGoesBackNeverMovesTheRowBack) {
    demo::advanceSequencer(4, steppingClock);
    demo::advanceSequencer(4, steppingClock);
    ASSERT_EQ(demo::sceneIndex, 2);
    demo::advanceSequencer(0, steppingClock);  // the module looped
    EXPECT_EQ(demo::sceneIndex, 2);
}

TEST_F(Sequencer, OrderFromTheLow16BitsOfThePositionDrivesTheRows) {
    // Row (pattern row 40) in the high bits, order 2 in the low bits.
    fakemusic::setPosition((40u << 16) | 2u);
    glrec::setElapsedMs(500);
    demo::displayFrame();
    EXPECT_EQ(demo::sceneIndex, 1);
    EXPECT_EQ(demo::sceneStartMs, 500);
    EXPECT_EQ(fakemusic::callTexts(), std::vector<std::string>{"BASSMOD_MusicGetPosition()"});
}

TEST_F(Sequencer, AllBitsSetWalksOneRowPerFrameToTheQuitRow) {
    fakemusic::setPosition(0xFFFFFFFFu);
    for (int frame = 0; frame < demo::quitRow - 1; ++frame) {
        demo::displayFrame();
        EXPECT_EQ(demo::sceneIndex, frame + 1);
    }
    EXPECT_EXIT(demo::displayFrame(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Sequencer, OrderTwelveEndsTheShowInTheFrameThatReachesIt) {
    demo::sceneIndex = 5;
    fakemusic::setPosition(11);
    demo::displayFrame();
    EXPECT_EQ(demo::sceneIndex, 5);
    fakemusic::setPosition(12);
    EXPECT_EXIT(
        {
            std::atexit([] {
                for (const auto& c : fakemusic::calls())
                    std::fprintf(stderr, "%s\n", c.text.c_str());
            });
            demo::displayFrame();
        },
        ::testing::ExitedWithCode(0),
        "BASSMOD_MusicGetPosition\\(\\)\nBASSMOD_MusicStop\\(\\)\nBASSMOD_MusicFree\\(\\)\n"
        "BASSMOD_Free\\(\\)\n$");
}

TEST_F(Sequencer, TheTablePlaysSixScenesOfTwoOrdersThenQuits) {
    const std::uint32_t ends[] = {2, 4, 6, 8, 10, 12};
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(demo::sceneTable[row].endOrder, ends[row]);
    EXPECT_EQ(demo::sceneTable[demo::quitRow].function, &demo::quitDemo);
}

TEST_F(Sequencer, NothingMovesPastTheQuitRow) {
    demo::sceneIndex = demo::quitRow;
    demo::advanceSequencer(65535, steppingClock);
    EXPECT_EQ(demo::sceneIndex, demo::quitRow);
}

}  // namespace
