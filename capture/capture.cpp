// The capture loop: the show on a virtual clock, read back frame by frame.
// See capture.h.
//
// Per frame: one chunk of music (offlineRate / fps audio frames, give or take
// one), one sequencer step and scene exactly as in the demo, and, for frames
// in the range, one read-back written as a PNG or sent to ffmpeg: of the
// picture target itself at 640x480, else of the output target the picture is
// scaled onto (shell/picture_target.h), as the desktop program scales it onto
// its full-screen window. The music and pixel buffers are allocated once,
// before the first frame; only a PNG's file name is built per frame.
//
// GL state: set up as the demo's start-up sets it (flat shading, back faces
// culled, onReshape(640, 480)); the picture target is bound before every
// frame, and the scenes' state passes from frame to frame untouched.
#define GL_GLEXT_PROTOTYPES
#include "capture/capture.h"

#include <GL/freeglut.h>
#include <GL/glext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "capture/image_files.h"
#include "capture/outputs.h"
#include "capture/progress.h"
#include "capture/video.h"
#include "font/font.h"
#include "music/offline.h"
#include "music/player.h"
#include "scenes/frame.h"
#include "shell/picture_target.h"
#include "shell/platform.h"
#include "shell/sequencer.h"
#include "shell/show_facts.h"

namespace demo {

// The virtual clock: the time of the frame being drawn, in milliseconds.
static int virtualNowMs = 0;
static int virtualClockMs() { return virtualNowMs; }

// Set when the show reaches its quit row; the capture stops there.
static bool quitReached = false;
static void noteQuit() { quitReached = true; }

// Frames stay in the picture target, read back by the frame loop.
static void keepFrame() {}

// The capture's platform: the virtual clock, the offline music, no swap.
static const Platform capturePlatform = {virtualClockMs, offlineMusicPosition, keepFrame, noteQuit};

// The window, and the target the picture is scaled onto for a --size other
// than 640x480 (the picture target itself is the shell's, see
// shell/picture_target.h).
static int window = 0;
static OffscreenTarget output;

// Temporary files of an MP4 capture: a folder holding the video without
// sound and, without --wav, the WAV file.
static std::string temporaryFolder;

// The file outputs, reserved under temporary names until the run succeeds
// (outputs.h); a PNG picture is reserved and committed one at a time.
static PendingOutput mp4Output, wavOutput, timelineOutput;

static int fail(const std::string& message) {
    std::fprintf(stderr, "demo-capture: %s\n", message.c_str());
    return 1;
}

// An interrupted run, cleaned up: 128 + the signal's number, as shells
// report a process a signal ended.
static int failInterrupted() {
    std::fprintf(stderr, "demo-capture: interrupted; the files it was writing are removed\n");
    return 128 + interruption();
}

// freeglut's fatal errors (no display, no GLX visual) end the process; say
// so in our own words first.
static void onGlutError(const char* format, va_list arguments) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    std::fprintf(stderr, "demo-capture: cannot open the 640x480 window: %s\n", text);
    std::exit(1);
}

// Quiet freeglut's warnings: standard error belongs to the progress bar.
static void onGlutWarning(const char*, va_list) {}

// Whether the output's size differs from the picture's, so that frames are
// scaled onto the output target before they are read back.
static bool scaled(const CaptureOptions& options) {
    return options.width != pictureWidth || options.height != pictureHeight;
}

// The folder at path and any missing parents, like mkdir -p.
static bool makeFolders(const std::string& path, std::string& error) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            error = "cannot make the folder " + part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) break;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = path + " is not a folder";
        return false;
    }
    return true;
}

// The window, the picture target, the output target when the size differs,
// and the demo's start-up GL state.
static bool openWindow(const CaptureOptions& options, std::string& error) {
    if (std::getenv("DISPLAY") == nullptr) {
        error = "no X display (DISPLAY is not set); run it under Xvfb, e.g. with xvfb-run";
        return false;
    }
    // NOTE: GLUT gets a command line of its own: ours is not its to read.
    int argc = 1;
    char name[] = "demo-capture";
    char* argv[] = {name, nullptr};
    glutInitErrorFunc(onGlutError);
    glutInitWarningFunc(onGlutWarning);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(pictureWidth, pictureHeight);
    window = glutCreateWindow("demo-capture");

    if (scaled(options) && !makeOffscreenTarget(output, options.width, options.height, false)) {
        error = "the GL driver cannot make a " + std::to_string(options.width) + "x" +
                std::to_string(options.height) + " offscreen framebuffer";
        return false;
    }
    // The picture target last: it stays bound.
    if (!openPictureTarget(error)) return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    // The demo's start-up state, then the projection its reshape callback sets.
    glShadeModel(GL_FLAT);
    glEnable(GL_CULL_FACE);
    setScreenProjection(pictureWidth, pictureHeight);
    return true;
}

// Releases the offscreen target, the window and GLUT, so that the GL driver
// frees what it holds before the process ends.
static void closeWindow() {
    if (window == 0) return;
    closePictureTarget();
    releaseOffscreenTarget(output);
    glutDestroyWindow(window);
    glutExit();
    window = 0;
}

// Whether the music went back to an earlier order: then, without having
// reached the quit row, it never will (a looping module starts over).
static bool wentBack(std::uint32_t order, std::uint32_t& highest) {
    if (order < highest) return true;
    highest = order;
    return false;
}

// Runs the sequencer alone over the music, drawing nothing, to find the
// frame at which the capture will stop (for the progress bar's total): the
// one that reaches the quit row, or the one where the music goes back
// without reaching it; limit when neither comes first. The music is left
// where it got to: the caller opens it again.
static std::int64_t findLastFrame(const CaptureOptions& options, std::int16_t* audio,
                                  std::int64_t limit) {
    virtualNowMs = 0;
    startShow();
    std::int64_t rendered = 0;
    std::uint32_t highest = 0;
    for (std::int64_t n = 0; n < limit && interruption() == 0; ++n) {
        const std::int64_t target = samplesBefore(n, options.fps) + 1;
        renderOfflineMusic(audio, static_cast<std::size_t>(target - rendered));
        rendered = target;
        virtualNowMs = frameClockMs(n, options.fps);
        const std::uint32_t order = offlineMusicPosition() & 0xFFFF;
        advanceSequencer(order);
        if (sequencer().sceneIndex == quitRow || wentBack(order, highest)) return n;
    }
    return limit;
}

static std::string pngPath(const std::string& folder, std::int64_t frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(frame));
    return folder + name;
}

// The name to give the user for the WAV being written at wavPath: theirs,
// or the MP4's when it is the video's sound.
static std::string wavNameFor(const CaptureOptions& options, const std::string& wavPath) {
    return wavPath == wavOutput.temporaryPath ? options.wavPath : options.outputPath;
}

// Writes one picture under a temporary name and moves it into place.
static bool writePicture(const std::string& path, const std::vector<std::uint8_t>& pixels,
                         int width, int height, std::string& error) {
    PendingOutput picture;
    if (!reserveOutput(path, picture, error)) return false;
    if (!writePng(picture.temporaryPath.c_str(), pixels.data(), width, height, error)) {
        error = "cannot write " + path + ": " + error;
        return false;
    }
    return commitOutput(picture, error);
}

static void removeTemporaryFiles() {
    if (temporaryFolder.empty()) return;
    std::remove((temporaryFolder + "/video.mp4").c_str());
    std::remove((temporaryFolder + "/audio.wav").c_str());
    rmdir(temporaryFolder.c_str());
    temporaryFolder.clear();
}

// Everything the frame loop writes to, opened before the first frame, each
// file under a temporary name beside it; wavPath is where the WAV is written
// meanwhile.
static bool openOutputs(const CaptureOptions& options, std::string& wavPath, std::FILE*& timeline,
                        std::string& error) {
    if (options.outputKind == OutputKind::pngFolder) {
        if (!makeFolders(options.outputPath, error)) return false;
        if (access(options.outputPath.c_str(), W_OK | X_OK) != 0) {
            error =
                "cannot write pictures into " + options.outputPath + ": " + std::strerror(errno);
            return false;
        }
    }
    if (options.outputKind == OutputKind::mp4 &&
        !reserveOutput(options.outputPath, mp4Output, error))
        return false;
    if (!options.wavPath.empty() && !reserveOutput(options.wavPath, wavOutput, error)) return false;
    if (!options.timelinePath.empty() &&
        !reserveOutput(options.timelinePath, timelineOutput, error))
        return false;
    wavPath = wavOutput.temporaryPath;
    if (options.outputKind == OutputKind::mp4) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/demo-capture-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr) {
            error = "cannot make a temporary folder: " + std::string(std::strerror(errno));
            return false;
        }
        temporaryFolder = pattern;
        if (wavPath.empty()) wavPath = temporaryFolder + "/audio.wav";
        if (!startVideoEncoder(temporaryFolder + "/video.mp4", options.fps, options.width,
                               options.height, error))
            return false;
    }
    if (!wavPath.empty() && !openWav(wavPath.c_str(), error)) {
        error = "cannot write " + wavNameFor(options, wavPath) + ": " + error;
        return false;
    }
    if (!options.timelinePath.empty()) {
        timeline = std::fopen(timelineOutput.temporaryPath.c_str(), "w");
        if (timeline == nullptr) {
            error = "cannot write " + options.timelinePath + ": " + std::strerror(errno);
            return false;
        }
        std::fprintf(timeline, "# frame clockMs order row scene elapsedMs\n");
    }
    return true;
}

int runCapture(const CaptureOptions& options) {
    std::string error;

    // Inputs and tools first, so that a mistake costs nothing.
    if (options.outputKind == OutputKind::mp4 && !findOnPath("ffmpeg"))
        return fail("cannot find ffmpeg on PATH; it is needed to write " + options.outputPath);
    if (!readFontImage(options.fontPath.c_str(), error))
        return fail("cannot load " + options.fontPath + ": " + error);
    if (!openOfflineMusic(options.modulePath.c_str(), musicLoadFlags))
        return fail("cannot load " + options.modulePath + ": " + offlineMusicErrorText());

    // Buffers for the whole run: one frame's music (plus the one audio frame
    // held back for the next) and one frame's pixels.
    std::vector<std::int16_t> audio(2 * (offlineRate / options.fps + 3));
    std::vector<std::uint8_t> pixels(std::size_t(options.width) * options.height * 3);

    // How far to go: the range's end, else the quit row, given up on after
    // quitRowWaitSeconds of show.
    const bool openEnded = options.endFrame < 0;
    const std::int64_t lastEnd = openEnded ? quitRowWaitSeconds * options.fps : options.endFrame;
    const bool showProgress = !options.quiet && isatty(STDERR_FILENO) == 1;
    usePlatform(capturePlatform);
    std::int64_t total = lastEnd;
    if (showProgress && openEnded) {
        total = findLastFrame(options, audio.data(), lastEnd);
        openOfflineMusic(options.modulePath.c_str(), musicLoadFlags);
    }

    // From here on an interrupt leaves the frame loop, which cleans up.
    std::string wavPath;
    std::FILE* timeline = nullptr;
    bool opened = openWindow(options, error);
    protectOutputs();
    opened = opened && interruption() == 0 && openOutputs(options, wavPath, timeline, error);
    if (!opened) {
        std::string ignored;
        finishVideoEncoder(ignored);
        if (timeline != nullptr) std::fclose(timeline);
        closeWav(ignored);
        discardOutputs();
        removeTemporaryFiles();
        closeWindow();
        return interruption() != 0 ? failInterrupted() : fail(error);
    }

    // The show starts with the music, at frame 0.
    virtualNowMs = 0;
    quitReached = false;
    startShow();
    startProgress(total, showProgress);

    const std::int64_t wavStart = samplesBefore(options.firstFrame, options.fps);
    std::int64_t rendered = 0;  // audio frames rendered so far
    std::size_t held = 0;       // of which the last `held` are still in audio
    std::int64_t frame = 0, written = 0;
    std::uint32_t highestOrder = 0;
    bool ok = true, looped = false;
    for (;; ++frame) {
        if (interruption() != 0) {
            ok = false;
            break;
        }
        // Music through the audio frame at the time of this frame, so that
        // the position read is the one heard when the frame is shown.
        const std::int64_t target = samplesBefore(frame, options.fps) + 1;
        const std::size_t chunk = static_cast<std::size_t>(target - rendered);
        renderOfflineMusic(audio.data() + 2 * held, chunk);
        rendered = target;
        held += chunk;

        // The WAV takes what lies before this frame's time and after the
        // range's start; the rest waits for the next frame.
        const std::int64_t bufferStart = rendered - static_cast<std::int64_t>(held);
        const std::int64_t upTo = samplesBefore(frame, options.fps);
        const std::int64_t from = std::max(bufferStart, wavStart);
        if (!wavPath.empty() && upTo > from) {
            ok = appendWav(audio.data() + 2 * (from - bufferStart),
                           static_cast<std::size_t>(upTo - from), error);
            if (!ok) {
                error = "cannot write " + wavNameFor(options, wavPath) + ": " + error;
                break;
            }
        }
        const std::size_t keep = static_cast<std::size_t>(rendered - upTo);
        std::copy(audio.data() + 2 * (held - keep), audio.data() + 2 * held, audio.data());
        held = keep;

        if (frame == lastEnd) break;

        // The demo's own step: order from the position, sequencer, scene.
        virtualNowMs = frameClockMs(frame, options.fps);
        const std::uint32_t position = offlineMusicPosition();
        bindPictureTarget();
        displayFrame();
        if (quitReached) break;
        if (openEnded && wentBack(position & 0xFFFF, highestOrder)) {
            looped = true;
            break;
        }
        if (timeline != nullptr) {
            std::fprintf(timeline, "%lld %d %u %u %d %d\n", static_cast<long long>(frame),
                         virtualNowMs, position & 0xFFFF, position >> 16,
                         sequencer().sceneIndex + 1, virtualNowMs - sequencer().sceneStartMs);
        }

        // Read back and write the frames asked for.
        const bool inRange = frame >= options.firstFrame;
        const bool chosen =
            options.onlyFrames.empty() ||
            std::binary_search(options.onlyFrames.begin(), options.onlyFrames.end(), frame);
        if (inRange && chosen && options.outputKind != OutputKind::none) {
            if (scaled(options)) scalePicture(output.framebuffer, options.width, options.height);
            glReadPixels(0, 0, options.width, options.height, GL_RGB, GL_UNSIGNED_BYTE,
                         pixels.data());
            if (options.outputKind == OutputKind::pngFolder) {
                ok = writePicture(pngPath(options.outputPath, frame), pixels, options.width,
                                  options.height, error);
            } else {
                ok = writeVideoFrame(pixels.data(), error);
            }
            if (!ok) break;
        }
        if (inRange && chosen) ++written;
        updateProgress(frame + 1);
    }
    finishProgress(frame);

    // What the run reached, judged first: a range past the end of the show
    // leaves ffmpeg without frames, and its complaint would hide the reason.
    if (ok && looped) {
        ok = false;
        error = "the music went back to order " + std::to_string(offlineMusicPosition() & 0xFFFF) +
                " at frame " + std::to_string(frame) + " without reaching the end of the show " +
                "(order " + std::to_string(quitOrder) + "); choose a range with --to or --frames";
    } else if (ok && openEnded && !quitReached) {
        ok = false;
        error = "the music did not reach the end of the show within " +
                std::to_string(quitRowWaitSeconds / 60) +
                " minutes; choose a range with --to or --frames";
    } else if (ok && written == 0) {
        ok = false;
        error = "the show ends at frame " + std::to_string(frame) + ", before the first frame (" +
                std::to_string(options.firstFrame) + ") asked for";
    } else if (ok && !options.onlyFrames.empty() && options.onlyFrames.back() >= frame) {
        ok = false;
        error = "the show ends at frame " + std::to_string(frame) + "; frame " +
                std::to_string(options.onlyFrames.back()) + " does not exist";
    }

    // Close everything; the first failure is the one reported.
    std::string closeError;
    if (!wavPath.empty() && !closeWav(closeError) && ok) {
        ok = false;
        error = "cannot write " + wavNameFor(options, wavPath) + ": " + closeError;
    }
    if (timeline != nullptr && std::fclose(timeline) != 0 && ok) {
        ok = false;
        error = "cannot write " + options.timelinePath + ": " + std::strerror(errno);
    }
    if (!finishVideoEncoder(closeError) && ok) {
        ok = false;
        error = closeError;
    }
    closeOfflineMusic();
    closeWindow();
    if (ok && options.outputKind == OutputKind::mp4)
        ok = muxVideo(temporaryFolder + "/video.mp4", wavPath, mp4Output.temporaryPath, error);
    removeTemporaryFiles();

    // Into place only when everything succeeded; otherwise nothing unfinished
    // is left under a name the user gave.
    for (PendingOutput* output : {&mp4Output, &wavOutput, &timelineOutput}) {
        if (ok && interruption() == 0 && !output->temporaryPath.empty())
            ok = commitOutput(*output, error);
    }
    if (interruption() != 0 || !ok) discardOutputs();
    if (interruption() != 0) return failInterrupted();
    return ok ? 0 : fail(error);
}

}  // namespace demo
