// The font image the build writes (fontpre.tga beside the program): it loads,
// its glyphs suit block text, and an independent reader, ImageMagick, sees
// the same picture in the same colours.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "font/font.h"
#include "tests/support/commands.h"

namespace {

using demo::glyphTable;
using demo::GlyphTexel;

const char* const imagePath = DEMO_BINARY_DIR "/fontpre.tga";

enum Colour { Empty, Blue, Yellow };

Colour colourOf(const GlyphTexel& t) {
    if (!t.present) return Empty;
    return t.blue == 230 ? Blue : Yellow;
}

int count(int code, Colour colour) {
    int n = 0;
    for (const auto& row : glyphTable[code])
        for (const GlyphTexel& t : row)
            n += colourOf(t) == colour;
    return n;
}

// The rows (or columns) of a glyph that hold any texel, as a bit set.
int usedRows(int code) {
    int rows = 0;
    for (int j = 0; j < 8; ++j)
        for (int k = 0; k < 8; ++k)
            if (glyphTable[code][j][k].present) rows |= 1 << j;
    return rows;
}
int usedColumns(int code) {
    int columns = 0;
    for (int j = 0; j < 8; ++j)
        for (int k = 0; k < 8; ++k)
            if (glyphTable[code][j][k].present) columns |= 1 << k;
    return columns;
}

// The output of a shell command, or "" when it fails.
std::string run(const std::string& command) {
    const testsupport::CommandResult result = testsupport::runCommand(command);
    return result.status == 0 ? result.output : "";
}

bool haveImageMagick() {
    return std::system(
               "command -v identify >/dev/null 2>&1 && command -v convert >/dev/null 2>&1") == 0;
}

class FontImage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::memset(glyphTable, 0, sizeof glyphTable);
        loaded = demo::readFontImage(imagePath, problem);
    }
    void SetUp() override { ASSERT_TRUE(loaded) << imagePath << ": " << problem; }
    static bool loaded;
    static std::string problem;
};
bool FontImage::loaded = false;
std::string FontImage::problem;

// The glyphs.

TEST_F(FontImage, SpaceAndTheCodesWithoutPicturesAreEmpty) {
    for (int code = 0; code <= 32; ++code)
        EXPECT_EQ(usedRows(code), 0) << "code " << code;
    for (int code = 127; code < 256; ++code)
        EXPECT_EQ(usedRows(code), 0) << "code " << code;
}

TEST_F(FontImage, EveryPrintableCodeHasAGlyphAndNoTwoAreAlike) {
    std::set<std::string> seen;
    for (int code = 33; code <= 126; ++code) {
        EXPECT_GT(count(code, Yellow), 0) << "code " << code << " '" << char(code) << "'";
        std::string pattern;
        for (const auto& row : glyphTable[code])
            for (const GlyphTexel& t : row)
                pattern += char('0' + colourOf(t));
        EXPECT_TRUE(seen.insert(pattern).second) << "'" << char(code) << "' repeats a glyph";
    }
}

TEST_F(FontImage, LettersAndDigitsShowAYellowBodyWithABlueShadow) {
    for (int code = 33; code <= 126; ++code) {
        if (std::isalnum(code)) {
            EXPECT_GT(count(code, Blue), 0) << "'" << char(code) << "'";
            EXPECT_GT(count(code, Yellow), count(code, Blue)) << "'" << char(code) << "'";
        }
        // The blue is a drop shadow: each blue texel lies one down and one
        // right of a yellow one.
        for (int j = 0; j < 8; ++j) {
            for (int k = 0; k < 8; ++k) {
                const bool blue = colourOf(glyphTable[code][j][k]) == Blue;
                const bool underBody =
                    j > 0 && k > 0 && colourOf(glyphTable[code][j - 1][k - 1]) == Yellow;
                EXPECT_TRUE(!blue || underBody)
                    << "'" << char(code) << "' row " << j << " column " << k;
            }
        }
    }
    EXPECT_GT(count('a', Blue), 0);
    EXPECT_GT(count('a', Yellow), 0);
}

TEST_F(FontImage, LowerCaseLettersKeepClearOfTheNextCharacterAtThreeQuartersOfACell) {
    // The greetings advance 1.2 per cell 1.6 wide: columns 6 and 7 of each
    // character fall on columns 0 and 1 of the next one.
    for (int code = 'a'; code <= 'z'; ++code)
        EXPECT_EQ(usedColumns(code) & 0xC0, 0) << "'" << char(code) << "'";
}

TEST_F(FontImage, GlyphsAreUprightAndNotMirrored) {
    EXPECT_EQ(usedRows('_'), 0xC0) << "the underscore belongs at the bottom";
    EXPECT_EQ(usedRows('^') & 0xF0, 0) << "the caret belongs at the top";
    EXPECT_EQ(usedRows('.') & 0x1F, 0) << "the full stop belongs at the bottom";
    // '/' rises to the right: its top row lies right of its bottom row.
    EXPECT_GT(glyphTable[int('/')][0][5].present + glyphTable[int('/')][0][4].present, 0);
    EXPECT_EQ(glyphTable[int('/')][0][0].present + glyphTable[int('/')][0][1].present, 0);
    EXPECT_EQ(glyphTable[int('\\')][0][4].present + glyphTable[int('\\')][0][5].present, 0);
}

// The file as another reader sees it.

TEST_F(FontImage, ImageMagickSeesA256By64ImageOf256MappedColours) {
    if (!haveImageMagick()) GTEST_SKIP() << "ImageMagick's identify and convert are not installed";
    const std::string path = imagePath;
    EXPECT_EQ(run("identify -format '%m %w %h %z %r' '" + path + "'"),
              "TGA 256 64 8 PseudoClass sRGB ");
    EXPECT_NE(run("identify -verbose '" + path + "'").find("Colormap entries: 256\n"),
              std::string::npos);
}

TEST_F(FontImage, ImageMagickShowsEveryPixelInTheColoursTheShowDraws) {
    if (!haveImageMagick()) GTEST_SKIP() << "ImageMagick's identify and convert are not installed";
    // One line per pixel, "x,y: (r,g,b)  #RRGGBB  name", y from the top once
    // the picture is turned by its stored origin.
    const std::string text = run("convert '" + std::string(imagePath) + "' -auto-orient txt:-");
    ASSERT_FALSE(text.empty());
    int pixels = 0, mismatches = 0;
    std::size_t at = text.find('\n') + 1;
    while (at < text.size()) {
        int x, y;
        unsigned r, g, b;
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d,%d: (%u,%u,%u)", &x, &y, &r, &g, &b), 5) << line;
        const GlyphTexel& t = glyphTable[32 * (y / 8) + x / 8][y % 8][x % 8];
        const bool same =
            t.present ? (r == t.red && g == t.green && b == t.blue) : (r == 0 && g == 0 && b == 0);
        if (!same && ++mismatches <= 5) ADD_FAILURE() << "pixel " << x << "," << y << ": " << line;
        ++pixels;
    }
    EXPECT_EQ(pixels, 256 * 64);
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
