// The box primitives' exact call streams, checked against the GL recorder.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "geometry/boxes.h"
#include "tests/support/gl_recorder.h"

namespace {

using glrec::call;
using glrec::Call;
using glrec::Fn;

// The unit box's corners per face, in the order the faces are sent.
const float corners[6][4][3] = {
    {{1, 1, 1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}},
    {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
    {{1, 1, 1}, {1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}},
    {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
    {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}},
    {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
};

// The quads of one box, each face's colour given as three floats.
std::vector<Call> quads(const float colour[6][3]) {
    std::vector<Call> out{call(Fn::Begin, {GL_QUADS})};
    for (int f = 0; f < 6; ++f) {
        out.push_back(call(Fn::Color3f, {colour[f][0], colour[f][1], colour[f][2]}));
        for (const auto& v : corners[f])
            out.push_back(call(Fn::Vertex3f, {v[0], v[1], v[2]}));
    }
    out.push_back(call(Fn::End));
    return out;
}

std::vector<Call> shadedQuads(float r, float g, float b) {
    const double shade[6][3] = {{0.8, 0.8, 0.8},  {0.7, 0.7, 0.75}, {1, 1, 1},
                                {0.5, 0.5, 0.55}, {0.9, 0.9, 0.85}, {0.6, 0.6, 0.7}};
    float colour[6][3];
    for (int f = 0; f < 6; ++f) {
        colour[f][0] = float(shade[f][0] * r);
        colour[f][1] = float(shade[f][1] * g);
        colour[f][2] = float(shade[f][2] * b);
    }
    return quads(colour);
}

std::vector<Call> concat(std::vector<Call> a, const std::vector<Call>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class BoxCalls : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
    void expectCalls(const std::vector<Call>& expected) {
        EXPECT_EQ(glrec::describe(glrec::calls()), glrec::describe(expected));
        EXPECT_TRUE(glrec::calls() == expected) << "a value differs below printing precision";
        EXPECT_EQ(glrec::state().modelviewDepth, 1) << "the matrix stack is unbalanced";
        EXPECT_EQ(glrec::state().misuse, 0);
    }
};

TEST_F(BoxCalls, DrawBoxShadesEachFaceAndKeepsTheCallersMatrix) {
    demo::drawBox(1, 2, 3, 0.5f, 3, -1, 0.3f, 0.7f, 1.2f);
    std::vector<Call> expected{call(Fn::PushMatrix), call(Fn::Translatef, {1, 2, 3}),
                               call(Fn::Scalef, {0.25, 1.5, -0.5})};
    expected = concat(expected, shadedQuads(0.3f, 0.7f, 1.2f));
    expected.push_back(call(Fn::PopMatrix));
    expectCalls(expected);
}

TEST_F(BoxCalls, RotatedBoxRotatesAfterScalingThenDrawsTheUnitBox) {
    demo::drawRotatedBox(0.5f, 0, -1, 2, 1, 1, 45, 0, 0, 1, 1, 0.5f, 0.25f);
    std::vector<Call> expected{call(Fn::PushMatrix),
                               call(Fn::Translatef, {0.5, 0, -1}),
                               call(Fn::Scalef, {1, 0.5, 0.5}),
                               call(Fn::Rotatef, {45, 0, 0, 1}),
                               call(Fn::PushMatrix),
                               call(Fn::Translatef, {0, 0, 0}),
                               call(Fn::Scalef, {1, 1, 1})};
    expected = concat(expected, shadedQuads(1, 0.5f, 0.25f));
    expected.push_back(call(Fn::PopMatrix));
    expected.push_back(call(Fn::PopMatrix));
    expectCalls(expected);
}

TEST_F(BoxCalls, BoxBetweenCornersKeepsSignedSizes) {
    demo::drawBoxBetween(-4, -0.1f, -4, 4, 0, 4, 0.6f, 0.5f, 1);
    std::vector<Call> expected{call(Fn::PushMatrix),
                               call(Fn::Translatef, {0, float(-0.1f * 0.5), 0}),
                               call(Fn::Scalef, {4, float(0.1f * 0.5), 4})};
    expected = concat(expected, shadedQuads(0.6f, 0.5f, 1));
    expected.push_back(call(Fn::PopMatrix));
    expectCalls(expected);

    glrec::reset();
    demo::drawBoxBetween(1, 1, 1, -1, 3, 1, 1, 1, 1);  // second corner left of the first
    EXPECT_EQ(glrec::calls()[2], call(Fn::Scalef, {-1, 1, 0}));
}

TEST_F(BoxCalls, FlatBoxRepeatsItsOneColourBeforeEveryFace) {
    demo::drawFlatBoxBetween(-100, -100, -1.1f, 100, 100, -1.01f, 0.5f, 0.5f, 0.5f);
    const double z0 = -1.1f, z1 = -1.01f;
    std::vector<Call> expected{call(Fn::PushMatrix),
                               call(Fn::Translatef, {0, 0, float((z0 + z1) * 0.5)}),
                               call(Fn::Scalef, {100, 100, float((z1 - z0) * 0.5)})};
    float grey[6][3];
    for (auto& c : grey)
        c[0] = c[1] = c[2] = 0.5f;
    expected = concat(expected, quads(grey));
    expected.push_back(call(Fn::PopMatrix));
    expectCalls(expected);
}

}  // namespace
