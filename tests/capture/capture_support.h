// Test support for the capture program: running the built program, reading
// what it writes (PNG pictures, WAV files, timelines) and comparing pictures
// with a tolerance.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/commands.h"

namespace capturetest {

// The built program and the data files the tests capture with: the short
// test module (orders 0 to 12 in about 6.5 s) and the built font.
std::string programPath();
std::string testModulePath();
std::string fontPath();
std::string referencesFolder();
// A folder in the build tree for what a failing test leaves to look at.
std::string failureFolder();

struct RunResult {
    int status = -1;        // the exit status; -1 when it did not exit normally
    std::string errorText;  // everything written to standard error
};

// Runs demo-capture with arguments (already quoted for the shell), with
// environment assignments such as "PATH=/nowhere" before it, in folder.
RunResult runCapture(const std::string& folder, const std::string& arguments,
                     const std::string& environment = "");

// The module and font options for the test module and the built font.
std::string testInputs();

bool fileExists(const std::string& path);

// An 8-bit RGB picture, rows from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};
bool readPicture(const std::string& path, Picture& picture, std::string& error);

struct PictureDifference {
    long differing = 0;  // pixels with a channel further than the tolerance from the reference
    int largest = 0;     // the largest channel difference anywhere
};
// Compares two pictures of the same size; when any pixel differs writes a
// diff picture to diffPath (the reference dimmed to grey, differing pixels
// red).
PictureDifference comparePictures(const Picture& actual, const Picture& reference, int tolerance,
                                  const std::string& diffPath);

// One line of a --timeline file.
struct TimelineFrame {
    long long frame;
    int clockMs;
    unsigned order, row;
    int scene, elapsedMs;
};
std::vector<TimelineFrame> readTimeline(const std::string& path);

// A WAV file's format fields and samples, as the tests check them.
struct WavFile {
    bool valid = false;
    int format = 0, channels = 0, bits = 0;
    long rate = 0;
    std::uint32_t riffSize = 0, dataSize = 0;
    std::vector<std::int16_t> samples;  // interleaved left, right
};
WavFile readWav(const std::string& path);

// What ffprobe says of an MP4: the entries asked for (as -show_entries takes
// them, e.g. "stream=codec_name") of the streams chosen ("v", "a", or "" for
// all), one "key=value" a line.
std::string probeVideo(const std::string& path, const std::string& entries,
                       const std::string& streams = "");

// The video's frame at index (from 0) as 8-bit RGB, converted with the matrix
// and range its tags name (untagged: BT.709 for HD, else BT.601, limited
// range) and the colour interpolated, as a player does.
bool decodeVideoFrame(const std::string& path, int index, Picture& picture, std::string& error);

// The video's sound decoded, without the edit lists a player might apply
// (there should be none): interleaved stereo int16 at its own rate.
std::vector<std::int16_t> decodeVideoSound(const std::string& path);

// The offset in sample pairs (within +-range) at which decoded sound best
// matches the wanted sound over count pairs from wanted's pair at: 0 when
// the two are in step.
int soundOffset(const std::vector<std::int16_t>& wanted, const std::vector<std::int16_t>& decoded,
                std::size_t at, std::size_t count, int range);

}  // namespace capturetest
