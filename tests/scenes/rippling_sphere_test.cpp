// Scene 6, the rippling sphere shell, against the GL recorder: the clean
// shell at the start, the ripples growing with time, the band's bounds, the
// generator budget and the state the last scene leaves.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scenes/rippling_sphere.h"
#include "scenes/scenes.h"
#include "show/sequencer.h"
#include "tests/scenes/recorded_frame.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

using glrec::call;
using glrec::Call;
using glrec::Fn;

class RipplingSphere : public recorded::SceneTest {
protected:
    static double radius(const recorded::Box& b) {
        return std::sqrt(b.at[0] * b.at[0] + b.at[1] * b.at[1] + b.at[2] * b.at[2]);
    }
};

TEST_F(RipplingSphere, StartsAsACleanShellBetweenRadii09487And10488) {
    demo::showSceneFrame(demo::scene6, 0);
    const auto boxes = recorded::rotatedBoxes();
    // About 19,600 of the million lattice points lie in the band.
    EXPECT_GT(boxes.size(), 1400u);
    EXPECT_LT(boxes.size(), 1750u);
    int octants[8] = {};
    for (const auto& b : boxes) {
        ASSERT_GT(radius(b), 0.9487) << b.at[0] << ", " << b.at[1] << ", " << b.at[2];
        ASSERT_LT(radius(b), 1.0488) << b.at[0] << ", " << b.at[1] << ", " << b.at[2];
        ASSERT_EQ(b.size[0], 0.06f);
        ASSERT_EQ(b.rotation[0], 0);
        ASSERT_EQ(b.colour[0], float(0.8 * b.at[2] + b.at[1] + 0.1));
        ASSERT_EQ(b.colour[1], float(0.6 * b.at[1] + b.at[2]));
        ASSERT_EQ(b.colour[2], 1);
        ++octants[(b.at[0] > 0) + 2 * (b.at[1] > 0) + 4 * (b.at[2] > 0)];
    }
    for (int n : octants)
        EXPECT_GT(n, 100) << "the whole shell is sampled";
}

TEST_F(RipplingSphere, RipplesGrowWithTheSceneTime) {
    // The largest distance from the clean shell among the cubes drawn.
    auto spread = [](int ms) {
        glrec::reset();
        demo::showSceneFrame(demo::scene6, ms);
        double worst = 0;
        for (const auto& b : recorded::rotatedBoxes()) {
            const double r2 = b.at[0] * b.at[0] + b.at[1] * b.at[1] + b.at[2] * b.at[2];
            worst = std::max(worst, std::max(0.9 - r2, r2 - 1.1));
        }
        return worst;
    };
    // Amplitudes 0.05 + 0.03 + 0.003 at one second, 0.5 + 3 + 3 at ten.
    EXPECT_LT(spread(1000), 0.09);
    EXPECT_GT(spread(1000), 0.02);
    EXPECT_GT(spread(10000), 1.5);
}

TEST_F(RipplingSphere, FrameDraws240000TimesWhateverTheTime) {
    recorded::expectDrawsEveryFrame(demo::scene6, {0, 5000, 20000}, 240000);
}

TEST(SphereShellBand, BoundsAreStrict) {
    recorded::expectStrictBand(demo::inSphereShellBand, 0.9, 1.1);
}

TEST_F(RipplingSphere, OpensWhiteTurnsTheCloudAndLeavesTheScissorTestOff) {
    // Scene 5 hands over the scissor test on in its text strip.
    glrec::State handed;
    handed.scissorTest = true;
    handed.depthTest = true;
    handed.scissorBox = {0, 100, 640, 80};
    glrec::setState(handed);
    demo::showSceneFrame(demo::scene6, 2500);

    std::vector<Call> expected{call(Fn::Disable, {GL_BLEND}), call(Fn::Enable, {GL_SCISSOR_TEST})};
    for (int y = 456; y >= 0; y -= 24) {
        expected.push_back(call(Fn::Scissor, {0, double(y), 640, 24}));
        expected.push_back(call(Fn::ClearColor, {1, 1, 1, 1}));
        expected.push_back(call(Fn::Clear, {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}));
    }
    const std::vector<Call> rest{
        call(Fn::MatrixMode, {GL_MODELVIEW}),    call(Fn::LoadIdentity),
        call(Fn::Enable, {GL_DEPTH_TEST}),       call(Fn::LookAt, {0, 0, 3, 0, 0, 0, 0, 1, 0}),
        call(Fn::Disable, {GL_SCISSOR_TEST}),    call(Fn::Translatef, {0, 0, -1}),
        call(Fn::Rotatef, {250, 1, 0.3f, -0.5f})};
    expected.insert(expected.end(), rest.begin(), rest.end());
    const auto& calls = glrec::calls();
    ASSERT_GT(calls.size(), expected.size());
    EXPECT_EQ(glrec::describe(std::vector<Call>(calls.begin(), calls.begin() + expected.size())),
              glrec::describe(expected));
    // Nothing but cubes follows, each turned back by the cloud's angle.
    const auto boxes = recorded::rotatedBoxes(expected.size());
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].rotation[0], -250);
    EXPECT_EQ(glrec::callsOf(Fn::Scissor).size(), 20u);
    EXPECT_EQ(calls.back(), call(Fn::SwapBuffers));

    const glrec::State& s = glrec::state();
    EXPECT_FALSE(s.scissorTest);
    EXPECT_EQ(s.scissorBox, (std::array<int, 4>{0, 0, 640, 24}));
    EXPECT_FALSE(s.blend);
    EXPECT_TRUE(s.depthTest);
    EXPECT_EQ(s.matrixMode, GL_MODELVIEW);
    EXPECT_EQ(s.modelviewDepth, 1);
    EXPECT_EQ(s.clearColor, (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(s.misuse, 0);
}

}  // namespace
