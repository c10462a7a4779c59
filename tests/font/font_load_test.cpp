// Font loading from images the tests write: where each character's cell is,
// what each pixel index means, and every file that is refused.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "font/font.h"
#include "tests/support/commands.h"

namespace {

using demo::glyphTable;
using demo::GlyphTexel;

constexpr int fileBytes = 17170;
constexpr int pixelStart = 786;

// A well-formed font image with every pixel at index 1 (empty).
std::vector<unsigned char> emptyImage() {
    std::vector<unsigned char> bytes(fileBytes, 0);
    const unsigned char header[18] = {0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 0, 1, 64, 0, 8, 0};
    std::memcpy(bytes.data(), header, sizeof header);
    std::memset(bytes.data() + pixelStart, 1, 256 * 64);
    return bytes;
}

void setPixel(std::vector<unsigned char>& bytes, int storedRow, int column, unsigned char index) {
    bytes[pixelStart + storedRow * 256 + column] = index;
}

bool sameTexel(const GlyphTexel& t, int r, int g, int b, int present) {
    return t.red == r && t.green == g && t.blue == b && t.present == present;
}

int presentTexels() {
    int n = 0;
    for (const auto& glyph : glyphTable)
        for (const auto& row : glyph)
            for (const GlyphTexel& t : row)
                n += t.present;
    return n;
}

// Each test gets its own directory for the files it writes, and a glyph
// table filled with a pattern no image produces, to see whether it changed.
class FontLoading : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testsupport::makeTemporaryFolder("font_load_test");
        ASSERT_FALSE(dir.empty());
        std::memset(glyphTable, 0x5A, sizeof glyphTable);
    }
    void TearDown() override { testsupport::removeFolder(dir); }

    std::string write(const std::vector<unsigned char>& bytes, const char* name = "font.tga") {
        const std::string path = dir + "/" + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (!bytes.empty()) {
            EXPECT_EQ(std::fwrite(bytes.data(), bytes.size(), 1, f), 1u);
        }
        std::fclose(f);
        return path;
    }

    bool load(const std::vector<unsigned char>& bytes) {
        return demo::readFontImage(write(bytes).c_str(), problem);
    }

    // The file is refused with a message containing expected, and the glyph
    // table still holds its pattern.
    void expectRefused(const std::string& path, const std::string& expected) {
        problem = "stale";
        EXPECT_FALSE(demo::readFontImage(path.c_str(), problem));
        EXPECT_NE(problem.find(expected), std::string::npos) << "message: " << problem;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << "message: " << problem;
        bool untouched = true;
        const auto* raw = reinterpret_cast<const unsigned char*>(glyphTable);
        for (std::size_t i = 0; i < sizeof glyphTable; ++i)
            untouched = untouched && raw[i] == 0x5A;
        EXPECT_TRUE(untouched) << "a refused file changed the glyph table";
    }
    void expectRefused(const std::vector<unsigned char>& bytes, const std::string& expected) {
        expectRefused(write(bytes), expected);
    }

    std::string dir;
    std::string problem;
};

// Cells: where each code's pixels are in the file.

TEST_F(FontLoading, CellOfCode97StartsAtStoredRow39Column8) {
    auto bytes = emptyImage();
    setPixel(bytes, 39, 8, 0);    // top left of the cell
    setPixel(bytes, 39, 15, 2);   // top right
    setPixel(bytes, 32, 8, 200);  // bottom left
    setPixel(bytes, 32, 15, 0);   // bottom right
    ASSERT_TRUE(load(bytes)) << problem;
    EXPECT_TRUE(problem.empty());
    EXPECT_TRUE(sameTexel(glyphTable[97][0][0], 60, 60, 230, 1));
    EXPECT_TRUE(sameTexel(glyphTable[97][0][7], 255, 245, 155, 1));
    EXPECT_TRUE(sameTexel(glyphTable[97][7][0], 255, 245, 155, 1));
    EXPECT_TRUE(sameTexel(glyphTable[97][7][7], 60, 60, 230, 1));
    EXPECT_EQ(presentTexels(), 4);
}

TEST_F(FontLoading, Codes0And32And255SitAtTheirCorners) {
    auto bytes = emptyImage();
    setPixel(bytes, 63, 0, 0);   // top-left pixel of the picture: code 0
    setPixel(bytes, 55, 0, 0);   // cell column 0, cell row 1: code 32
    setPixel(bytes, 0, 255, 0);  // bottom-right pixel of the picture: code 255
    setPixel(bytes, 56, 7, 2);   // bottom right of code 0
    setPixel(bytes, 7, 248, 2);  // top left of code 255
    ASSERT_TRUE(load(bytes)) << problem;
    EXPECT_TRUE(glyphTable[0][0][0].present);
    EXPECT_TRUE(glyphTable[32][0][0].present);
    EXPECT_TRUE(glyphTable[255][7][7].present);
    EXPECT_TRUE(glyphTable[0][7][7].present);
    EXPECT_TRUE(glyphTable[255][0][0].present);
    EXPECT_EQ(presentTexels(), 5);
}

TEST_F(FontLoading, EveryCellIsFoundByItsCode) {
    // Each code marks one texel of its own cell at (code mod 8, code / 8 mod 8):
    // a mix-up of cells or of rows and columns shows as a texel elsewhere.
    auto bytes = emptyImage();
    for (int code = 0; code < 256; ++code) {
        const int j = code % 8, k = (code / 8) % 8;
        setPixel(bytes, 63 - 8 * (code / 32) - j, 8 * (code % 32) + k, 2);
    }
    ASSERT_TRUE(load(bytes)) << problem;
    EXPECT_EQ(presentTexels(), 256);
    for (int code = 0; code < 256; ++code)
        EXPECT_TRUE(glyphTable[code][code % 8][(code / 8) % 8].present) << "code " << code;
}

// Pixel indices.

TEST_F(FontLoading, Index0IsBlueIndex1EmptyAndEveryOtherIndexTheSameYellow) {
    auto bytes = emptyImage();
    const unsigned char indices[8] = {0, 1, 2, 3, 100, 200, 254, 255};
    for (int k = 0; k < 8; ++k)
        setPixel(bytes, 63, k, indices[k]);
    ASSERT_TRUE(load(bytes)) << problem;
    EXPECT_TRUE(sameTexel(glyphTable[0][0][0], 60, 60, 230, 1));
    EXPECT_TRUE(sameTexel(glyphTable[0][0][1], 0, 0, 0, 0));
    for (int k = 2; k < 8; ++k)
        EXPECT_TRUE(sameTexel(glyphTable[0][0][k], 255, 245, 155, 1)) << "index " << +indices[k];
}

TEST_F(FontLoading, TheColourMapIsNotConsulted) {
    auto bytes = emptyImage();
    std::memset(bytes.data() + 18, 0x77, 768);
    setPixel(bytes, 63, 0, 0);
    ASSERT_TRUE(load(bytes)) << problem;
    EXPECT_TRUE(sameTexel(glyphTable[0][0][0], 60, 60, 230, 1));
}

TEST_F(FontLoading, BytesAfterTheImageAreIgnored) {
    auto bytes = emptyImage();
    setPixel(bytes, 63, 0, 0);
    bytes.resize(fileBytes + 26, 0xEE);  // room for a TGA footer
    ASSERT_TRUE(load(bytes)) << problem;
    EXPECT_EQ(presentTexels(), 1);
}

// Refused files: glyphTable keeps what it had and the message says why.

TEST_F(FontLoading, MissingOrUnreadableFilesAreRefused) {
    expectRefused(dir + "/absent.tga", "cannot open: No such file or directory");
    expectRefused(dir, "cannot read: Is a directory");
    // A FIFO is refused at once: nothing waits for a writer that never comes.
    ASSERT_EQ(mkfifo((dir + "/fifo.tga").c_str(), 0600), 0);
    expectRefused(dir + "/fifo.tga", "is not a regular file");
}

TEST_F(FontLoading, ShortFilesAreRefusedWithTheirLength) {
    auto bytes = emptyImage();
    bytes.resize(fileBytes - 1);
    expectRefused(bytes, "is 17169 bytes long; a 256x64 font image is 17170 bytes");
    bytes.resize(786);
    expectRefused(bytes, "is 786 bytes long");
    bytes.resize(17);
    expectRefused(bytes, "is 17 bytes long");
    expectRefused(std::vector<unsigned char>{}, "is 0 bytes long");
}

TEST_F(FontLoading, EachWrongHeaderFieldIsRefusedByName) {
    struct Case {
        int offset;
        unsigned char value;
        const char* expected;
    };
    const Case cases[] = {
        {0, 4, "identification field"},
        {1, 0, "colour map type 0, image type 1"},
        {2, 2, "colour map type 1, image type 2"},  // true colour
        {2, 9, "colour map type 1, image type 9"},  // run-length encoded
        {3, 1, "from index 1"},
        {5, 128, "colour map of 384 entries"},  // 0x0180
        {6, 0, "colour map of 0 entries"},
        {7, 32, "entries of 32 bits"},
        {7, 16, "entries of 16 bits"},
        {12, 128, "is 384x64 pixels"},
        {13, 0, "is 0x64 pixels"},
        {14, 32, "is 256x32 pixels"},
        {15, 1, "is 256x320 pixels"},
        {16, 16, "has 16 bits per pixel"},
        {17, 0x20, "not stored bottom row first"},  // top-left origin
        {17, 0x10, "not stored bottom row first"},  // right-to-left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("header byte " + std::to_string(c.offset));
        auto bytes = emptyImage();
        bytes[c.offset] = c.value;
        expectRefused(bytes, c.expected);
    }
}

TEST_F(FontLoading, AWrongHeaderIsNamedBeforeAShortLength) {
    auto bytes = emptyImage();
    bytes[12] = 128;  // a 128x64 image is shorter than the font image
    bytes[13] = 0;
    bytes.resize(18 + 768 + 128 * 64);
    expectRefused(bytes, "is 128x64 pixels; expected 256x64");
}

// Start-up.

class LoadFont : public FontLoading {
protected:
    void SetUp() override {
        FontLoading::SetUp();
        ASSERT_NE(getcwd(previousDir, sizeof previousDir), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previousDir), 0);
        FontLoading::TearDown();
    }
    char previousDir[4096];
};

TEST_F(LoadFont, ReadsFontpreTgaFromTheWorkingDirectorySilently) {
    auto bytes = emptyImage();
    setPixel(bytes, 39, 8, 0);
    write(bytes, "fontpre.tga");
    testing::internal::CaptureStderr();
    std::string problem = "left over";
    EXPECT_TRUE(demo::loadFont(problem));
    EXPECT_EQ(problem, "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(sameTexel(glyphTable[97][0][0], 60, 60, 230, 1));
}

TEST_F(LoadFont, AMissingOrBrokenFontSaysWhatIsWrongWithoutPrinting) {
    testing::internal::CaptureStderr();
    std::string problem;
    EXPECT_FALSE(demo::loadFont(problem));
    EXPECT_EQ(problem, "cannot open: No such file or directory");

    auto bytes = emptyImage();
    bytes[2] = 10;  // run-length encoded true colour
    write(bytes, "fontpre.tga");
    EXPECT_FALSE(demo::loadFont(problem));
    EXPECT_EQ(problem,
              "is not an uncompressed colour-mapped image (colour map type 1, image type 10; "
              "expected 1 and 1)");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
