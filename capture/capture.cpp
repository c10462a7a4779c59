// The capture: inputs checked, outputs opened, the session run, the outputs
// closed and put in place. See capture.h.
#include "capture/capture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "capture/frame_reader.h"
#include "capture/frame_writer.h"
#include "capture/image_files.h"
#include "capture/outputs.h"
#include "capture/progress.h"
#include "capture/session.h"
#include "capture/video.h"
#include "font/font.h"
#include "music/offline.h"
#include "show/sequencer.h"
#include "show/show_facts.h"
#include "show/show_music.h"

namespace demo {

// Temporary files of an MP4 capture: a folder holding the video without
// sound and, without --wav, the WAV file.
static std::string temporaryFolder;

// The file outputs, reserved under temporary names until the run succeeds
// (outputs.h); a PNG picture is reserved and committed one at a time.
static PendingOutput mp4Output, wavOutput, timelineOutput;

// Where the WAV is written meanwhile: --wav's temporary file, or the MP4's
// own sound in the temporary folder; empty without either.
static std::string wavPath;

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

static void removeTemporaryFiles() {
    if (temporaryFolder.empty()) return;
    std::remove((temporaryFolder + "/video.mp4").c_str());
    std::remove((temporaryFolder + "/audio.wav").c_str());
    rmdir(temporaryFolder.c_str());
    temporaryFolder.clear();
}

// The folder the pictures go into, made and proved writable.
static bool openPictureFolder(const std::string& folder, std::string& error) {
    if (!makeFolders(folder, error)) return false;
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = "cannot write pictures into " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// The MP4's temporary folder and its encoder.
static bool openVideo(const CaptureOptions& options, std::string& error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/demo-capture-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) {
        error = "cannot make a temporary folder: " + std::string(std::strerror(errno));
        return false;
    }
    temporaryFolder = pattern;
    if (wavPath.empty()) wavPath = temporaryFolder + "/audio.wav";
    return startVideoEncoder(temporaryFolder + "/video.mp4", options.fps, options.width,
                             options.height, error);
}

// Everything the frames are written to, opened before the first frame, each
// file under a temporary name beside it.
static bool openOutputs(const CaptureOptions& options, CaptureSession& session,
                        std::string& error) {
    const bool mp4 = options.outputKind == OutputKind::mp4;
    if (options.outputKind == OutputKind::pngFolder &&
        !openPictureFolder(options.outputPath, error))
        return false;
    if (mp4 && !reserveOutput(options.outputPath, mp4Output, error)) return false;
    if (!options.wavPath.empty() && !reserveOutput(options.wavPath, wavOutput, error)) return false;
    if (!options.timelinePath.empty() &&
        !reserveOutput(options.timelinePath, timelineOutput, error))
        return false;
    wavPath = wavOutput.temporaryPath;
    if (mp4 && !openVideo(options, error)) return false;
    session.wavName = wavPath == wavOutput.temporaryPath ? options.wavPath : options.outputPath;
    if (!wavPath.empty()) {
        if (!openWav(wavPath.c_str(), error)) {
            error = "cannot write " + session.wavName + ": " + error;
            return false;
        }
        session.wavOpen = true;
    }
    if (!options.timelinePath.empty()) {
        session.timeline = std::fopen(timelineOutput.temporaryPath.c_str(), "w");
        if (session.timeline == nullptr) {
            error = "cannot write " + options.timelinePath + ": " + std::strerror(errno);
            return false;
        }
        std::fprintf(session.timeline, "# frame clockMs order row scene elapsedMs\n");
    }
    return true;
}

// Closes what openOutputs opened; the first failure is the one reported.
static bool closeOutputs(const CaptureOptions& options, CaptureSession& session, bool ok,
                         std::string& error) {
    std::string closeError;
    if (session.wavOpen && !closeWav(closeError) && ok) {
        ok = false;
        error = "cannot write " + session.wavName + ": " + closeError;
    }
    session.wavOpen = false;
    if (session.timeline != nullptr && std::fclose(session.timeline) != 0 && ok) {
        ok = false;
        error = "cannot write " + options.timelinePath + ": " + std::strerror(errno);
    }
    session.timeline = nullptr;
    if (!finishVideoEncoder(closeError) && ok) {
        ok = false;
        error = closeError;
    }
    return ok;
}

// Where the show ends, from a dry run of the music and the sequencer alone
// (a few seconds for the whole show): the run is judged before anything is
// drawn or written. False with the reason when the options ask for frames
// the show does not reach, or when it never reaches its end. The music is
// opened again for the real run.
static bool judgeShow(const CaptureOptions& options, CaptureSession& dry, std::string& error) {
    startSession(dry, options, true);
    while (stepSession(dry, error)) {
    }
    const std::int64_t frame = dry.frame;
    if (dry.end == SessionEnd::interrupted) return false;
    if (dry.end == SessionEnd::looped) {
        error = "the music went back to order " + std::to_string(sequencer().position.order) +
                " at frame " + std::to_string(frame) + " without reaching the end of the show " +
                "(order " + std::to_string(quitOrder) + "); choose a range with --to or --frames";
        return false;
    }
    if (options.endFrame < 0 && dry.end != SessionEnd::showOver) {
        error = "the music did not reach the end of the show within " +
                std::to_string(quitRowWaitSeconds / 60) +
                " minutes; choose a range with --to or --frames";
        return false;
    }
    if (frame <= options.firstFrame) {
        error = "the show ends at frame " + std::to_string(frame) + ", before the first frame (" +
                std::to_string(options.firstFrame) + ") asked for";
        return false;
    }
    if (!options.onlyFrames.empty() && options.onlyFrames.back() >= frame) {
        error = "the show ends at frame " + std::to_string(frame) + "; frame " +
                std::to_string(options.onlyFrames.back()) + " does not exist";
        return false;
    }
    if (options.endFrame > frame) {
        char length[32];
        std::snprintf(length, sizeof length, "%.2f", double(frame) / options.fps);
        error = "the range runs past the end of the show, which ends at frame " +
                std::to_string(frame) + " (" + length + " s at " + std::to_string(options.fps) +
                " fps); choose a range within it";
        return false;
    }
    return openOfflineMusic(options.modulePath.c_str(), musicLoadFlags);
}

// How many of the frames before the show's end are drawn and written.
static std::int64_t framesDrawn(const CaptureOptions& options, std::int64_t end) {
    if (options.outputKind == OutputKind::none) return 0;
    if (!options.onlyFrames.empty()) return std::int64_t(options.onlyFrames.size());
    return end - options.firstFrame;
}

int runCapture(const CaptureOptions& options) {
    std::string error;

    // Inputs and tools first, then where the show ends, so that a mistake
    // costs nothing.
    if (options.outputKind == OutputKind::mp4 && !findOnPath("ffmpeg"))
        return fail("cannot find ffmpeg on PATH; it is needed to write " + options.outputPath);
    if (!readFontImage(options.fontPath.c_str(), error))
        return fail("cannot load " + options.fontPath + ": " + error);
    if (!openOfflineMusic(options.modulePath.c_str(), musicLoadFlags))
        return fail("cannot load " + options.modulePath + ": " + offlineMusicErrorText());
    CaptureSession dry;
    if (!judgeShow(options, dry, error))
        return interruption() != 0 ? failInterrupted() : fail(error);

    // From here on an interrupt leaves the frame loop, which cleans up.
    CaptureSession session;
    startSession(session, options, false);
    bool ok = openFrameReader(options.width, options.height, error);
    protectOutputs();
    ok = ok && interruption() == 0 && openOutputs(options, session, error);

    if (ok) {
        const std::int64_t draws = framesDrawn(options, dry.frame);
        startProgress(dry.frame - draws, draws, !options.quiet);
        if (options.outputKind != OutputKind::none) startFrameWriter(options);
        while (stepSession(session, error)) {
        }
        ok = session.end != SessionEnd::failed && session.end != SessionEnd::interrupted;
        std::string writeError;
        if (!stopFrameWriter(!ok || interruption() != 0, writeError) && ok) {
            ok = false;
            error = writeError;
        }
        finishProgress();
    }
    ok = closeOutputs(options, session, ok, error);
    closeOfflineMusic();
    closeFrameReader();
    if (ok && interruption() == 0 && options.outputKind == OutputKind::mp4)
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
