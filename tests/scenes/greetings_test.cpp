// Scene 5, greetings over a blob shell, against the GL recorder: the table of
// greetings, the stripes' rectangles, the generator budget, the shell's band,
// where the greeting goes and the state the frame hands to scene 6.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "font/font.h"
#include "scenes/greetings.h"
#include "scenes/scenes.h"
#include "show/sequencer.h"
#include "tests/scenes/recorded_frame.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

using glrec::call;
using glrec::Call;
using glrec::Fn;

class Greetings : public recorded::SceneTest {
protected:
    // The depth-only clear of the greeting's strip, the frame's last clear.
    static std::size_t stripClear() {
        const auto& calls = glrec::calls();
        std::size_t i = calls.size();
        while (i > 0 && calls[i - 1] != call(Fn::Clear, {GL_DEPTH_BUFFER_BIT}))
            --i;
        return i - 1;
    }

    // The clears after the twenty white bands, as (x, y, w, h, r, g, b).
    static std::vector<std::vector<double>> stripeClears() {
        std::vector<std::vector<double>> out;
        const auto& calls = glrec::calls();
        int clears = 0;
        for (std::size_t i = 0; i + 2 < calls.size(); ++i) {
            if (calls[i].fn != Fn::Scissor || calls[i + 2].fn != Fn::Clear) continue;
            if (++clears <= 20) continue;
            const Call& s = calls[i];
            const Call& c = calls[i + 1];
            out.push_back({s.arg[0], s.arg[1], s.arg[2], s.arg[3], c.arg[0], c.arg[1], c.arg[2]});
        }
        return out;
    }
};

// ---- the table ----

TEST(GreetingNames, ThirtyFourRowsOfLowerCaseWordsWithThreeRepeatedRows) {
    std::set<std::string> distinct;
    for (int row = 0; row < demo::greetingCount; ++row) {
        const std::string text = demo::greetingNames[row];
        SCOPED_TRACE("row " + std::to_string(row) + " \"" + text + "\"");
        EXPECT_GE(text.size(), 2u);
        EXPECT_LE(text.size(), 16u);
        int spaces = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ') {
                ++spaces;
                EXPECT_TRUE(i > 0 && i + 1 < text.size() && text[i + 1] != ' ')
                    << "a space only between two words";
            } else {
                EXPECT_TRUE(text[i] >= 'a' && text[i] <= 'z');
            }
        }
        const bool twoWords = row == 16 || row == 18 || row == 24 || row == 25;
        EXPECT_EQ(spaces, twoWords ? 1 : 0);
        distinct.insert(text);
    }
    EXPECT_EQ(distinct.size(), 31u);
    EXPECT_EQ(demo::greetingNames[15], demo::greetingNames[5]);
    EXPECT_EQ(demo::greetingNames[26], demo::greetingNames[20]);
    EXPECT_EQ(demo::greetingNames[27], demo::greetingNames[21]);
}

TEST(GreetingNames, EveryLetterHasAGlyphInTheBuiltFont) {
    const std::string path = DEMO_BINARY_DIR "/fontpre.tga";
    if (!std::ifstream(path).good()) GTEST_SKIP() << "no font image built at " << path;
    std::string problem;
    ASSERT_TRUE(demo::readFontImage(path.c_str(), problem)) << problem;
    for (const char* text : demo::greetingNames) {
        for (const char* c = text; *c != '\0'; ++c) {
            if (*c == ' ') continue;
            int present = 0;
            for (const auto& row : demo::glyphTable[static_cast<unsigned char>(*c)])
                for (const demo::GlyphTexel& t : row)
                    present += t.present;
            EXPECT_GT(present, 0) << "no glyph for '" << *c << "' in \"" << text << "\"";
        }
    }
}

// ---- stripes ----

TEST_F(Greetings, EachStripeDropsOneDrawThenPlacesAndSizesItselfFromTwo) {
    demo::showSceneFrame(demo::scene5, 0);
    // From state 1 the (p, q) pairs are (67, 34), (69, 24), (58, 62), (5, 45),
    // (27, 61), (95, 42).
    const std::vector<std::vector<double>> expected{
        {0, 76, 640, 2, 0.8f, 0.8f, 0.99f},   {0, 178, 640, 1, 0.7f, 0.8f, 0.99f},
        {0, 368, 640, 12, 0.8f, 0.8f, 0.89f}, {0, 190, 640, 11, 0.8f, 0.8f, 0.99f},
        {0, 440, 640, 3, 0.8f, 0.7f, 0.99f},  {0, 386, 640, 17, 0.9f, 0.7f, 0.85f},
    };
    EXPECT_EQ(stripeClears(), expected);
}

TEST_F(Greetings, StripesSpanTheirWholeRangesTruncated) {
    // Every draw 0 and every draw 99: the lowest and highest places and sizes;
    // 99 x 0.9 = 89.1 and 99 x 3.9 = 386.1 truncate, as do 4.96 and 40.6.
    // Either way each sample falls far from the blobs and draws nothing.
    scriptedrand::returnConstant(0);
    demo::showSceneFrame(demo::scene5, 0);
    const std::vector<std::vector<double>> lowest{
        {0, 16, 640, 1, 0.8f, 0.8f, 0.99f},   {0, 116, 640, 1, 0.7f, 0.8f, 0.99f},
        {0, 316, 640, 10, 0.8f, 0.8f, 0.89f}, {0, 186, 640, 10, 0.8f, 0.8f, 0.99f},
        {0, 416, 640, 1, 0.8f, 0.7f, 0.99f},  {0, 16, 640, 1, 0.9f, 0.7f, 0.85f},
    };
    EXPECT_EQ(stripeClears(), lowest);

    glrec::reset();
    scriptedrand::returnConstant(99);
    demo::showSceneFrame(demo::scene5, 0);
    // Stripe 5 lies above the screen: it is passed on unclamped all the same.
    const std::vector<std::vector<double>> highest{
        {0, 105, 640, 4, 0.8f, 0.8f, 0.99f},  {0, 205, 640, 4, 0.7f, 0.8f, 0.99f},
        {0, 405, 640, 13, 0.8f, 0.8f, 0.89f}, {0, 275, 640, 13, 0.8f, 0.8f, 0.99f},
        {0, 505, 640, 4, 0.8f, 0.7f, 0.99f},  {0, 402, 640, 40, 0.9f, 0.7f, 0.85f},
    };
    EXPECT_EQ(stripeClears(), highest);
}

// ---- the blob shell ----

TEST_F(Greetings, FrameDraws240019TimesWhateverTheTime) {
    recorded::expectDrawsEveryFrame(demo::scene5, {0, 1234, 9000}, 240019);
}

TEST(BlobShellBand, BoundsAreStrict) {
    recorded::expectStrictBand(demo::inBlobShellBand, 2.2, 3.3);
    // A sample on a centre gives an infinite term.
    EXPECT_FALSE(demo::inBlobShellBand(std::numeric_limits<double>::infinity()));
}

TEST_F(Greetings, ShellCubesFaceTheCameraOnTheLatticeAtTheStart) {
    demo::showSceneFrame(demo::scene5, 0);
    const auto boxes = recorded::rotatedBoxes();
    // About 49,200 of the million lattice points lie in the band at 0 ms.
    EXPECT_GT(boxes.size(), 3500u);
    EXPECT_LT(boxes.size(), 4300u);
    for (const auto& b : boxes) {
        ASSERT_EQ(b.size[0], 0.07f);
        ASSERT_EQ(b.rotation[0], 0);
        ASSERT_EQ(b.rotation[1], 1);
        ASSERT_EQ(b.rotation[2], 0.3f);
        ASSERT_EQ(b.rotation[3], -0.5f);
        for (double c : {b.at[0], b.at[1], b.at[2]}) {
            const int k = int(std::lround((c + 2) / 0.04));
            ASSERT_EQ(c, float(k * 0.04 - 2)) << "off the lattice";
            ASSERT_LT(k, 100);
        }
        ASSERT_EQ(b.colour[0], float(0.4 * b.at[0] + 0.8));
        ASSERT_EQ(b.colour[2], float(0.3 * (b.at[1] + b.at[2] + 1)));
    }

    // Later the cloud turns and every cube turns back by the same angle.
    glrec::reset();
    demo::showSceneFrame(demo::scene5, 1234);
    const Call turn = glrec::callsOf(Fn::Rotatef)[0];
    EXPECT_EQ(turn, call(Fn::Rotatef, {float(123.4), 1, 0.3f, -0.5f}));
    const auto later = recorded::rotatedBoxes();
    ASSERT_FALSE(later.empty());
    EXPECT_EQ(later[0].rotation[0], -turn.arg[0]);
}

// ---- the greeting and the hand-over ----

TEST_F(Greetings, GreetingIsTheLastDrawsRowDrawnInEyeSpaceInsideItsStrip) {
    // Scene 4 hands over its state: blending possibly on, scissor off.
    glrec::State handed;
    handed.blend = true;
    handed.depthTest = true;
    glrec::setState(handed);

    // Every draw 16: row 16, two words of 11 characters.
    scriptedrand::returnConstant(16);
    demo::showSceneFrame(demo::scene5, 0);
    const auto& calls = glrec::calls();
    EXPECT_EQ(calls[0], call(Fn::Disable, {GL_BLEND}));

    const std::size_t depthClear = stripClear();
    ASSERT_TRUE(depthClear >= 3 && depthClear < calls.size());
    const std::vector<Call> strip{call(Fn::LoadIdentity), call(Fn::Enable, {GL_SCISSOR_TEST}),
                                  call(Fn::Scissor, {0, 100, 640, 80}),
                                  call(Fn::Clear, {GL_DEPTH_BUFFER_BIT})};
    EXPECT_EQ(glrec::describe(std::vector<Call>(calls.begin() + depthClear - 3,
                                                calls.begin() + depthClear + 1)),
              glrec::describe(strip));

    // One glyph per character, spaces too, centred 1.2 apart from (-12, -5, -20).
    const char* text = demo::greetingNames[16];
    std::vector<Call> glyphs;
    for (std::size_t i = depthClear; i < calls.size(); ++i) {
        if (calls[i].fn == Fn::Translatef) glyphs.push_back(calls[i]);
    }
    ASSERT_EQ(glyphs.size(), std::strlen(text)) << "glyphTable is empty, so no texel boxes";
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        EXPECT_EQ(glyphs[i], call(Fn::Translatef, {float(-12 + double(i) * 1.2f), -5, -20}));
    EXPECT_EQ(calls.back(), call(Fn::SwapBuffers));

    const glrec::State& s = glrec::state();
    EXPECT_TRUE(s.scissorTest);
    EXPECT_EQ(s.scissorBox, (std::array<int, 4>{0, 100, 640, 80}));
    EXPECT_FALSE(s.blend);
    EXPECT_TRUE(s.depthTest);
    EXPECT_EQ(s.matrixMode, GL_MODELVIEW);
    EXPECT_EQ(s.modelviewDepth, 1);
    EXPECT_EQ(s.clearColor, (std::array<float, 4>{0.9f, 0.7f, 0.85f, 1}));
    EXPECT_EQ(s.misuse, 0);
}

TEST_F(Greetings, RowIsTheDrawModulo34) {
    // 33 + 34 would be row 33 too; 15 shows row 5's text.
    for (int draw : {0, 15, 32, 33}) {
        glrec::reset();
        scriptedrand::returnConstant(draw);
        demo::showSceneFrame(demo::scene5, 0);
        const std::size_t depthClear = stripClear();
        std::size_t glyphs = 0;
        for (std::size_t i = depthClear; i < glrec::calls().size(); ++i)
            glyphs += glrec::calls()[i].fn == Fn::Translatef;
        EXPECT_EQ(glyphs, std::strlen(demo::greetingNames[draw % 34])) << "draw " << draw;
    }
}

}  // namespace
