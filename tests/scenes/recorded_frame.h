// Reading a recorded scene frame back as what it draws: the scissored clears
// with their colours, the rotated boxes with their placement and base colour,
// and the fade-in overlay. Used by the recorder tests of the scenes.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <cstddef>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "show/sequencer.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace recorded {

// One scissored clear: the box passed to glScissor and the clear colour in
// force when glClear ran.
struct Clear {
    std::array<double, 4> rect;  // x, y, w, h
    std::array<double, 3> colour;
    bool operator==(const Clear& o) const { return rect == o.rect && colour == o.colour; }
};

inline std::vector<Clear> clears() {
    std::vector<Clear> out;
    std::array<double, 4> box{};
    std::array<double, 3> colour{};
    for (const glrec::Call& c : glrec::calls()) {
        if (c.fn == glrec::Fn::Scissor)
            box = {c.arg[0], c.arg[1], c.arg[2], c.arg[3]};
        else if (c.fn == glrec::Fn::ClearColor)
            colour = {c.arg[0], c.arg[1], c.arg[2]};
        else if (c.fn == glrec::Fn::Clear)
            out.push_back({box, colour});
    }
    return out;
}

inline Clear clear(double x, double y, double w, double h, float r, float g, float b) {
    return {{x, y, w, h}, {r, g, b}};
}

// The twenty white bands every scene opens with, top to bottom.
inline std::vector<Clear> whiteBands() {
    std::vector<Clear> out;
    for (int y = 456; y >= 0; y -= 24)
        out.push_back(clear(0, y, 640, 24, 1, 1, 1));
    return out;
}

// One drawRotatedBox call, recognised by its push, translate, scale, rotate
// and inner push; colour is the base colour (the top face, sent third).
struct Box {
    std::array<double, 3> at, size;
    std::array<double, 4> rotation;  // angle, axis
    std::array<double, 3> colour;
    std::size_t firstCall;  // index of its glPushMatrix in the log
};

// Every rotated box among the calls from index from on, in the order drawn.
inline std::vector<Box> rotatedBoxes(std::size_t from = 0) {
    using glrec::Fn;
    const std::vector<glrec::Call>& log = glrec::calls();
    std::vector<Box> out;
    for (std::size_t k = from + 3; k + 1 < log.size(); ++k) {
        if (log[k].fn != Fn::Rotatef || log[k - 1].fn != Fn::Scalef ||
            log[k - 2].fn != Fn::Translatef || log[k - 3].fn != Fn::PushMatrix ||
            log[k + 1].fn != Fn::PushMatrix)
            continue;
        Box box{};
        box.at = {log[k - 2].arg[0], log[k - 2].arg[1], log[k - 2].arg[2]};
        box.size = {log[k - 1].arg[0] * 2, log[k - 1].arg[1] * 2, log[k - 1].arg[2] * 2};
        box.rotation = {log[k].arg[0], log[k].arg[1], log[k].arg[2], log[k].arg[3]};
        box.firstCall = k - 3;
        int colours = 0;
        for (std::size_t c = k + 1; c < log.size() && colours < 3; ++c) {
            if (log[c].fn == Fn::Color3f && ++colours == 3)
                box.colour = {log[c].arg[0], log[c].arg[1], log[c].arg[2]};
        }
        out.push_back(box);
    }
    return out;
}

// Index of the first call of kind fn at or after from; the log's size if none.
inline std::size_t findCall(glrec::Fn fn, std::size_t from = 0) {
    const std::vector<glrec::Call>& calls = glrec::calls();
    while (from < calls.size() && calls[from].fn != fn)
        ++from;
    return from;
}

// The fade-in overlay's grey k, when the frame ends with the overlay: the
// blend set-up, the eye-space identity and the full-view flat slab, then the
// swap. Empty when the frame draws no overlay (or draws it wrongly).
inline std::optional<double> overlayGrey() {
    using glrec::call;
    using glrec::Fn;
    const std::vector<glrec::Call>& log = glrec::calls();
    // set-up (4) + slab (push, translate, scale, begin, 6 x 5, end, pop) + swap
    const std::size_t length = 4 + 36 + 1;
    if (log.size() < length) return std::nullopt;
    const std::size_t s = log.size() - length;
    const std::vector<glrec::Call> setUp = {
        call(Fn::BlendFunc, {GL_ONE, GL_ONE_MINUS_SRC_COLOR}), call(Fn::Enable, {GL_BLEND}),
        call(Fn::Disable, {GL_SCISSOR_TEST}), call(Fn::LoadIdentity)};
    for (std::size_t i = 0; i < setUp.size(); ++i) {
        if (log[s + i] != setUp[i]) return std::nullopt;
    }
    const double z0 = -1.1f, z1 = -1.01f;
    if (log[s + 5] != call(Fn::Translatef, {0, 0, float((z0 + z1) * 0.5)}) ||
        log[s + 6] != call(Fn::Scalef, {100, 100, float((z1 - z0) * 0.5)}))
        return std::nullopt;
    const glrec::Call& grey = log[s + 8];
    if (grey.fn != Fn::Color3f || grey.arg[0] != grey.arg[1] || grey.arg[1] != grey.arg[2])
        return std::nullopt;
    return grey.arg[0];
}

// The GL state a frame hands to the next, as far as scenes rely on it.
struct HandOver {
    bool blend, scissorTest, depthTest;
    int blendSrc, blendDst;
    bool operator==(const HandOver& o) const {
        return blend == o.blend && scissorTest == o.scissorTest && depthTest == o.depthTest &&
               (!blend || (blendSrc == o.blendSrc && blendDst == o.blendDst));
    }
};

inline HandOver handOver() {
    const glrec::State& s = glrec::state();
    return {s.blend, s.scissorTest, s.depthTest, s.blendSrc, s.blendDst};
}

// A state as left by start-up: nothing enabled but culling.
inline glrec::State startupState() {
    glrec::State s;
    s.cullFace = true;
    return s;
}

// The opposite of start-up: everything a previous frame might leave on.
inline glrec::State busyState() {
    glrec::State s = startupState();
    s.blend = s.scissorTest = s.depthTest = true;
    s.blendSrc = GL_ONE;
    s.blendDst = GL_ONE_MINUS_SRC_COLOR;
    s.scissorBox = {10, 20, 30, 40};
    s.clearColor = {0.5f, 0.25f, 0.125f, 1};
    return s;
}

// The usual start of a scene test: an empty log that records everything,
// the state start-up leaves, and the real sequence from state 1 with its
// call count at 0.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        glrec::setRecording(true);
        glrec::setState(startupState());
        scriptedrand::useRealSequence(1);
        scriptedrand::resetCount();
    }
};

// Draws one frame of scene as the show does (the scene, then the present)
// from an empty log and the state start-up leaves, the generator running on
// from where it is with its call count at 0, and checks that the frame used
// GL soundly: no misuse, the matrix stack as it found it and, when its calls
// are recorded, the buffers swapped last.
inline void drawFrame(void (*scene)(int), int elapsedMs, bool record = true) {
    glrec::reset();
    glrec::setState(startupState());
    glrec::setRecording(record);
    scriptedrand::resetCount();
    demo::showSceneFrame(scene, elapsedMs);
    glrec::setRecording(true);
    ASSERT_EQ(glrec::state().misuse, 0);
    ASSERT_EQ(glrec::state().modelviewDepth, 1) << "matrix stack unbalanced";
    if (record) {
        ASSERT_EQ(glrec::calls().back(), glrec::call(glrec::Fn::SwapBuffers));
    }
}

// Draws scene at each of times, the generator running on, then again with a
// generator that always gives 0, and checks that every frame takes exactly
// draws values from it, whatever they are. Leaves the real sequence from
// state 1 in use.
inline void expectDrawsEveryFrame(void (*scene)(int), std::initializer_list<int> times,
                                  long draws) {
    for (bool zeros : {false, true}) {
        if (zeros) scriptedrand::returnConstant(0);
        for (int ms : times) {
            drawFrame(scene, ms, false);
            EXPECT_EQ(scriptedrand::calls(), draws)
                << "at " << ms << " ms" << (zeros ? ", zeros" : "");
        }
    }
    scriptedrand::useRealSequence(1);
}

// Checks a band test whose bounds low and high are both strict: the bounds
// and what lies beyond them are out, the nearest values inside are in.
inline void expectStrictBand(bool (*inBand)(double), double low, double high) {
    EXPECT_FALSE(inBand(low));
    EXPECT_FALSE(inBand(high));
    EXPECT_TRUE(inBand(std::nextafter(low, high)));
    EXPECT_TRUE(inBand(std::nextafter(high, low)));
    EXPECT_TRUE(inBand((low + high) / 2));
    EXPECT_FALSE(inBand(low - 0.4));
    EXPECT_FALSE(inBand(high + 0.4));
}

// Checks the fade-in overlay of a scene drawn by frame(elapsedMs): full white
// at 0 ms, half at 2000, k = 0.00025 at 3999 (all as the float it is stored in).
inline void expectFadeFromWhite(const std::function<void(int)>& frame) {
    const struct {
        int ms;
        double grey;
    } steps[] = {{0, 1}, {2000, 0.5}, {3999, 0.00025f}};
    for (const auto& step : steps) {
        frame(step.ms);
        const std::optional<double> grey = overlayGrey();
        ASSERT_TRUE(grey.has_value()) << "no overlay at " << step.ms << " ms";
        EXPECT_EQ(*grey, step.grey) << "at " << step.ms << " ms";
    }
}

// Draws scene at elapsedMs twice from generator state seed, once from
// start-up's state and once from busyState(): a scene sets every state it
// relies on, so both frames must issue the same calls and hand over the same
// state.
inline void expectSameFrameWhateverItInherits(void (*scene)(int), int elapsedMs,
                                              std::uint32_t seed) {
    glrec::reset();
    glrec::setState(startupState());
    scriptedrand::useRealSequence(seed);
    demo::showSceneFrame(scene, elapsedMs);
    const std::vector<glrec::Call> fromStartup = glrec::calls();
    const HandOver leftFromStartup = handOver();

    glrec::reset();
    glrec::setState(busyState());
    scriptedrand::useRealSequence(seed);
    demo::showSceneFrame(scene, elapsedMs);
    EXPECT_TRUE(glrec::calls() == fromStartup) << "at " << elapsedMs << " ms";
    EXPECT_EQ(handOver(), leftFromStartup) << "at " << elapsedMs << " ms";
}

}  // namespace recorded
