// The capture's shell: inputs checked, where the show ends found, then one
// run. See capture_shell.h.
#include "capture/capture_shell.h"

#include <algorithm>
#include <string>

#include "capture/capture_run.h"
#include "capture/gl_window.h"
#include "capture/session.h"
#include "capture/video.h"
#include "font/font.h"
#include "music/offline.h"
#include "process/data_folder.h"
#include "process/process.h"
#include "process/signals.h"
#include "show/sequencer.h"
#include "show/show_facts.h"
#include "show/show_music.h"

namespace demo {

static int fail(const std::string& message) {
    printError(message);
    return 1;
}

// Where the show ends, from a run of the music and the sequencer alone (a
// few seconds for the whole show), before anything is drawn or written; the
// music must be open at its start. False with the reason when the options
// ask for frames the show does not reach, or when it never reaches its end.
static bool findShowEnd(const CaptureOptions& options, ShowEnd& end, std::string& error) {
    CaptureSession dry;
    startSession(dry, options);
    while (stepSession(dry, StepMode::findEnd, error)) {
        if (options.outputKind != OutputKind::none && frameWanted(options, dry.frame))
            ++end.drawsPerScene[std::size_t(std::min(sequencer().sceneIndex, scenesShown - 1))];
        nextFrame(dry);
    }
    const std::int64_t frame = dry.frame;
    end.frame = frame;
    if (dry.end == SessionEnd::interrupted) return false;
    if (dry.end == SessionEnd::looped) {
        const MusicPosition at = sequencer().position;
        error = (at.order < dry.highestOrder
                     ? "the music went back to order " + std::to_string(at.order)
                     : "the music came back to order " + std::to_string(at.order) + ", row " +
                           std::to_string(at.row) + ", which it had played,") +
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
    return true;
}

// Why an input cannot be read; for a data file read by default, where it
// was looked for when it is missing.
static std::string inputProblem(const std::string& path, const std::string& problem) {
    const bool byDefault =
        path == defaultDataFile(songFileName) || path == defaultDataFile(fontFileName);
    return byDefault ? dataFileProblem(problem) : problem;
}

int runCapture(const CaptureOptions& options) {
    std::string error;

    // Inputs and tools first, then where the show ends, so that a mistake
    // costs nothing.
    if (options.outputKind == OutputKind::mp4 && !findOnPath("ffmpeg"))
        return fail("cannot find ffmpeg on PATH; it is needed to write " + options.outputPath);
    if (!readFontImage(options.fontPath.c_str(), error))
        return fail("cannot load " + options.fontPath + ": " +
                    inputProblem(options.fontPath, error));
    if (!openOfflineMusic(options.modulePath.c_str(), musicLoadFlags))
        return fail("cannot load " + options.modulePath + ": " +
                    inputProblem(options.modulePath, offlineMusicErrorText()));
    ShowEnd end;
    const bool found = findShowEnd(options, end, error);
    closeOfflineMusic();
    if (!found && terminationSignal() != 0) {
        printError("interrupted; the files it was writing are removed");
        return 128 + terminationSignal();
    }
    if (!found) return fail(error);
    if (!openCaptureWindow(error)) return fail(error);

    // From here on an interrupt leaves the frame loop, and the finish cleans
    // up.
    deferTerminationSignals();
    CaptureRun run;
    bool ok = openRun(run, options, end, error);
    ok = ok && playRun(run, error);
    return finishRun(run, ok, error);
}

}  // namespace demo
