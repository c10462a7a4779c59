// Block text's exact call streams, checked against the GL recorder with
// glyph tables the tests fill themselves.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "font/blocktext.h"
#include "font/font.h"
#include "geometry/boxes.h"
#include "tests/support/gl_recorder.h"

namespace {

using demo::glyphTable;
using glrec::call;
using glrec::Call;
using glrec::Fn;

const demo::GlyphTexel yellow = {255, 245, 155, 1};
const demo::GlyphTexel blue = {60, 60, 230, 1};

// What drawBox itself sends for one box: the stream a glyph's texel must give.
std::vector<Call> boxCalls(float x, float y, float r, float g, float b) {
    glrec::reset();
    demo::drawBox(x, y, 0, 2, 2, 2, r, g, b);
    return glrec::calls();
}

// The colour drawBox gives its top face: the base colour itself.
std::vector<double> topFaceColour(const std::vector<Call>& calls, int box) {
    int colours = 0;
    for (const Call& c : calls) {
        if (c.fn == Fn::Color3f && colours++ == 6 * box + 2) return {c.arg[0], c.arg[1], c.arg[2]};
    }
    return {};
}

class BlockText : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(glyphTable, 0, sizeof glyphTable);
        glrec::reset();
    }
    void expectBalanced() {
        EXPECT_EQ(glrec::state().modelviewDepth, 1) << "the matrix stack is unbalanced";
        EXPECT_EQ(glrec::state().misuse, 0);
    }
};

// One glyph.

TEST_F(BlockText, AnEmptyGlyphOnlyMovesAndRestoresTheMatrix) {
    demo::drawGlyph(1.5f, -2, 3, 0.4f, 0.5f, -0.5f, 'A');
    const std::vector<Call> expected{call(Fn::PushMatrix), call(Fn::Translatef, {1.5, -2, 3}),
                                     call(Fn::Scalef, {float(0.4f * 0.25), 0.125, -0.125}),
                                     call(Fn::PopMatrix)};
    EXPECT_EQ(glrec::describe(glrec::calls()), glrec::describe(expected));
    EXPECT_TRUE(glrec::calls() == expected);
    expectBalanced();
}

TEST_F(BlockText, AFullGlyphDraws64BoxesRowByRowFromTheTopLeft) {
    // Every texel its own colour, so any texel out of place shows.
    for (int j = 0; j < 8; ++j) {
        for (int k = 0; k < 8; ++k) {
            const unsigned char v = static_cast<unsigned char>(4 * (8 * j + k));
            glyphTable[200][j][k] = {v, static_cast<unsigned char>(255 - v), 17, 1};
        }
    }
    std::vector<Call> expected{call(Fn::PushMatrix), call(Fn::Translatef, {-12, -5, -20}),
                               call(Fn::Scalef, {float(0.4f * 0.25), 0.125, 0.125})};
    for (int j = 0; j < 8; ++j) {
        for (int k = 0; k < 8; ++k) {
            const demo::GlyphTexel& t = glyphTable[200][j][k];
            const auto box = boxCalls(-7 + 2 * k, 7 - 2 * j, float(t.red * 0.00390625),
                                      float(t.green * 0.00390625), float(t.blue * 0.00390625));
            expected.insert(expected.end(), box.begin(), box.end());
        }
    }
    expected.push_back(call(Fn::PopMatrix));

    glrec::reset();
    demo::drawGlyph(-12, -5, -20, 0.4f, 0.5f, 0.5f, 200);
    EXPECT_EQ(glrec::callsOf(Fn::Begin).size(), 64u);
    EXPECT_TRUE(glrec::calls() == expected) << glrec::describe(glrec::calls());
    expectBalanced();
    EXPECT_EQ(glrec::state().maxModelviewDepth, 3) << "one level for the glyph, one per box";
}

TEST_F(BlockText, TexelBytesBecomeColoursDividedBy256) {
    glyphTable[int('x')][2][5] = yellow;
    glyphTable[int('x')][7][0] = blue;
    demo::drawGlyph(0, 0, 0, 1, 1, 1, 'x');
    const auto translations = glrec::callsOf(Fn::Translatef);
    ASSERT_EQ(translations.size(), 3u);
    EXPECT_EQ(translations[1], call(Fn::Translatef, {3, 3, 0}));
    EXPECT_EQ(translations[2], call(Fn::Translatef, {-7, -7, 0}));
    EXPECT_EQ(topFaceColour(glrec::calls(), 0),
              (std::vector<double>{0.99609375, 0.95703125, 0.60546875}));
    EXPECT_EQ(topFaceColour(glrec::calls(), 1),
              (std::vector<double>{0.234375, 0.234375, 0.8984375}));
}

// Strings.

TEST_F(BlockText, AnEmptyStringDrawsNothing) {
    glyphTable[0][0][0] = yellow;
    demo::drawText(0, 0, 0, 1, 1, 1, 1, "");
    EXPECT_EQ(glrec::callCount(), 0u);
}

TEST_F(BlockText, CodesAbove127UseTheUpperHalfOfTheTable) {
    glyphTable[200][0][0] = yellow;  // "\xC8" as an unsigned byte
    glyphTable[72][7][7] = blue;     // 200 - 128, a wrong reading
    demo::drawText(0, 0, 0, 1, 1, 1, 1, "\xC8");
    const auto translations = glrec::callsOf(Fn::Translatef);
    ASSERT_EQ(translations.size(), 2u);
    EXPECT_EQ(translations[1], call(Fn::Translatef, {-7, 7, 0}));
    expectBalanced();
}

TEST_F(BlockText, EveryByteIsAGlyphSpacesAndLineFeedsToo) {
    glyphTable[int('\n')][0][0] = blue;
    glyphTable[int(' ')][0][0] = yellow;
    demo::drawText(0, 0, 0, 1, 1, 1, 1, "a\nb c");
    EXPECT_EQ(glrec::callsOf(Fn::Scalef).size(), 5u + 2u) << "five glyphs and two boxes";
    EXPECT_EQ(glrec::callsOf(Fn::Begin).size(), 2u);
    expectBalanced();
}

TEST_F(BlockText, CharacterIIsCentredAtXPlusITimesTheAdvanceComputedAfresh) {
    const char* text = "greetings to all";  // 16 characters, the longest greeting
    const float x = -12, advance = 1.2f;
    demo::drawText(x, -5, -20, 0.4f, 0.5f, 0.5f, advance, text);
    const auto translations = glrec::callsOf(Fn::Translatef);
    ASSERT_EQ(translations.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        const float centre = float(double(x) + i * double(advance));
        EXPECT_EQ(translations[i], call(Fn::Translatef, {centre, -5, -20})) << "character " << i;
    }
    EXPECT_EQ(translations[3].arg[0], double(float(-12.0 + 3 * double(1.2f))));
    for (const Call& c : glrec::callsOf(Fn::Scalef))
        EXPECT_EQ(c, call(Fn::Scalef, {float(0.4f * 0.25), 0.125, 0.125}));
    expectBalanced();
}

}  // namespace
