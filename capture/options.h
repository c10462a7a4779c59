// The capture program's command line, and the frames it implies.
//
// Frames are numbered from 0, the first frame of the show; frame n is drawn
// at the virtual time n / fps seconds. A range chooses which frames are
// written; every frame before it is still simulated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "music/offline.h"
#include "font/font.h"
#include "scenes/frame.h"
#include "show/show_facts.h"

namespace demo {

// x264's presets, fastest first, and the ones a video is made with unless
// --preset says otherwise: superfast, and above 1280x720 (the upload sizes),
// where the encoder is most of the cost, ultrafast (docs/capture.md gives the
// measurements).
constexpr const char* videoPresets[] = {"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                        "medium",    "slow",      "slower",   "veryslow"};
constexpr const char defaultVideoPreset[] = "superfast";
constexpr const char largeVideoPreset[] = "ultrafast";
constexpr long largeVideoPixels = 1280L * 720;

enum class OutputKind {
    none,       // no pictures (a WAV or a timeline only)
    pngFolder,  // numbered PNG files in a folder
    mp4,        // one H.264 + AAC video file
};

struct CaptureOptions {
    OutputKind outputKind = OutputKind::none;
    std::string outputPath;
    std::string wavPath;                 // empty: no WAV file (an MP4 makes its own)
    std::int32_t wavRate = offlineRate;  // the WAV's sample rate (--rate)
    std::string timelinePath;            // empty: no timeline
    std::string modulePath = songFileName;
    std::string fontPath = fontFileName;
    int fps = 60;
    // The pictures' and the video's size: the 640x480 picture scaled sharply
    // into the largest 4:3 rectangle that fits, black bars around it.
    int width = pictureWidth, height = pictureHeight;
    std::int64_t firstFrame = 0;  // first frame written
    std::int64_t endFrame = -1;   // one past the last frame written; -1: up to the quit row
    std::vector<std::int64_t> onlyFrames;  // sorted, distinct; empty: every frame of the range
    bool quiet = false;                    // no progress bar even on a terminal
    // Pictures and video through the reduced-flashing filter
    // (picture/flash_filter.h).
    bool reduceFlashing = false;
    // The video encoder's speed for its size: one of x264's presets, from
    // ultrafast to veryslow (videoPresets).
    std::string preset = defaultVideoPreset;  // or largeVideoPreset, by the size
};

enum class ParseResult { run, help, error };

// Reads the command line (argv[0] is the program). On error returns
// ParseResult::error with a one-line reason in error (no program name, no
// newline); on --help returns ParseResult::help. Uses getopt_long, so it may
// reorder argv.
ParseResult parseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error);

// The --help text, ending in a newline, with the program's name
// (process/process.h).
std::string captureUsage();

// Reads a time of the show: seconds as a decimal ("12.5", "12.5s", "20s") or
// minutes and seconds ("1:05.25"), at most 24 hours. Gives the first frame
// whose time is at or after it, at fps frames per second. False when the text
// is not such a time.
bool parseTimeToFrame(const std::string& text, int fps, std::int64_t& frame);

// Longest show the options may ask for, and how long a capture without an
// end waits for the quit row before it gives up.
constexpr std::int64_t longestRangeSeconds = 24 * 60 * 60;
constexpr std::int64_t quitRowWaitSeconds = 60 * 60;

// The longest side --size takes: the width of 8K video.
constexpr int largestSide = 7680;

// The sizes recommended for a video site, by their short names: 4:3 at the
// heights of HD and 4K video, so that no bars are burnt in (the site's
// player adds its own to fit the screen).
struct UploadSize {
    const char* name;
    int width, height;
};
constexpr UploadSize uploadSizes[] = {{"1080p", 1440, 1080}, {"2160p", 2880, 2160}};

// A frame as the capture reads it back and writes it: width x height pixels
// of pixelBytes each, rows bottom first. RGB for pictures; RGBA for the video
// encoder, which the GL driver reads back without a conversion.
struct FrameFormat {
    int width = 0, height = 0;
    int pixelBytes = 3;
    std::size_t bytes = 0;
};
FrameFormat frameFormat(const CaptureOptions& options);

}  // namespace demo
