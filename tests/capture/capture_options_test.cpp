// The capture program's command line: times and ranges become the right
// frames, and every mistake is refused with a reason.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "capture/options.h"

namespace {

using demo::CaptureOptions;
using demo::OutputKind;
using demo::ParseResult;

struct Parsed {
    ParseResult result;
    CaptureOptions options;
    std::string error;
};

Parsed parse(std::initializer_list<const char*> arguments) {
    std::vector<std::string> text = {"demo-capture"};
    text.insert(text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& t : text)
        argv.push_back(&t[0]);
    argv.push_back(nullptr);
    Parsed p;
    p.result = demo::parseCaptureOptions(int(text.size()), argv.data(), p.options, p.error);
    return p;
}

std::int64_t frameAt(const char* time, int fps) {
    std::int64_t frame = -1;
    EXPECT_TRUE(demo::parseTimeToFrame(time, fps, frame)) << time;
    return frame;
}

TEST(CaptureTimes, ATimeGivesTheFirstFrameAtOrAfterIt) {
    EXPECT_EQ(frameAt("12.5s", 60), 750);
    EXPECT_EQ(frameAt("12.5", 60), 750);
    EXPECT_EQ(frameAt("20s", 60), 1200);
    EXPECT_EQ(frameAt("0", 60), 0);
    EXPECT_EQ(frameAt("1:05.5", 10), 655);
    EXPECT_EQ(frameAt("0:00.001", 60), 1);  // just after frame 0: the next one
    EXPECT_EQ(frameAt(".5", 7), 4);         // 3.5 frames in: frame 4
    // Read as exact decimals: 0.1 s at 10 fps is frame 1 itself, which a
    // binary double (0.1000000000000000055...) would round up to frame 2.
    EXPECT_EQ(frameAt("0.1", 10), 1);
    EXPECT_EQ(frameAt("0.3", 10), 3);
    EXPECT_EQ(frameAt("1440:00", 1), 86400);  // the longest show asked for: 24 hours
}

TEST(CaptureTimes, TextThatIsNotATimeIsRefused) {
    std::int64_t frame = 0;
    for (const char* bad : {"", "s", "abc", "-1", "1.", "1.5.2", "1:5", "1:60", "1:05s", "12ms",
                            "1e3", "0.1234567", "86401", "99999999999999999999"})
        EXPECT_FALSE(demo::parseTimeToFrame(bad, 60, frame)) << "'" << bad << "'";
}

TEST(CaptureOptionsRanges, FramesAreAnInclusiveRangeAndToIsExclusive) {
    Parsed p = parse({"-o", "out", "--frames", "100-200"});
    ASSERT_EQ(p.result, ParseResult::run) << p.error;
    EXPECT_EQ(p.options.firstFrame, 100);
    EXPECT_EQ(p.options.endFrame, 201);

    p = parse({"-o", "out", "--frames", "40-"});
    EXPECT_EQ(p.options.firstFrame, 40);
    EXPECT_EQ(p.options.endFrame, -1);

    p = parse({"-o", "out", "--frames", "7"});
    EXPECT_EQ(p.options.firstFrame, 7);
    EXPECT_EQ(p.options.endFrame, 8);

    // --from 12.5s --to 20s at 60 fps: the 450 frames from 12.5 s up to but
    // not including the one at 20 s. The rate applies wherever it is given.
    p = parse({"--to", "20s", "-o", "out", "--from", "12.5s", "--fps", "60"});
    ASSERT_EQ(p.result, ParseResult::run) << p.error;
    EXPECT_EQ(p.options.firstFrame, 750);
    EXPECT_EQ(p.options.endFrame, 1200);
    p = parse({"--from", "1", "--fps", "25", "-o", "out"});
    EXPECT_EQ(p.options.firstFrame, 25);
    EXPECT_EQ(p.options.endFrame, -1);
}

TEST(CaptureOptionsRanges, OnlyKeepsDistinctFramesInOrderAndSpansThem) {
    const Parsed p = parse({"-o", "out", "--only", "600,30,90,30"});
    ASSERT_EQ(p.result, ParseResult::run) << p.error;
    EXPECT_EQ(p.options.onlyFrames, (std::vector<std::int64_t>{30, 90, 600}));
    EXPECT_EQ(p.options.firstFrame, 30);
    EXPECT_EQ(p.options.endFrame, 601);
}

TEST(CaptureOptionsOutputs, TheOutputPathChoosesPicturesOrVideo) {
    Parsed p = parse({"--output", "frames"});
    EXPECT_EQ(p.options.outputKind, OutputKind::pngFolder);
    p = parse({"-o", "show.mp4"});
    EXPECT_EQ(p.options.outputKind, OutputKind::mp4);
    p = parse({"-o", "show.MP4"});
    EXPECT_EQ(p.options.outputKind, OutputKind::mp4);
    p = parse({"--wav", "music.wav"});
    ASSERT_EQ(p.result, ParseResult::run) << p.error;
    EXPECT_EQ(p.options.outputKind, OutputKind::none);
    EXPECT_EQ(p.options.wavPath, "music.wav");
}

TEST(CaptureOptionsOutputs, DefaultsAreTheDemosFilesAtSixtyFramesPerSecond) {
    const Parsed p = parse({"-o", "out"});
    ASSERT_EQ(p.result, ParseResult::run);
    EXPECT_EQ(p.options.modulePath, "demosong.it");
    EXPECT_EQ(p.options.fontPath, "fontpre.tga");
    EXPECT_EQ(p.options.fps, 60);
    EXPECT_EQ(p.options.firstFrame, 0);
    EXPECT_EQ(p.options.endFrame, -1);
    EXPECT_EQ(p.options.wavRate, 44100);
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 480);
    EXPECT_FALSE(p.options.reduceFlashing);
    EXPECT_TRUE(parse({"--reduce-flashing", "-o", "out"}).options.reduceFlashing);
    EXPECT_EQ(parse({"--help"}).result, ParseResult::help);
    EXPECT_NE(std::string(demo::captureUsage()).find("--only"), std::string::npos);
    EXPECT_NE(std::string(demo::captureUsage()).find("--size WxH"), std::string::npos);
    EXPECT_NE(std::string(demo::captureUsage()).find("--rate HZ"), std::string::npos);
}

TEST(CaptureOptionsOutputs, TheEncodersPresetFollowsTheSizeUnlessOneIsGiven) {
    EXPECT_EQ(parse({"-o", "show.mp4"}).options.preset, "superfast");
    EXPECT_EQ(parse({"-o", "show.mp4", "--size", "1280x720"}).options.preset, "superfast");
    EXPECT_EQ(parse({"-o", "show.mp4", "--size", "1080p"}).options.preset, "ultrafast");
    EXPECT_EQ(parse({"-o", "show.mp4", "--size", "3840x2160", "--preset", "medium"}).options.preset,
              "medium");
    EXPECT_EQ(parse({"-o", "show.mp4", "--preset", "fastest"}).result, ParseResult::error);
}

TEST(CaptureOptionsOutputs, SizeIsWidthByHeightAndAVideoNeedsEvenSides) {
    // The upload sizes by their short names.
    Parsed p = parse({"--size", "2160p", "-o", "show.mp4", "--frames", "0-9"});
    ASSERT_EQ(p.result, ParseResult::run) << p.error;
    EXPECT_EQ(p.options.width, 2880);
    EXPECT_EQ(p.options.height, 2160);
    p = parse({"--size", "1080p", "-o", "show.mp4"});
    EXPECT_EQ(p.options.width, 1440);
    EXPECT_EQ(p.options.height, 1080);
    // Pictures may have odd sides, up to 7680 each.
    p = parse({"-o", "out", "--size", "7680x1"});
    ASSERT_EQ(p.result, ParseResult::run) << p.error;
    EXPECT_EQ(p.options.width, 7680);
    EXPECT_EQ(p.options.height, 1);
}

TEST(CaptureOptionsErrors, MistakesAreRefusedWithAReasonThatNamesThem) {
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* mentions;
    };
    const Case cases[] = {
        {{"-o", "out", "--bogus"}, "'--bogus'"},
        {{"-o", "out", "-x"}, "'-x'"},
        {{"-o", "out", "--quiet=1"}, "'--quiet=1'"},
        {{"-o"}, "'-o' needs a value"},
        {{"-o", "out", "--wav="}, "'--wav=' needs a value"},
        {{"-o", "out", "stray"}, "'stray'"},
        {{"-o", "out", "--fps", "0"}, "--fps"},
        {{"-o", "out", "--fps", "1001"}, "--fps"},
        {{"-o", "out", "--fps", "29.97"}, "--fps"},
        {{"-o", "out", "--from", "soon"}, "--from"},
        {{"-o", "out", "--from", "5", "--to", "5"}, "no frame"},
        {{"-o", "out", "--frames", "200-100"}, "--frames"},
        {{"-o", "out", "--frames", "a-b"}, "--frames"},
        {{"-o", "out", "--only", "1,,2"}, "--only"},
        {{"-o", "out", "--only", "1", "--frames", "1-2"}, "choose one"},
        {{"-o", "out", "--from", "1", "--frames", "1-2"}, "choose one"},
        {{"-o", "show.mp4", "--only", "1,2"}, "video"},
        {{"-o", "out", "--size", "0x480"}, "--size"},
        {{"-o", "out", "--size", "640"}, "--size"},
        {{"-o", "out", "--size", "640x-480"}, "--size"},
        {{"-o", "out", "--size", "7681x480"}, "--size"},
        {{"-o", "show.mp4", "--frames", "0-9", "--size", "641x480"}, "even sides"},
        {{"--wav", "a.wav", "--rate", "7999"}, "--rate"},
        {{"--wav", "a.wav", "--rate", "48k"}, "--rate"},
        {{"-o", "show.mp4", "--rate", "48000"}, "give --wav"},
        {{"--fps", "30"}, "nothing to write"},
        {{"-o", "show.mkv"}, "not .mkv"},
        {{"-o", "show.WebM"}, "not .webm"},
    };
    for (const Case& c : cases) {
        const Parsed p = parse(c.arguments);
        std::string line;
        for (const char* a : c.arguments)
            line += std::string(" ") + a;
        EXPECT_EQ(p.result, ParseResult::error) << line;
        EXPECT_NE(p.error.find(c.mentions), std::string::npos) << line << ": " << p.error;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << line;
    }
}

}  // namespace
