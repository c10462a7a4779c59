// The built capture program, run as a user runs it, against the short test
// module (orders 0 to 12 in about 6.5 s) and the built font: frames match the
// committed references, the scenes and the music stay in lockstep, repeated
// runs give the same bytes, and mistakes end it with one line and a non-zero
// status. Runs on the X display of the test run; skips without one.
#include <dirent.h>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "music/offline.h"
#include "assets/song/song.h"
#include "music/player.h"
#include "tests/capture/capture_support.h"

namespace {

using namespace capturetest;

// The rate the references were captured at (see make-references.sh).
constexpr int referenceFps = 10;
// A channel may move this far, and this share of the pixels further, before a
// frame counts as changed: room for a Mesa update, none for a wrong frame.
constexpr int channelTolerance = 3;
constexpr double pixelShareTolerance = 0.005;

// A sanitizer's exit report follows the program's own line in such a build.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitizerBuild = true;
#else
constexpr bool sanitizerBuild = false;
#endif

class CaptureProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (DISPLAY is not set)";
        folder = testsupport::makeTemporaryFolder("capture-test");
    }
    void TearDown() override { testsupport::removeFolder(folder); }

    RunResult run(const std::string& arguments, const std::string& environment = "") {
        return runCapture(folder, "--quiet " + testInputs() + " " + arguments, environment);
    }
    std::string path(const std::string& name) const { return folder + "/" + name; }

    std::string folder;
};

// The reference frames: the numbers in the names of the committed pictures.
std::vector<long long> referenceFrames() {
    std::vector<long long> frames;
    if (DIR* d = opendir(referencesFolder().c_str())) {
        while (dirent* e = readdir(d)) {
            long long frame = 0;
            char tail[8] = {};
            if (std::sscanf(e->d_name, "frame-%lld.%4s", &frame, tail) == 2 &&
                std::string(tail) == "png")
                frames.push_back(frame);
        }
        closedir(d);
    }
    std::sort(frames.begin(), frames.end());
    return frames;
}

std::string frameName(long long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06lld.png", frame);
    return name;
}

TEST_F(CaptureProgram, ChosenFramesOfEverySceneMatchTheReferences) {
    const std::vector<long long> frames = referenceFrames();
    ASSERT_FALSE(frames.empty()) << "no pictures in " << referencesFolder()
                                 << " (tests/capture/make-references.sh makes them)";
    std::string list;
    for (long long f : frames)
        list += (list.empty() ? "" : ",") + std::to_string(f);
    const RunResult r = run("--fps " + std::to_string(referenceFps) + " --only " + list +
                            " -o frames --timeline timeline.txt");
    ASSERT_EQ(r.status, 0) << r.errorText;

    // The references show every scene.
    std::set<int> scenes;
    for (const TimelineFrame& t : readTimeline(path("timeline.txt"))) {
        if (std::binary_search(frames.begin(), frames.end(), t.frame)) scenes.insert(t.scene);
    }
    EXPECT_EQ(scenes, (std::set<int>{1, 2, 3, 4, 5, 6}));

    for (long long frame : frames) {
        const std::string name = frameName(frame);
        Picture actual, reference;
        std::string error;
        ASSERT_TRUE(readPicture(referencesFolder() + "/" + name, reference, error)) << error;
        ASSERT_TRUE(readPicture(path("frames/" + name), actual, error)) << name << ": " << error;
        ASSERT_EQ(actual.width, reference.width);
        ASSERT_EQ(actual.height, reference.height);

        const std::string diffPath = failureFolder() + "/diff-" + name;
        const std::string actualCopy = failureFolder() + "/actual-" + name;
        std::remove(diffPath.c_str());  // left by an earlier run
        std::remove(actualCopy.c_str());
        const PictureDifference d = comparePictures(actual, reference, channelTolerance, diffPath);
        const long allowed = long(pixelShareTolerance * reference.width * reference.height);
        if (d.differing > allowed) {
            testsupport::commandOutput("cp '" + path("frames/" + name) + "' '" + actualCopy + "'");
            ADD_FAILURE() << name << ": " << d.differing << " of "
                          << reference.width * reference.height << " pixels differ by more than "
                          << channelTolerance << " (largest difference " << d.largest << "); see "
                          << diffPath << " (red: differing pixels) and " << actualCopy;
        }
    }
}

TEST_F(CaptureProgram, FastForwardedFramesLeaveExactlyTheStateOfARunFromTheStart) {
    // Every frame drawn, from the start...
    RunResult r = run("--fps 10 -o all --timeline timeline.txt");
    ASSERT_EQ(r.status, 0) << r.errorText;
    // ...against the same frames after fast-forwards: one frame a little
    // into each scene, and a range that starts in the particle fountain,
    // which carries its pool and the blend state of the scene before it.
    std::vector<long long> chosen;
    int scene = 0;
    for (const TimelineFrame& t : readTimeline(path("timeline.txt"))) {
        if (t.scene != scene) chosen.push_back(t.frame + 3);
        scene = t.scene;
    }
    ASSERT_EQ(chosen.size(), 6u);
    std::string list;
    for (long long f : chosen)
        list += (list.empty() ? "" : ",") + std::to_string(f);
    r = run("--fps 10 --only " + list + " -o chosen");
    ASSERT_EQ(r.status, 0) << r.errorText;
    const long long rangeStart = chosen[3] + 1;
    r = run("--fps 10 --frames " + std::to_string(rangeStart) + "-" +
            std::to_string(rangeStart + 2) + " -o range");
    ASSERT_EQ(r.status, 0) << r.errorText;

    const auto same = [&](const std::string& folder, long long frame) {
        const std::string name = frameName(frame);
        return testsupport::readFileBytes(path(folder + "/" + name)) ==
               testsupport::readFileBytes(path("all/" + name));
    };
    for (long long frame : chosen)
        EXPECT_TRUE(same("chosen", frame)) << "frame " << frame;
    for (long long frame = rangeStart; frame <= rangeStart + 2; ++frame)
        EXPECT_TRUE(same("range", frame)) << "frame " << frame;
}

// The first audio frame (sample index) of each music order 2, 4, ..., 12,
// found by rendering the test module one audio frame at a time.
std::vector<std::int64_t> orderChangeSamples() {
    std::vector<std::int64_t> starts;
    const std::uint32_t flags = BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET;
    if (!demo::openOfflineMusic(testModulePath().c_str(), flags)) return starts;
    std::int16_t pair[2];
    std::uint32_t next = 2;
    for (std::int64_t i = 0; i < 20 * demo::offlineRate && next <= 12; ++i) {
        demo::renderOfflineMusic(pair, 1);
        while (next <= 12 && (demo::offlineMusicPosition() & 0xFFFF) >= next) {
            starts.push_back(i);
            next += 2;
        }
    }
    demo::closeOfflineMusic();
    return starts;
}

TEST_F(CaptureProgram, EachSceneStartsAtTheFirstFrameAtOrAfterItsOrderChange) {
    const std::vector<std::int64_t> changes = orderChangeSamples();
    ASSERT_EQ(changes.size(), 6u) << "the test module does not reach order 12";

    // 10 fps puts the test module's order changes exactly on frames (the
    // "at" of "at or after"); 7 fps puts them between frames.
    for (int fps : {10, 7}) {
        SCOPED_TRACE("at " + std::to_string(fps) + " fps");
        const RunResult r =
            run("--fps " + std::to_string(fps) + " --timeline timeline.txt --wav music.wav");
        ASSERT_EQ(r.status, 0) << r.errorText;
        const std::vector<TimelineFrame> timeline = readTimeline(path("timeline.txt"));
        ASSERT_FALSE(timeline.empty());

        // The first frame at or after sample s: ceil(s * fps / 44100).
        std::vector<long long> expected;
        for (std::int64_t s : changes)
            expected.push_back((s * fps + demo::offlineRate - 1) / demo::offlineRate);
        std::vector<long long> starts;
        for (std::size_t i = 1; i < timeline.size(); ++i) {
            if (timeline[i].scene != timeline[i - 1].scene) {
                starts.push_back(timeline[i].frame);
                EXPECT_EQ(timeline[i].elapsedMs, 0) << "frame " << timeline[i].frame;
            }
        }
        starts.push_back(timeline.back().frame + 1);  // the quit row: no frame drawn
        EXPECT_EQ(starts, expected);

        // Every frame drawn, in order, on the virtual clock, and the music of
        // exactly those frames: frames / fps seconds.
        for (std::size_t i = 0; i < timeline.size(); ++i) {
            EXPECT_EQ(timeline[i].frame, (long long)i);
            EXPECT_EQ(timeline[i].clockMs, int(i * 1000 / fps));
        }
        const WavFile wav = readWav(path("music.wav"));
        ASSERT_TRUE(wav.valid);
        EXPECT_EQ(wav.samples.size() / 2, timeline.size() * demo::offlineRate / fps);
        EXPECT_EQ(wav.dataSize, wav.samples.size() * 2);
    }
}

TEST_F(CaptureProgram, TheWavOfARangeIsTheMusicOfExactlyThoseFrames) {
    // Frames 5 to 28 at 24 fps: from audio frame floor(5 * 44100 / 24) = 9187
    // up to floor(29 * 44100 / 24) = 53287, one second.
    const RunResult r = run("--fps 24 --frames 5-28 --wav range.wav");
    ASSERT_EQ(r.status, 0) << r.errorText;
    const WavFile wav = readWav(path("range.wav"));
    ASSERT_TRUE(wav.valid);
    ASSERT_EQ(wav.samples.size(), 2u * 44100u);

    // The same audio frames rendered in one go by the music layer.
    std::vector<std::int16_t> all(2 * 53287);
    ASSERT_TRUE(demo::openOfflineMusic(testModulePath().c_str(),
                                       BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET));
    demo::renderOfflineMusic(all.data(), 53287);
    demo::closeOfflineMusic();
    const std::vector<std::int16_t> expected(all.begin() + 2 * 9187, all.end());
    EXPECT_TRUE(wav.samples == expected) << "the WAV is not the music of frames 5 to 28";
    EXPECT_NE(std::count(expected.begin(), expected.end(), 0), std::ptrdiff_t(expected.size()))
        << "the test module is silent there";
}

TEST_F(CaptureProgram, TwoRunsWriteIdenticalPicturesAndMusic) {
    for (const char* name : {"one", "two"}) {
        const RunResult r =
            run(std::string("--fps 12 --only 3,20,41,70 -o ") + name + " --wav " + name + ".wav");
        ASSERT_EQ(r.status, 0) << r.errorText;
    }
    for (int frame : {3, 20, 41, 70}) {
        const std::string one = testsupport::readFileBytes(path("one/" + frameName(frame)));
        EXPECT_FALSE(one.empty()) << frame;
        EXPECT_TRUE(one == testsupport::readFileBytes(path("two/" + frameName(frame))))
            << "frame " << frame;
    }
    const std::string wav = testsupport::readFileBytes(path("one.wav"));
    EXPECT_EQ(wav.size(), 44u + 4u * (71u * 44100u / 12u - 3u * 44100u / 12u));
    EXPECT_TRUE(wav == testsupport::readFileBytes(path("two.wav")));
    // Only the frames asked for are written.
    EXPECT_EQ(testsupport::commandOutput("ls '" + path("one") + "' | wc -l"), "4");
}

TEST_F(CaptureProgram, AVideoIsMadeAsVideoSitesAskInStepAndTheSameEveryTime) {
    if (!testsupport::haveCommand("ffmpeg") || !testsupport::haveCommand("ffprobe"))
        GTEST_SKIP() << "ffmpeg or ffprobe is not installed";
    // Frames 8 to 27 at 10 fps: two seconds, across the change to scene 2;
    // the WAV at the video's rate is the sound the video was made with.
    for (const char* name : {"one", "two"}) {
        const RunResult r = run(std::string("--fps 10 --frames 8-27 -o ") + name + ".mp4 --wav " +
                                name + ".wav --rate 48000");
        ASSERT_EQ(r.status, 0) << r.errorText;
    }
    const std::string video = path("one.mp4");
    EXPECT_EQ(probeVideo(video, "stream=codec_name,profile,sample_rate", "a"),
              "codec_name=aac\nprofile=LC\nsample_rate=48000");
    const std::string tags =
        "color_range=tv\ncolor_space=bt709\ncolor_transfer=bt709\n"
        "color_primaries=bt709";
    EXPECT_EQ(
        probeVideo(video,
                   "stream=codec_name,profile,width,height,r_frame_rate,nb_frames,color_range,"
                   "color_space,color_transfer,color_primaries",
                   "v"),
        "codec_name=h264\nprofile=High\nwidth=640\nheight=480\n" + tags +
            "\nr_frame_rate=10/1\nnb_frames=20");
    // The same tags in the H.264 stream itself, where the container's are lost.
    EXPECT_EQ(testsupport::commandOutput(
                  "ffmpeg -v error -i '" + video +
                  "' -c copy -bsf:v h264_mp4toannexb -f h264 - | ffprobe -v error -of "
                  "default=noprint_wrappers=1 -show_entries stream=color_range,color_space,"
                  "color_transfer,color_primaries -"),
              tags);
    EXPECT_EQ(probeVideo(video, "format_tags=title,comment,creation_time"),
              "TAG:title=boxdemo\nTAG:comment=demo-capture 1.0.0");
    EXPECT_NEAR(std::atof(probeVideo(video, "format=duration").substr(9).c_str()), 2.0, 0.05);
    EXPECT_EQ(testsupport::readFileBytes(video).find("elst"), std::string::npos) << "an edit list";

    // Keyframes at most 5 frames (half a second) apart, each a closed GOP's
    // start (IDR: nothing refers across it); at most 2 B-frames in a row.
    const std::string types = testsupport::commandOutput(
        "ffprobe -v error -select_streams v -show_entries frame=pict_type,key_frame -of csv=p=0 '" +
        video + "' | tr -d ',\n'");
    ASSERT_EQ(types.size(), 40u) << types;
    int sinceKey = 0, bRun = 0;
    for (std::size_t i = 0; i < types.size(); i += 2) {
        sinceKey = types[i] == '1' ? 0 : sinceKey + 1;
        bRun = types[i + 1] == 'B' ? bRun + 1 : 0;
        EXPECT_LT(sinceKey, 5) << types;
        EXPECT_LE(bRun, 2) << types;
    }

    // The picture starts at time 0; the sound is in step with it at both ends
    // (the AAC's own delay is no offset) and lasts as long.
    EXPECT_EQ(probeVideo(video, "stream=start_time"), "start_time=0.000000\nstart_time=0.000000");
    const WavFile wav = readWav(path("one.wav"));
    ASSERT_EQ(wav.rate, 48000);
    ASSERT_EQ(wav.samples.size(), 2u * 96000u);
    const std::vector<std::int16_t> sound = decodeVideoSound(video);
    EXPECT_NEAR(double(sound.size()) / 2, 96000, 1024);
    EXPECT_EQ(soundOffset(wav.samples, sound, 6000, 4096, 600), 0) << "at the start";
    EXPECT_EQ(soundOffset(wav.samples, sound, 96000 - 6000, 4096, 600), 0) << "at the end";

    EXPECT_TRUE(testsupport::readFileBytes(video) == testsupport::readFileBytes(path("two.mp4")))
        << "two runs made different videos";
    EXPECT_TRUE(wav.samples == readWav(path("two.wav")).samples);
}

TEST_F(CaptureProgram, AVideoDecodedAsItsTagsSayHasThePicturesColours) {
    if (!testsupport::haveCommand("ffmpeg") || !testsupport::haveCommand("ffprobe"))
        GTEST_SKIP() << "ffmpeg or ffprobe is not installed";
    // HD, where a player takes untagged video for BT.709: frame 40 at 10 fps
    // as a picture and as the middle frame of a video.
    RunResult r = run("--fps 10 --size 1920x1080 --only 40 -o pictures");
    ASSERT_EQ(r.status, 0) << r.errorText;
    r = run("--fps 10 --size 1920x1080 --frames 39-41 -o hd.mp4");
    ASSERT_EQ(r.status, 0) << r.errorText;
    Picture picture, decoded;
    std::string error;
    ASSERT_TRUE(readPicture(path("pictures/" + frameName(40)), picture, error)) << error;
    ASSERT_TRUE(decodeVideoFrame(path("hd.mp4"), 1, decoded, error)) << error;
    ASSERT_EQ(decoded.rgb.size(), picture.rgb.size());
    // Chroma at half resolution blurs colour edges, and the encoder is lossy:
    // at most 3% of the pixels more than 8/255 off.
    const PictureDifference d =
        comparePictures(decoded, picture, 8, failureFolder() + "/hd-colours.png");
    EXPECT_LE(double(d.differing) / (1920.0 * 1080.0), 0.03) << d.differing << " pixels off";
}

TEST_F(CaptureProgram, ASizeScalesThePicturesAndTheVideo) {
    // Twice the picture's size: each pixel of the 640x480 frame, doubled.
    RunResult r = run("--fps 10 --only 12 -o small");
    ASSERT_EQ(r.status, 0) << r.errorText;
    r = run("--fps 10 --only 12 --size 1280x960 -o large");
    ASSERT_EQ(r.status, 0) << r.errorText;
    Picture small, large;
    std::string error;
    ASSERT_TRUE(readPicture(path("small/" + frameName(12)), small, error)) << error;
    ASSERT_TRUE(readPicture(path("large/" + frameName(12)), large, error)) << error;
    ASSERT_EQ(large.width, 1280);
    ASSERT_EQ(large.height, 960);
    long notDoubled = 0;
    for (int y = 0; y < 960; ++y) {
        for (int x = 0; x < 1280; ++x) {
            for (int c = 0; c < 3; ++c)
                notDoubled +=
                    large.rgb[(y * 1280 + x) * 3 + c] != small.rgb[((y / 2) * 640 + x / 2) * 3 + c];
        }
    }
    EXPECT_EQ(notDoubled, 0);

    // A video takes the size too.
    if (!testsupport::haveCommand("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
    r = run("--fps 10 --frames 0-1 --size 1280x720 -o wide.mp4");
    ASSERT_EQ(r.status, 0) << r.errorText;
    EXPECT_EQ(testsupport::commandOutput("ffprobe -v error -of default=noprint_wrappers=1 "
                                         "-select_streams v -show_entries stream=width,height '" +
                                         path("wide.mp4") + "'"),
              "width=1280\nheight=720");
}

TEST_F(CaptureProgram, ReducedFlashingShowsEachFrameOnTheWayFromTheLastShownToTheNew) {
    ASSERT_EQ(run("--frames 0-29 -o " + path("plain")).status, 0);
    ASSERT_EQ(run("--reduce-flashing --frames 0-29 -o " + path("reduced")).status, 0);
    // Every channel of a shown frame lies between the last shown frame and
    // the frame drawn, and moves off the last one wherever the two differ;
    // the first frame is shown as drawn.
    Picture last, shown, drawn;
    std::string error;
    long outside = 0, stuck = 0, heldBack = 0;
    for (long long frame = 0; frame < 30; ++frame) {
        ASSERT_TRUE(readPicture(path("plain/" + frameName(frame)), drawn, error)) << error;
        ASSERT_TRUE(readPicture(path("reduced/" + frameName(frame)), shown, error)) << error;
        if (frame == 0) {
            EXPECT_EQ(shown.rgb, drawn.rgb);
        }
        for (std::size_t i = 0; frame > 0 && i < shown.rgb.size(); ++i) {
            const int from = last.rgb[i], to = drawn.rgb[i], now = shown.rgb[i];
            outside += now < std::min(from, to) || now > std::max(from, to);
            stuck += from != to && now == from;
            heldBack += std::abs(to - from) > 16 && now != to;
        }
        last = shown;
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(stuck, 0);
    EXPECT_GT(heldBack, 10000) << "the filter held back no large change";
}

TEST_F(CaptureProgram, MistakesEndItWithOneLineAndAFailureStatus) {
    struct Case {
        std::string arguments, environment, mentions;
    };
    const std::string absentPath = "PATH='" + folder + "/nothing-here'";
    const Case cases[] = {
        {"--bogus -o frames", "", "--bogus"},
        {"--fps 0 -o frames", "", "--fps"},
        {"--module missing.it -o frames", "", "cannot load missing.it"},
        {"--module cut.it -o frames", "",
         "cannot load cut.it: the file is cut short: it has 3000 "},
        // A name with a newline in it stays on the one line, escaped.
        {"--module 'a\nb.it' -o frames", "", "cannot load a\\nb.it: No such file or directory\n"},
        {"--font missing.tga -o frames", "", "cannot load missing.tga"},
        {"--fps 10 --frames 0-3 -o show.mp4", absentPath, "ffmpeg"},
        // ffmpeg's errors in several lines: the first, quoted, ends the one.
        {"--fps 10 --frames 0-3 -o show.mp4", "PATH=\"$PWD/fake:$PATH\"",
         "ffmpeg failed with status 1 (\"av_write: No space left on device\") while encoding"},
        {"--fps 10 -o frames", "env -u DISPLAY", "DISPLAY"},
        // A range that starts after the show's quit row, and a frame past it.
        {"--fps 10 --frames 200-210 -o frames", "", "ends at frame 60"},
        {"--fps 10 --only 5,61 -o frames", "", "frame 61 does not exist"},
        {"--fps 10 --from 5.9 --to 7 -o frames", "", "which ends at frame 60 (6.00 s at 10 fps)"},
        // A disc that fills up: a file-size limit fails the second picture's
        // write, or the music's, and the system's reason is given.
        {"--fps 10 --only 0,12 -o pictures", "ulimit -f 8;",
         "cannot write pictures/frame-000012.png: File too large"},
        {"--fps 10 --wav music.wav", "ulimit -f 8;", "cannot write music.wav: File too large"},
    };
    // An ffmpeg that fails as on a full disc.
    ASSERT_EQ(mkdir(path("fake").c_str(), 0700), 0);
    std::ofstream(path("fake/ffmpeg")) << "#!/bin/sh\ncat >/dev/null\necho '[mp4 @ 0x5] "
                                          "av_write: No space left on device' >&2\necho "
                                          "'Error writing trailer' >&2\nexit 1\n";
    ASSERT_EQ(chmod(path("fake/ffmpeg").c_str(), 0700), 0);
    // The test module cut short.
    std::ofstream(path("cut.it"), std::ios::binary)
        << testsupport::readFileBytes(testModulePath()).substr(0, 3000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.environment + " " + c.arguments);
        const RunResult r = run(c.arguments, c.environment);
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(r.errorText.rfind("demo-capture: ", 0), 0u) << r.errorText;
        const std::string firstLine = r.errorText.substr(0, r.errorText.find('\n') + 1);
        EXPECT_NE(firstLine.find(c.mentions), std::string::npos) << r.errorText;
        if (!sanitizerBuild) {
            EXPECT_EQ(firstLine, r.errorText) << "more than one line";
        }
    }
    EXPECT_FALSE(fileExists(path("show.mp4")));
    // The complete picture stays; the one that failed leaves nothing behind.
    EXPECT_EQ(testsupport::commandOutput("ls -A '" + path("pictures") + "'"), "frame-000000.png");
    EXPECT_EQ(testsupport::commandOutput("ls -A '" + folder + "'"), "cut.it\nfake\npictures");
}

TEST_F(CaptureProgram, OutputsThatAreNotPlainFilesAreWrittenIntoNotReplaced) {
    // A named pipe with a reader gets the timeline; a symbolic link's target
    // gets the WAV, and the link stays a link; standard output takes a
    // timeline too.
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink("music.wav", path("link.wav").c_str()), 0);
    const testsupport::CommandResult r = testsupport::runCommand(
        "cd '" + folder + "' && (wc -l < pipe > lines &) && '" + programPath() + "' --quiet " +
        testInputs() + " --fps 10 --timeline pipe --wav link.wav && sleep 0.2 && cat lines && '" +
        programPath() + "' --quiet " + testInputs() + " --fps 10 --timeline /dev/stdout | wc -l");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "61\n61\n") << "a heading and a line per frame, through each";
    struct stat info;
    ASSERT_EQ(lstat(path("pipe").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(lstat(path("link.wav").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    const WavFile music = readWav(path("music.wav"));
    EXPECT_TRUE(music.valid);
    EXPECT_EQ(music.samples.size(), std::size_t(2 * 6 * 44100)) << "six seconds of music";
}

// ---- ending cleanly ----

TEST_F(CaptureProgram, OutputsAreCheckedBeforeAnythingIsWritten) {
    // Onto the module it reads: refused, and the module is untouched.
    ASSERT_EQ(std::system(("cp '" + testModulePath() + "' '" + path("song.it") + "'").c_str()), 0);
    const std::string song = testsupport::readFileBytes(path("song.it"));
    RunResult r = runCapture(
        folder, "--quiet --font '" + fontPath() + "' --module song.it " + "--wav song.it");
    EXPECT_EQ(r.status, 2) << r.errorText;
    EXPECT_EQ(testsupport::readFileBytes(path("song.it")), song);
    // Two outputs in one file.
    r = run("--wav x.wav --timeline ./x.wav");
    EXPECT_EQ(r.status, 2) << r.errorText;
    EXPECT_FALSE(fileExists(path("x.wav")));
    // A video into a folder that does not exist: said before any frame is
    // drawn, not by ffmpeg at the end.
    if (testsupport::haveCommand("ffmpeg")) {
        r = run("--fps 10 -o missing/show.mp4");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.errorText.rfind("demo-capture: cannot write missing/show.mp4: ", 0), 0u)
            << r.errorText;
    }
    // A help text that cannot be written is a failure too.
    EXPECT_EQ(
        testsupport::runCommand("'" + programPath() + "' --help >/dev/full 2>/dev/null").status, 1);
}

TEST_F(CaptureProgram, MusicThatLoopsWithoutReachingTheEndFailsAtOnce) {
    // Songs that never reach the show's end: three orders that loop, one
    // order that loops, and three orders of which the second jumps to
    // itself. Each is found by the time the music repeats itself, before
    // anything is written.
    struct Case {
        demo::Module module;
        const char* says;
    };
    const demo::ToneModuleLayout threeOrders{"loop", 3, 32, 1, 160, 12000.0, 64};
    demo::Module jumpsToItself = demo::composeToneModule(threeOrders);
    demo::ModuleEvent jump;
    jump.row = 31;
    jump.effect = 'B';
    jump.param = 1;
    jumpsToItself.patterns[std::size_t(jumpsToItself.orders[1])].events.push_back(jump);
    const Case cases[] = {
        {demo::composeToneModule(threeOrders), "went back to order 0 at frame 15 "},
        {demo::composeToneModule({"one", 1, 32, 1, 160, 12000.0, 64}), "came back to order 0, "},
        {jumpsToItself, "came back to order 1, "},
    };
    for (const Case& c : cases) {
        std::string error;
        ASSERT_TRUE(demo::writeModule(c.module, path("loop.it").c_str(), error)) << error;
        const RunResult r = runCapture(folder, "--quiet --font '" + fontPath() + "' --fps 10 " +
                                                   "--module loop.it --timeline t.txt");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.errorText.find(c.says), std::string::npos) << r.errorText;
        EXPECT_NE(r.errorText.find("choose a range"), std::string::npos) << r.errorText;
        EXPECT_FALSE(fileExists(path("t.txt"))) << "an unfinished timeline was left";
    }
}

TEST_F(CaptureProgram, AReaderThatHasGoneFailsEachOutputWithOneLineAndLeavesNothing) {
    // Each kind of output into a pipe whose reader has gone: a WAV, a
    // timeline beside pictures (it fails before frame 300 is drawn), a video
    // (through a link named .mp4).
    ASSERT_EQ(symlink("/dev/stdout", path("out.mp4").c_str()), 0);
    ASSERT_EQ(mkdir(path("tmp").c_str(), 0700), 0);
    struct Case {
        std::string arguments, written;
    };
    const Case cases[] = {{"--wav /dev/stdout", "/dev/stdout"},
                          {"--fps 60 --only 0,300 -o frames --timeline /dev/stdout", "/dev/stdout"},
                          {"--fps 10 --frames 0-9 -o out.mp4", "out.mp4"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        if (c.written == "out.mp4" && !testsupport::haveCommand("ffmpeg")) continue;
        const int status = testsupport::runIntoGonePipe(
            "cd '" + folder + "' && TMPDIR=tmp '" + programPath() + "' --quiet " + testInputs() +
                " " + c.arguments + " 2>errors.txt",
            1);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(testsupport::readFileBytes(path("errors.txt")),
                  "demo-capture: cannot write " + c.written + ": Broken pipe\n");
    }
    EXPECT_EQ(
        testsupport::commandOutput("cd '" + folder + "' && find . -name '.*' -o -path './tmp/*'"),
        ".")
        << "hidden or intermediate files were left";

    // A failure whose standard error is such a pipe still ends with its own
    // status.
    for (const auto& [arguments, status] :
         {std::pair<std::string, int>{"--module missing.it --wav x.wav", 1}, {"--bogus", 2}}) {
        EXPECT_EQ(testsupport::runIntoGonePipe(
                      "cd '" + folder + "' && '" + programPath() + "' " + arguments, 2),
                  status)
            << arguments;
    }
}

TEST_F(CaptureProgram, AnInterruptedVideoLeavesNothingBehind) {
    if (!testsupport::haveCommand("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    ASSERT_EQ(mkdir(path("tmp").c_str(), 0700), 0);
    const testsupport::CommandResult r = testsupport::runCommand(
        "cd '" + folder + "' && TMPDIR='" + path("tmp") + "' '" + programPath() + "' --quiet " +
        testInputs() + " -o show.mp4 2>/dev/null & pid=$!; sleep 1.5; kill -INT $pid; " +
        "wait $pid; echo $?");
    EXPECT_EQ(r.output, "130\n");
    EXPECT_EQ(testsupport::commandOutput("ls -A '" + folder + "' '" + path("tmp") + "'"),
              folder + ":\ntmp\n\n" + path("tmp") + ":");
}

TEST_F(CaptureProgram, AFailedRunRemovesTheFoldersItMadeButNoneItFound) {
    ASSERT_EQ(mkdir(path("kept").c_str(), 0777), 0);
    // A file size limit of 1 KiB: the first picture cannot be written.
    const testsupport::CommandResult r = testsupport::runCommand(
        "cd '" + folder + "' && ulimit -f 1 && '" + programPath() + "' --quiet " + testInputs() +
        " --frames 0-2 -o kept/new/deep/frames 2>/dev/null; echo $?");
    EXPECT_EQ(r.output, "1\n");
    EXPECT_EQ(testsupport::commandOutput("ls -A '" + folder + "' '" + path("kept") + "'"),
              folder + ":\nkept\n\n" + path("kept") + ":");
}

}  // namespace
