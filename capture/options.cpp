// The capture program's command line. See options.h.
#include "capture/options.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "process/process.h"

namespace demo {

static const char usageText[] =
    "Usage: %s [options]\n"
    "Renders the show frame by frame on a virtual clock, with its music rendered\n"
    "in step, and writes numbered PNG pictures, a WAV file or an MP4 video.\n"
    "\n"
    "Output:\n"
    "  -o, --output PATH     a folder for PNG files (frame-000123.png), or a file\n"
    "                        ending in .mp4 (H.264 video in BT.709 colours, AAC\n"
    "                        audio at 48000 Hz; needs ffmpeg)\n"
    "      --wav FILE        the music of the captured frames, 16-bit stereo at\n"
    "                        44100 Hz (the show's own rate)\n"
    "      --rate HZ         the WAV's sample rate instead, 8000 to 192000, e.g.\n"
    "                        48000: rendered at that rate, not resampled (a\n"
    "                        video's sound is always 48000 Hz)\n"
    "      --timeline FILE   one line per frame simulated: frame, clock, music order\n"
    "                        and row, scene, the scene's elapsed milliseconds\n"
    "      --preset NAME     the video encoder's speed for the file's size: x264's\n"
    "                        ultrafast, superfast, veryfast, faster, fast, medium,\n"
    "                        slow, slower or veryslow; the slower, the smaller the\n"
    "                        file at the same quality (default superfast; above\n"
    "                        1280x720, ultrafast)\n"
    "      --size WxH        pictures and video of that size: the 640x480 picture\n"
    "                        scaled sharply, black bars where the shape differs\n"
    "                        (default 640x480; sides up to 7680, even for a video)\n"
    "      --size 1080p      1440x1080, and 2160p: 2880x2160, the sizes for a video\n"
    "                        site: 4:3 without bars (its player adds them)\n"
    "      --reduce-flashing the show through a temporal filter that keeps it to\n"
    "                        two flashes a second or fewer, as the desktop program's\n"
    "                        --reduce-flashing shows it\n"
    "\n"
    "Frames (numbered from 0; frame n is shown at n / fps seconds):\n"
    "      --fps N           frames per second of the virtual clock, 1 to 1000\n"
    "                        (default 60)\n"
    "      --from TIME       start at the first frame at or after TIME\n"
    "      --to TIME         stop before the first frame at or after TIME\n"
    "                        (TIME: seconds as 12.5 or 12.5s, or minutes as 1:05.5)\n"
    "      --frames A-B      frames A to B inclusive (A- : from A on)\n"
    "      --only A,B,...    these frames only, as pictures\n"
    "  Without a range the capture runs from the start to the end of the show.\n"
    "  Frames before the range are simulated but not written.\n"
    "\n"
    "Input:\n"
    "      --module FILE     the music module (default demosong.it)\n"
    "      --font FILE       the font image (default fontpre.tga)\n"
    "  An installed program reads both from its data folder (share/boxdemo);\n"
    "  one in the build folder reads them from the working directory.\n"
    "\n"
    "  -q, --quiet           no progress bar (it is shown only on a terminal)\n"
    "  -h, --help            this text\n";

std::string captureUsage() {
    std::string text = usageText;
    text.replace(text.find("%s"), 2, programName());
    return text;
}

// A whole number from 0 to limit, digits only.
static bool parseCount(const std::string& text, std::int64_t limit, std::int64_t& value) {
    if (text.empty() || text.size() > 12) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= limit;
}

bool parseTimeToFrame(const std::string& text, int fps, std::int64_t& frame) {
    std::string body = text;
    if (!body.empty() && body.back() == 's') body.pop_back();

    // Minutes, then whole seconds and a fraction, read as an exact fraction
    // num / den of a second, so that "0.1" at 10 fps is frame 1 (a double
    // holding 0.1 is a little more, which would round up to frame 2).
    std::int64_t minutes = 0;
    const std::size_t colon = body.find(':');
    if (colon != std::string::npos) {
        if (text.back() == 's' || !parseCount(body.substr(0, colon), 24 * 60, minutes))
            return false;
        body = body.substr(colon + 1);
    }
    const std::size_t dot = body.find('.');
    const std::string whole = body.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : body.substr(dot + 1);
    std::int64_t seconds = 0, num = 0, den = 1;
    if (whole.empty() && fraction.empty()) return false;
    if (!whole.empty() && !parseCount(whole, longestRangeSeconds, seconds)) return false;
    if (dot != std::string::npos &&
        (fraction.empty() || !parseCount(fraction, 999999, num) || fraction.size() > 6))
        return false;
    if (colon != std::string::npos && (whole.size() != 2 || seconds >= 60)) return false;
    for (std::size_t i = 0; i < fraction.size(); ++i)
        den *= 10;

    const std::int64_t total = (minutes * 60 + seconds) * den + num;  // in 1/den seconds
    if (total > longestRangeSeconds * den) return false;
    // The first frame at or after the time: ceil(total * fps / den).
    frame = (total * fps + den - 1) / den;
    return true;
}

// "WxH": a width and a height from 1 to largestSide; or the short name of an
// upload size.
static bool parseSize(const std::string& text, int& width, int& height) {
    for (const UploadSize& upload : uploadSizes) {
        if (text == upload.name) {
            width = upload.width;
            height = upload.height;
            return true;
        }
    }
    const std::size_t x = text.find('x');
    if (x == std::string::npos) return false;
    std::int64_t w = 0, h = 0;
    if (!parseCount(text.substr(0, x), largestSide, w) ||
        !parseCount(text.substr(x + 1), largestSide, h) || w < 1 || h < 1)
        return false;
    width = int(w);
    height = int(h);
    return true;
}

// "A-B", "A-" or "A": frames A to B inclusive, or from A on.
static bool parseFrameRange(const std::string& text, std::int64_t limit, std::int64_t& first,
                            std::int64_t& end) {
    const std::size_t dash = text.find('-');
    if (!parseCount(text.substr(0, dash), limit, first)) return false;
    if (dash == std::string::npos) {
        end = first + 1;
        return true;
    }
    const std::string last = text.substr(dash + 1);
    if (last.empty()) {
        end = -1;
        return true;
    }
    std::int64_t lastFrame = 0;
    if (!parseCount(last, limit, lastFrame) || lastFrame < first) return false;
    end = lastFrame + 1;
    return true;
}

// "A,B,C": one or more frame numbers, kept sorted and distinct.
static bool parseFrameList(const std::string& text, std::int64_t limit,
                           std::vector<std::int64_t>& frames) {
    frames.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        std::int64_t frame = 0;
        if (!parseCount(text.substr(start, comma - start), limit, frame)) return false;
        frames.push_back(frame);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return true;
}

// The output's kind from its name: a name ending in .mp4 (in any case) is a
// video; a name ending in another video format's extension is refused, since
// a folder of pictures under that name is never what was meant; anything
// else is a folder of pictures.
static bool outputKindOf(const std::string& path, OutputKind& kind, std::string& error) {
    const std::size_t dot = path.find_last_of("./");
    std::string extension =
        dot != std::string::npos && path[dot] == '.' ? path.substr(dot + 1) : "";
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    static const char* const otherVideos[] = {"mkv",  "webm", "mov", "avi", "m4v", "mpg",
                                              "mpeg", "ogv",  "wmv", "flv", "gif", "ts"};
    kind = extension == "mp4" ? OutputKind::mp4 : OutputKind::pngFolder;
    for (const char* other : otherVideos) {
        if (extension == other) {
            error = "-o " + path + ": the capture writes MP4 video (a name ending in .mp4) or " +
                    "PNG pictures into a folder, not ." + extension;
            return false;
        }
    }
    return true;
}

namespace {

// What the command line said, before it is checked: the values as given for
// the options that are read once the frame rate is known.
struct GivenOptions {
    std::string from, to, frames, only, size, fps, preset, rate;
    bool haveFrom = false, haveTo = false, haveFrames = false, haveOnly = false;
    bool reduceFlashing = false;
};

// One option: its names, and where its value goes.
struct OptionRow {
    const char* name;
    char letter;  // 0: a long name only
    bool takesValue;
    std::string CaptureOptions::*path;  // a file name, stored as given
    std::string GivenOptions::*text;    // a value checked after the parse
    bool GivenOptions::*given;          // set when the option appears
};

const OptionRow optionTable[] = {
    {"output", 'o', true, &CaptureOptions::outputPath, nullptr, nullptr},
    {"wav", 0, true, &CaptureOptions::wavPath, nullptr, nullptr},
    {"timeline", 0, true, &CaptureOptions::timelinePath, nullptr, nullptr},
    {"module", 0, true, &CaptureOptions::modulePath, nullptr, nullptr},
    {"font", 0, true, &CaptureOptions::fontPath, nullptr, nullptr},
    {"fps", 0, true, nullptr, &GivenOptions::fps, nullptr},
    {"size", 0, true, nullptr, &GivenOptions::size, nullptr},
    {"preset", 0, true, nullptr, &GivenOptions::preset, nullptr},
    {"rate", 0, true, nullptr, &GivenOptions::rate, nullptr},
    {"from", 0, true, nullptr, &GivenOptions::from, &GivenOptions::haveFrom},
    {"to", 0, true, nullptr, &GivenOptions::to, &GivenOptions::haveTo},
    {"frames", 0, true, nullptr, &GivenOptions::frames, &GivenOptions::haveFrames},
    {"only", 0, true, nullptr, &GivenOptions::only, &GivenOptions::haveOnly},
    {"reduce-flashing", 0, false, nullptr, nullptr, &GivenOptions::reduceFlashing},
    {"quiet", 'q', false, nullptr, nullptr, nullptr},
    {"help", 'h', false, nullptr, nullptr, nullptr},
};
constexpr int optionCount = int(sizeof optionTable / sizeof optionTable[0]);

// Reads the command line into options (file names, -q) and given (the rest,
// as text). On help returns ParseResult::help.
ParseResult readCommandLine(int argc, char** argv, CaptureOptions& options, GivenOptions& given,
                            std::string& error) {
    // getopt_long's table: each row's index as its value, or its letter.
    option longOptions[optionCount + 1] = {};
    std::string letters = "+:";
    for (int i = 0; i < optionCount; ++i) {
        const OptionRow& row = optionTable[i];
        longOptions[i] = {row.name, row.takesValue ? required_argument : no_argument, nullptr,
                          row.letter != 0 ? row.letter : 256 + i};
        if (row.letter != 0) letters += std::string(1, row.letter) + (row.takesValue ? ":" : "");
    }

    // Our own messages; stop at the first argument that is not an option so
    // that it can be named. optind 0 restarts getopt fully, for callers that
    // parse more than once.
    opterr = 0;
    optind = 0;
    for (;;) {
        const int previous = optind > 0 ? optind : 1;  // 0 stands for 1 before the first call
        optarg = nullptr;
        const int c = getopt_long(argc, argv, letters.c_str(), longOptions, nullptr);
        if (c == -1) break;
        if (c == ':' || (optarg != nullptr && *optarg == '\0')) {
            error = std::string("option '") + argv[previous] + "' needs a value";
            return ParseResult::error;
        }
        const OptionRow* row = nullptr;
        for (const OptionRow& r : optionTable)
            if (c == (r.letter != 0 ? r.letter : 256 + int(&r - optionTable))) row = &r;
        if (row == nullptr) {
            // A long option is named as given; a short one may sit in a
            // cluster ("-qx"), so only its letter is named.
            const std::string named = argv[previous];
            error = "bad option '" +
                    (named.compare(0, 2, "--") == 0 ? named : std::string("-") + char(optopt)) +
                    "' (see --help)";
            return ParseResult::error;
        }
        if (row->letter == 'h') return ParseResult::help;
        if (row->letter == 'q') options.quiet = true;
        if (row->path != nullptr) options.*(row->path) = optarg;
        if (row->text != nullptr) given.*(row->text) = optarg;
        if (row->given != nullptr) given.*(row->given) = true;
    }
    if (optind < argc) {
        error = std::string("unexpected argument '") + argv[optind] +
                "' (the output goes after -o; see --help)";
        return ParseResult::error;
    }
    return ParseResult::run;
}

// The frame rate and the size.
bool checkPicture(const GivenOptions& given, CaptureOptions& options, std::string& error) {
    options.reduceFlashing = given.reduceFlashing;
    if (!given.fps.empty()) {
        std::int64_t fps = 0;
        if (!parseCount(given.fps, 1000, fps) || fps < 1) {
            error = "--fps wants a whole number from 1 to 1000, not '" + given.fps + "'";
            return false;
        }
        options.fps = static_cast<int>(fps);
    }
    if (!given.size.empty() && !parseSize(given.size, options.width, options.height)) {
        error = "--size wants WIDTHxHEIGHT, each from 1 to " + std::to_string(largestSide) +
                ", 1080p or 2160p, not '" + given.size + "'";
        return false;
    }
    return true;
}

// The kind of range, then the range in frames, at the frame rate given.
bool checkRange(const GivenOptions& given, CaptureOptions& options, std::string& error) {
    if ((given.haveFrom || given.haveTo) + given.haveFrames + given.haveOnly > 1) {
        error = "choose one of --from/--to, --frames and --only";
        return false;
    }
    const std::int64_t lastFrame = longestRangeSeconds * options.fps;
    if (given.haveFrom && !parseTimeToFrame(given.from, options.fps, options.firstFrame)) {
        error = "--from wants a time such as 12.5s or 1:05, not '" + given.from + "'";
        return false;
    }
    if (given.haveTo && !parseTimeToFrame(given.to, options.fps, options.endFrame)) {
        error = "--to wants a time such as 20s or 1:05, not '" + given.to + "'";
        return false;
    }
    if (given.haveTo && options.endFrame <= options.firstFrame) {
        error = "--to " + given.to + " leaves no frame to capture";
        return false;
    }
    if (given.haveFrames &&
        !parseFrameRange(given.frames, lastFrame, options.firstFrame, options.endFrame)) {
        error = "--frames wants A-B, A- or A with A <= B, not '" + given.frames + "'";
        return false;
    }
    if (given.haveOnly) {
        if (!parseFrameList(given.only, lastFrame, options.onlyFrames)) {
            error = "--only wants frame numbers separated by commas, not '" + given.only + "'";
            return false;
        }
        options.firstFrame = options.onlyFrames.front();
        options.endFrame = options.onlyFrames.back() + 1;
    }
    return true;
}

// What to write, and whether the range and size suit it.
bool checkOutputs(const GivenOptions& given, CaptureOptions& options, std::string& error) {
    if (!options.outputPath.empty() && !outputKindOf(options.outputPath, options.outputKind, error))
        return false;
    if (long(options.width) * options.height > largeVideoPixels) options.preset = largeVideoPreset;
    if (!given.preset.empty()) {
        const auto known = std::find_if(std::begin(videoPresets), std::end(videoPresets),
                                        [&](const char* name) { return given.preset == name; });
        if (known == std::end(videoPresets)) {
            error =
                "--preset wants one of x264's presets, ultrafast to veryslow (see --help), "
                "not '" +
                given.preset + "'";
            return false;
        }
        options.preset = given.preset;
    }
    if (!given.rate.empty()) {
        std::int64_t rate = 0;
        if (!parseCount(given.rate, highestOfflineRate, rate) || rate < lowestOfflineRate) {
            error = "--rate wants a sample rate in Hz from " + std::to_string(lowestOfflineRate) +
                    " to " + std::to_string(highestOfflineRate) + ", not '" + given.rate + "'";
            return false;
        }
        if (options.wavPath.empty()) {
            error = "--rate is the WAV's rate: give --wav FILE too (a video's sound is 48000 Hz)";
            return false;
        }
        options.wavRate = std::int32_t(rate);
    }
    if (options.outputKind == OutputKind::mp4 && given.haveOnly) {
        error = "--only chooses pictures; a video needs a range (--frames or --from/--to)";
        return false;
    }
    // H.264 in yuv420p halves the colour in both directions.
    if (options.outputKind == OutputKind::mp4 &&
        (options.width % 2 != 0 || options.height % 2 != 0)) {
        error = "a video's --size needs even sides, not " + std::to_string(options.width) + "x" +
                std::to_string(options.height);
        return false;
    }
    if (options.outputKind == OutputKind::none && options.wavPath.empty() &&
        options.timelinePath.empty()) {
        error = "nothing to write: give -o PATH, --wav FILE or --timeline FILE (see --help)";
        return false;
    }
    return true;
}

}  // namespace

ParseResult parseCaptureOptions(int argc, char** argv, CaptureOptions& options,
                                std::string& error) {
    GivenOptions given;
    const ParseResult result = readCommandLine(argc, argv, options, given, error);
    if (result != ParseResult::run) return result;
    const bool ok = checkPicture(given, options, error) && checkRange(given, options, error) &&
                    checkOutputs(given, options, error);
    return ok ? ParseResult::run : ParseResult::error;
}

FrameFormat frameFormat(const CaptureOptions& options) {
    FrameFormat format;
    format.width = options.width;
    format.height = options.height;
    format.pixelBytes = options.outputKind == OutputKind::mp4 ? 4 : 3;
    format.bytes =
        std::size_t(options.width) * std::size_t(options.height) * std::size_t(format.pixelBytes);
    return format;
}

}  // namespace demo
