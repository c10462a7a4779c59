// The capture's files: PNG pictures come out upright from bottom-up rows, and
// WAV files carry exactly the samples given under a header that matches them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "capture/image_files.h"
#include "music/offline.h"
#include "tests/capture/capture_support.h"

namespace {

class CaptureFiles : public ::testing::Test {
protected:
    void SetUp() override { folder = testsupport::makeTemporaryFolder("capture-test"); }
    void TearDown() override { testsupport::removeFolder(folder); }
    std::string folder;
    demo::WavWriter writer;
};

TEST_F(CaptureFiles, PicturesAreWrittenUprightFromBottomUpRows) {
    // 3x2: the bottom row (given first) red, green, blue; the top row grey.
    const std::vector<std::uint8_t> bottomUp = {255, 0, 0, 0,  255, 0,  0,   0,   255,
                                                9,   9, 9, 99, 99,  99, 199, 199, 199};
    const std::string path = folder + "/p.png";
    std::string error;
    ASSERT_TRUE(demo::writePng(path.c_str(), bottomUp.data(), 3, 2, error)) << error;

    capturetest::Picture picture;
    ASSERT_TRUE(capturetest::readPicture(path, picture, error)) << error;
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    const std::vector<std::uint8_t> topDown = {9,   9, 9, 99, 99,  99, 199, 199, 199,
                                               255, 0, 0, 0,  255, 0,  0,   0,   255};
    EXPECT_EQ(picture.rgb, topDown);
}

TEST_F(CaptureFiles, APictureThatCannotBeWrittenSaysWhy) {
    const std::uint8_t pixel[3] = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(demo::writePng((folder + "/missing/p.png").c_str(), pixel, 1, 1, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(CaptureFiles, AWavFileHoldsItsSamplesUnderAMatchingHeader) {
    const std::string path = folder + "/a.wav";
    std::string error;
    ASSERT_TRUE(demo::openWav(writer, path.c_str(), demo::offlineRate, 0, error)) << error;
    const std::int16_t first[] = {1, -1, 32767, -32768};
    const std::int16_t second[] = {300, -300};
    ASSERT_TRUE(demo::appendWav(writer, first, 2, error)) << error;
    ASSERT_TRUE(demo::appendWav(writer, second, 1, error)) << error;
    ASSERT_TRUE(demo::closeWav(writer, error)) << error;

    const capturetest::WavFile wav = capturetest::readWav(path);
    ASSERT_TRUE(wav.valid);
    EXPECT_EQ(wav.format, 1);  // PCM
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.bits, 16);
    EXPECT_EQ(wav.rate, 44100);
    EXPECT_EQ(wav.dataSize, 12u);
    EXPECT_EQ(wav.riffSize, 36u + 12u);
    EXPECT_EQ(wav.samples, (std::vector<std::int16_t>{1, -1, 32767, -32768, 300, -300}));
    // The byte rate and block alignment players use to time the file.
    const std::string bytes = testsupport::readFileBytes(path);
    EXPECT_EQ(
        std::uint8_t(bytes[28]) | std::uint8_t(bytes[29]) << 8 | std::uint8_t(bytes[30]) << 16,
        44100 * 4);
    EXPECT_EQ(bytes[32], 4);
}

TEST_F(CaptureFiles, AnEmptyWavFileIsStillAValidOne) {
    const std::string path = folder + "/empty.wav";
    std::string error;
    ASSERT_TRUE(demo::openWav(writer, path.c_str(), demo::offlineRate, 0, error)) << error;
    ASSERT_TRUE(demo::closeWav(writer, error)) << error;
    const capturetest::WavFile wav = capturetest::readWav(path);
    ASSERT_TRUE(wav.valid);
    EXPECT_EQ(wav.dataSize, 0u);
    EXPECT_EQ(wav.riffSize, 36u);
}

TEST_F(CaptureFiles, AWavFileThatCannotBeOpenedSaysWhy) {
    std::string error;
    EXPECT_FALSE(
        demo::openWav(writer, (folder + "/missing/a.wav").c_str(), demo::offlineRate, 0, error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    const std::int16_t s[2] = {0, 0};
    EXPECT_FALSE(demo::appendWav(writer, s, 1, error));
}

}  // namespace
