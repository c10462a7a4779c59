// Scene 4, the particle fountain, against the GL recorder: the fixed-step
// simulation of the pool, the rand() order it depends on, and the frame it
// draws with the blend state it was handed.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scenes/particle_fountain.h"
#include "scenes/random.h"
#include "scenes/scenes.h"
#include "show/sequencer.h"
#include "tests/scenes/recorded_frame.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

using glrec::call;
using glrec::Fn;

constexpr long callsPerQuietStep = 64 + 3 * 2048;  // a step in which nothing bounces

class ParticleFountain : public recorded::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        demo::resetParticlePool();  // as at program start
    }

    static const demo::ParticlePool& pool() { return demo::particlePool(); }

    static bool inStartState(const demo::Particle& p) {
        return p.x == 0 && p.y == 9999 && p.z == 0 && p.vx == 0 && p.vy == -14 && p.vz == 0 &&
               p.angle == 0 && p.spin == 0 && p.ax == 1 && p.ay == 0 && p.az == 0 && p.life == 256;
    }
};

// ---- the simulation clock ----

TEST_F(ParticleFountain, FirstFrameBelowTenMsResetsThePoolAndRunsNoStep) {
    demo::showSceneFrame(demo::scene4, 9);
    EXPECT_EQ(pool().lastTick, 0);
    EXPECT_EQ(pool().spawnIndex, 0);
    EXPECT_EQ(scriptedrand::calls(), 0);
    EXPECT_TRUE(
        std::all_of(std::begin(pool().particles), std::end(pool().particles), inStartState));

    // Every record is drawn, far above the view, at full size in orange.
    const auto boxes = recorded::rotatedBoxes();
    ASSERT_EQ(boxes.size(), 2048u);
    EXPECT_EQ(boxes[0].at[1], 9999);
    EXPECT_EQ(boxes[0].size[0], 0.256f);
    EXPECT_FLOAT_EQ(boxes[0].colour[0], 1.0f);
    EXPECT_FLOAT_EQ(boxes[0].colour[1], 0.7f);
    EXPECT_FLOAT_EQ(boxes[0].colour[2], 0.1f);
}

TEST_F(ParticleFountain, StepsFollowTheTenMsTicksAtMostTwentyPerFrame) {
    glrec::setRecording(false);
    demo::showSceneFrame(demo::scene4, 0);
    // Each step spawns eight records, so the ring position counts the steps.
    demo::showSceneFrame(demo::scene4, 250);  // 25 ticks due: 20 run, 5 are dropped for good
    EXPECT_EQ(pool().spawnIndex, 160);
    EXPECT_EQ(pool().lastTick, 25);
    demo::showSceneFrame(demo::scene4, 259);  // same tick
    EXPECT_EQ(pool().spawnIndex, 160);
    demo::showSceneFrame(demo::scene4, 270);  // two ticks later: two steps, nothing made up
    EXPECT_EQ(pool().spawnIndex, 176);
    demo::showSceneFrame(demo::scene4, 265);  // a clock that goes back runs nothing but is followed
    EXPECT_EQ(pool().spawnIndex, 176);
    EXPECT_EQ(pool().lastTick, 26);
    demo::showSceneFrame(demo::scene4, 270);
    EXPECT_EQ(pool().spawnIndex, 184);
}

TEST_F(ParticleFountain, RingWrapsAfter256StepsAndEveryRecordLivesExactly256Steps) {
    glrec::setRecording(false);
    demo::showSceneFrame(demo::scene4, 0);
    for (int t = 200; t <= 2400; t += 200)  // 12 frames of 20 steps
        demo::showSceneFrame(demo::scene4, t);
    glrec::reset();
    glrec::setRecording(true);
    demo::showSceneFrame(demo::scene4, 2560);  // 16 more: 256 in all
    EXPECT_EQ(pool().spawnIndex, 0);
    for (int i = 0; i < 2048; ++i) {
        ASSERT_EQ(pool().particles[i].life, i / 8) << "record " << i;
        ASSERT_LT(pool().particles[i].y, 1000) << "record " << i << " was never spawned";
    }
    // The first record spawned is at the end of its life: drawn with size 0.
    const auto boxes = recorded::rotatedBoxes();
    ASSERT_EQ(boxes.size(), 2048u);
    EXPECT_EQ(boxes[0].size[0], 0);
    EXPECT_FLOAT_EQ(boxes[0].colour[0], 0.7f);
    EXPECT_FLOAT_EQ(boxes[0].colour[1], 0.3f);
    EXPECT_FLOAT_EQ(boxes[0].colour[2], 0.7f);

    // The next step respawns it first.
    demo::stepParticles();
    EXPECT_EQ(pool().spawnIndex, 8);
    EXPECT_EQ(pool().particles[0].life, 255);
}

// ---- one step ----

TEST_F(ParticleFountain, StepSpawnsFromEightDrawsThenMovesEachRecordWithThree) {
    demo::resetParticles();
    demo::stepParticles();
    EXPECT_EQ(scriptedrand::calls(), callsPerQuietStep);
    const std::vector<int> r = scriptedrand::Sequence{}.take(64 + 3 * 2048);

    // Spawn k takes draws 8k to 8k+7: vx, vy, vz, ax, ay, az, angle, spin.
    for (int k = 0; k < 8; ++k) {
        const demo::Particle& p = pool().particles[k];
        const int* d = &r[8 * k];
        EXPECT_EQ(p.vx, float((d[0] % 101 - 50) * 0.0008)) << "spawn " << k;
        EXPECT_EQ(p.vz, float((d[2] % 101 - 50) * 0.0008)) << "spawn " << k;
        EXPECT_EQ(p.ax, float((d[3] % 101 - 50) * 0.0002)) << "spawn " << k;
        EXPECT_EQ(p.ay, float((d[4] % 101 - 50) * 0.0002)) << "spawn " << k;
        EXPECT_EQ(p.az, float((d[5] % 101 - 50) * 0.0002)) << "spawn " << k;
        EXPECT_EQ(p.spin, float((d[7] % 101 - 50) * 0.072)) << "spawn " << k;
        // The angle has turned once by the spin, the draw being taken modulo 100.
        EXPECT_EQ(p.angle, float(float((d[6] % 100) * 3.6) + double(p.spin))) << "spawn " << k;
        // Gravity has acted once on the upward speed.
        const float vy = (d[1] % 101) * 0.0002 + 0.04;
        EXPECT_EQ(p.vy, float(vy - 0.0007)) << "spawn " << k;
        EXPECT_EQ(p.life, 255);
    }

    // The moves follow all 64 spawn draws, record by record: x, y, z.
    const demo::Particle& p0 = pool().particles[0];
    const float x0 = p0.vx * -20.0f;
    EXPECT_EQ(p0.x, float(x0 + ((r[64] % 101 - 30) * double(p0.vx)) * 0.1));
    EXPECT_EQ(p0.y, float(((r[65] % 101 - 30) * double(p0.vy)) * 0.1));
    const demo::Particle& p1 = pool().particles[1];
    EXPECT_EQ(p1.y, float(((r[68] % 101 - 30) * double(p1.vy)) * 0.1));

    // Records not yet spawned move too, far above the view.
    const demo::Particle& idle = pool().particles[100];
    EXPECT_EQ(idle.vy, float(-14 - 0.0007));
    EXPECT_GT(idle.y, 9900);  // at most 7 x 14 x 0.1 lower
    EXPECT_EQ(idle.life, 255);
}

TEST_F(ParticleFountain, CubeThatEndsAStepBelowThePlaneBouncesWhileStillRising) {
    // Every draw 10: the first move's factor is 10 - 30 < 0, so the fresh
    // cubes end their first step below the plane.
    scriptedrand::returnConstant(10);
    demo::resetParticles();
    demo::stepParticles();
    const demo::Particle first = pool().particles[0];
    ASSERT_LT(first.y, 0);
    ASSERT_GT(first.vy, 0);

    scriptedrand::resetCount();
    demo::stepParticles();
    // One more draw for each of the eight cubes that bounced.
    EXPECT_EQ(scriptedrand::calls(), callsPerQuietStep + 8);
    const demo::Particle& p = pool().particles[0];
    const float rising = first.vy - 0.0007;
    ASSERT_GT(rising, 0) << "the cube must still be rising when it bounces";
    EXPECT_EQ(p.vy, -0.5f * rising);
    EXPECT_EQ(p.spin, float((10 - 50) * 0.072));
    // Reflected to -y, then moved by the (negative) factor times the
    // downward speed: upward again.
    EXPECT_EQ(p.y, float(-first.y + ((10 - 30) * double(p.vy)) * 0.1));
    EXPECT_GT(p.y, 0);
}

TEST_F(ParticleFountain, CubesBounceOnThePlaneFarOutsideThePlate) {
    demo::Particle p{25, -0.5f, -30, 0, -0.2f, 0, 0, 1, 1, 0, 0, 100};
    scriptedrand::returnConstant(30);  // a move factor of 0: the bounce alone shows
    demo::moveParticle(p);
    EXPECT_EQ(p.y, 0.5f);
    EXPECT_EQ(p.vy, float(float(-0.2f - 0.0007) * -0.5));
    EXPECT_EQ(p.x, 25);
}

// ---- the frame ----

TEST_F(ParticleFountain, FrameDrawsTheTwistedPlateThenThePoolWithoutTouchingBlending) {
    // Blending as a scene 3 shorter than 4000 ms leaves it.
    glrec::State handed;
    handed.blend = true;
    handed.blendSrc = GL_ONE;
    handed.blendDst = GL_ONE_MINUS_SRC_COLOR;
    glrec::setState(handed);
    demo::showSceneFrame(demo::scene4, 2618);

    const auto& calls = glrec::calls();
    const std::vector<glrec::Call> opening{
        call(Fn::Enable, {GL_DEPTH_TEST}),
        call(Fn::Enable, {GL_SCISSOR_TEST}),
        call(Fn::MatrixMode, {GL_MODELVIEW}),
        call(Fn::LoadIdentity),
        call(Fn::LookAt, {0, 3, 6, 0, 0, 0, 0, 1, 0}),
        call(Fn::Rotatef, {float(360 * std::sin(2618 * 0.0006)), 0, 1, 0}),
    };
    ASSERT_GT(calls.size(), opening.size());
    EXPECT_EQ(glrec::describe(std::vector<glrec::Call>(calls.begin(), calls.begin() + 6)),
              glrec::describe(opening));

    // 120 bands from the top down, each cleared white, turned 2 degrees and
    // given one plate; then the turns are taken back and the test switched off.
    std::vector<glrec::Call> scissors, rotations;
    for (const glrec::Call& c : calls) {
        if (c.fn == Fn::Scissor) scissors.push_back(c);
        if (c.fn == Fn::Rotatef) rotations.push_back(c);
    }
    ASSERT_EQ(scissors.size(), 120u);
    for (int p = 0; p < 120; ++p)
        EXPECT_EQ(scissors[p], call(Fn::Scissor, {0, 476.0 - 4 * p, 640, 24}));
    ASSERT_EQ(rotations.size(), 1u + 120 + 1 + 2048);
    for (int p = 1; p <= 120; ++p)
        EXPECT_EQ(rotations[p], call(Fn::Rotatef, {2, 0, 1, 0}));
    EXPECT_EQ(rotations[121], call(Fn::Rotatef, {-240, 0, 1, 0}));
    EXPECT_EQ(glrec::callsOf(Fn::ClearColor)[0], call(Fn::ClearColor, {4, 1, 1, 1}));

    const std::size_t off = recorded::findCall(Fn::Disable);
    ASSERT_LT(off, calls.size());
    EXPECT_EQ(calls[off], call(Fn::Disable, {GL_SCISSOR_TEST}));
    EXPECT_EQ(calls[off - 1], rotations[121]);
    EXPECT_EQ(recorded::rotatedBoxes(off).size(), 2048u);
    EXPECT_EQ(calls.back(), call(Fn::SwapBuffers));

    // Hand-over: blending exactly as it came in.
    for (const glrec::Call& c : calls) {
        EXPECT_NE(c.fn, Fn::BlendFunc);
        if (c.fn == Fn::Enable || c.fn == Fn::Disable) {
            EXPECT_NE(c.arg[0], GL_BLEND);
        }
    }
    const glrec::State& s = glrec::state();
    EXPECT_TRUE(s.blend);
    EXPECT_EQ(s.blendSrc, GL_ONE);
    EXPECT_EQ(s.blendDst, GL_ONE_MINUS_SRC_COLOR);
    EXPECT_FALSE(s.scissorTest);
    EXPECT_TRUE(s.depthTest);
    EXPECT_EQ(s.matrixMode, GL_MODELVIEW);
    EXPECT_EQ(s.modelviewDepth, 1);
    EXPECT_EQ(s.misuse, 0);
}

}  // namespace
