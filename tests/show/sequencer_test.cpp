// The scene sequencer, driven by a fake music position and a fake clock.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "show/platform.h"
#include "show/sequencer.h"
#include "desktop/desktop_shell.h"
#include "tests/support/fake_music.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

// A clock that moves on by 3 ms at every reading, so that the two readings
// of a frame that changes rows can be told apart.
int clockNow = 0;
int steppingClock() { return clockNow += 3; }

// The desktop program's platform on the stepping clock.
demo::Platform steppingPlatform() {
    demo::Platform platform = demo::desktopPlatform;
    platform.clockMs = steppingClock;
    return platform;
}

class Sequencer : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        glrec::setRecording(false);  // scenes draw a lot; only the clock matters here
        fakemusic::reset();
        demo::usePlatform(steppingPlatform());
        clockNow = 0;
        demo::startShow();  // row 0 from 3 ms
    }
    void TearDown() override {
        glrec::setRecording(true);
        demo::usePlatform(demo::desktopPlatform);
    }

    // Moves the sequencer on to row by the orders that end each row before it.
    static void walkToRow(int row) {
        for (int r = 0; r < row; ++r)
            demo::advanceSequencer(demo::sceneTable[r].endOrder);
        ASSERT_EQ(demo::sequencer().sceneIndex, row);
    }
};

TEST_F(Sequencer, RowChangesWhenTheOrderReachesItsEndOrderNotBefore) {
    clockNow = 97;
    demo::startShow();  // row 0 from 100 ms
    clockNow = 997;
    EXPECT_EQ(demo::advanceSequencer(1), 900);  // order 1 keeps row 0
    EXPECT_EQ(demo::sequencer().sceneIndex, 0);

    // Order 2 (equal to the end order) moves on; the new row's time comes from
    // a second reading of the clock.
    EXPECT_EQ(demo::advanceSequencer(2), 3);
    EXPECT_EQ(demo::sequencer().sceneIndex, 1);
    EXPECT_EQ(demo::sequencer().sceneStartMs, 1003);
    EXPECT_EQ(demo::advanceSequencer(3), 6);
    EXPECT_EQ(demo::sequencer().sceneIndex, 1);
}

TEST_F(Sequencer, AJumpAheadGivesEverySkippedRowOneFrame) {
    demo::advanceSequencer(1);
    demo::advanceSequencer(5);  // 5 >= 2
    EXPECT_EQ(demo::sequencer().sceneIndex, 1);
    demo::advanceSequencer(5);  // 5 >= 4
    EXPECT_EQ(demo::sequencer().sceneIndex, 2);
    demo::advanceSequencer(5);  // 5 < 6
    EXPECT_EQ(demo::sequencer().sceneIndex, 2);
}

TEST_F(Sequencer, AnOrderThatGoesBackNeverMovesTheRowBack) {
    demo::advanceSequencer(4);
    demo::advanceSequencer(4);
    ASSERT_EQ(demo::sequencer().sceneIndex, 2);
    demo::advanceSequencer(0);  // the module looped
    EXPECT_EQ(demo::sequencer().sceneIndex, 2);
}

TEST_F(Sequencer, OrderFromTheLow16BitsOfThePositionDrivesTheRows) {
    demo::usePlatform(demo::desktopPlatform);  // GLUT's clock
    // Row (pattern row 40) in the high bits, order 2 in the low bits.
    fakemusic::setPosition((40u << 16) | 2u);
    glrec::setElapsedMs(500);
    demo::displayFrame();
    EXPECT_EQ(demo::sequencer().sceneIndex, 1);
    EXPECT_EQ(demo::sequencer().sceneStartMs, 500);
    EXPECT_EQ(fakemusic::callTexts(), std::vector<std::string>{"BASSMOD_MusicGetPosition()"});
}

TEST_F(Sequencer, AllBitsSetWalksOneRowPerFrameToTheQuitRow) {
    fakemusic::setPosition(0xFFFFFFFFu);
    for (int frame = 0; frame < demo::quitRow - 1; ++frame) {
        demo::displayFrame();
        EXPECT_EQ(demo::sequencer().sceneIndex, frame + 1);
    }
    EXPECT_EXIT(demo::displayFrame(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Sequencer, OrderTwelveEndsTheShowInTheFrameThatReachesIt) {
    walkToRow(5);
    fakemusic::setPosition(11);
    demo::displayFrame();
    EXPECT_EQ(demo::sequencer().sceneIndex, 5);
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

// A digest of the calls recorded since the last reset.
std::uint64_t digestOfCalls() {
    std::uint64_t h = 1469598103934665603u;
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211u; };
    for (const glrec::Call& c : glrec::calls()) {
        mix(std::uint64_t(c.fn));
        for (int i = 0; i < c.argCount; ++i) {
            std::uint64_t bits;
            std::memcpy(&bits, &c.arg[i], sizeof bits);
            mix(bits);
        }
    }
    return h;
}

// The whole show from the top, two frames of every order 60 ms apart: one
// digest per frame.
std::vector<std::uint64_t> drawTheShow() {
    demo::startShow();
    std::vector<std::uint64_t> frames;
    for (std::uint32_t order = 0; order < 12; ++order) {
        for (int frame = 0; frame < 2; ++frame) {
            clockNow += 60;
            fakemusic::setPosition(order);
            glrec::reset();
            demo::displayFrame();
            frames.push_back(digestOfCalls());
        }
    }
    return frames;
}

TEST_F(Sequencer, StartingTheShowAgainDrawsTheSameFramesAgain) {
    glrec::setRecording(true);
    const std::vector<std::uint64_t> first = drawTheShow();
    ASSERT_EQ(demo::sequencer().sceneIndex, 5) << "the run reached the last scene";
    EXPECT_EQ(drawTheShow(), first);
}

TEST_F(Sequencer, NothingMovesPastTheQuitRow) {
    walkToRow(demo::quitRow);
    demo::advanceSequencer(65535);
    EXPECT_EQ(demo::sequencer().sceneIndex, demo::quitRow);
}

}  // namespace
