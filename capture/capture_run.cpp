// A capture run, opened, played and finished. See capture_run.h.
#include "capture/capture_run.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "capture/soundtrack.h"
#include "music/offline.h"
#include "process/process.h"
#include "process/signals.h"
#include "show/platform.h"
#include "show/sequencer.h"
#include "show/show_music.h"

namespace demo {

// --- opening ----------------------------------------------------------------------

// The folder the pictures go into, made and proved writable.
static bool openPictureFolder(CaptureRun& run, const std::string& folder, std::string& error) {
    if (!makeFolders(folder, run.folders, error)) return false;
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = "cannot write pictures into " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// The MP4's intermediate files and its encoder.
static bool openVideo(CaptureRun& run, std::string& error) {
    const CaptureOptions& options = *run.options;
    if (!makeScratchFolder(run.scratch, run.mp4Output, error)) return false;
    // The video's sound is read again to join it: a WAV going to a device or
    // a pipe cannot serve.
    const bool wavIsSound =
        !run.wavPath.empty() && !run.wavOutput.direct && options.wavRate == videoAudioRate;
    run.soundPath = wavIsSound ? run.wavPath : scratchFile(run.scratch, scratchAudio);
    run.encoder.frameBytes = run.format.bytes;
    return startVideoEncoder(run.encoder, scratchFile(run.scratch, scratchVideo), options.fps,
                             options.width, options.height, options.preset, error);
}

bool openRun(CaptureRun& run, const CaptureOptions& options, const ShowEnd& showEnd,
             std::string& error) {
    run.options = &options;
    run.showEnd = showEnd;
    run.format = frameFormat(options);
    if (terminationSignal() != 0) return false;
    const bool mp4 = options.outputKind == OutputKind::mp4;
    if (options.outputKind == OutputKind::pngFolder &&
        !openPictureFolder(run, options.outputPath, error))
        return false;
    if (mp4 && !reserveOutput(options.outputPath, run.mp4Output, error)) return false;
    if (!options.wavPath.empty() && !reserveOutput(options.wavPath, run.wavOutput, error))
        return false;
    if (!options.timelinePath.empty() &&
        !reserveOutput(options.timelinePath, run.timelineOutput, error))
        return false;
    run.wavPath = run.wavOutput.temporaryPath;
    if (mp4 && !openVideo(run, error)) return false;

    CaptureSession& session = run.session;
    if (!openOfflineMusic(options.modulePath.c_str(), musicLoadFlags)) {
        error = "cannot load " + options.modulePath + ": " + offlineMusicErrorText();
        return false;
    }
    startSession(session, options);
    session.fastForward = &run.fastForward;
    session.wavName = options.wavPath.empty() ? options.outputPath : options.wavPath;
    // A WAV at the show's own rate is written in step with the frames; one
    // at another rate afterwards (finishRun).
    if (!run.wavPath.empty() && options.wavRate == offlineRate) {
        const std::uint64_t wavFrames =
            std::uint64_t(samplesBefore(showEnd.frame, options.fps) -
                          samplesBefore(options.firstFrame, options.fps));
        if (!openWav(run.wav, run.wavPath.c_str(), offlineRate, wavFrames, error)) {
            error = "cannot write " + session.wavName + ": " + error;
            return false;
        }
        session.wav = &run.wav;
    }
    if (!options.timelinePath.empty()) {
        run.timeline = std::fopen(run.timelineOutput.temporaryPath.c_str(), "w");
        if (run.timeline == nullptr) {
            error = "cannot write " + options.timelinePath + ": " + std::strerror(errno);
            return false;
        }
        std::fprintf(run.timeline, "# frame clockMs order row scene elapsedMs\n");
    }

    if (!openFramePipe(run.pipe, options, run.format, mp4 ? &run.encoder : nullptr, error))
        return false;
    setStartGlState();

    startProgress(run.progress, showEnd.frame, showEnd.drawsPerScene, !options.quiet);
    return true;
}

// --- playing ----------------------------------------------------------------------

// One line of the timeline; false with the reason once a write has failed
// (a full disc, a reader at the other end of a pipe that has gone), so that
// the run stops there rather than at its end.
static bool writeTimelineLine(const CaptureRun& run, std::string& error) {
    const SequencerState& show = sequencer();
    if (std::fprintf(run.timeline, "%lld %d %u %u %d %d\n",
                     static_cast<long long>(run.session.frame), run.session.clockMs,
                     show.position.order, show.position.row, show.sceneIndex + 1,
                     show.elapsedMs) >= 0 &&
        !std::ferror(run.timeline))
        return true;
    error = "cannot write " + run.options->timelinePath + ": " + std::strerror(errno);
    return false;
}

bool playRun(CaptureRun& run, std::string& error) {
    const CaptureOptions& options = *run.options;
    CaptureSession& session = run.session;
    for (;;) {
        // A frame that is neither written nor needed by the flash filter is
        // fast-forwarded.
        const bool drawn =
            options.outputKind != OutputKind::none && frameWanted(options, session.frame);
        const bool filtered = drawnForTheFilter(options, session.frame);
        if (!stepSession(session, drawn || filtered ? StepMode::draw : StepMode::fastForward,
                         error))
            break;
        if ((run.timeline != nullptr && !writeTimelineLine(run, error)) ||
            (drawn && !sendFrame(run.pipe, session.frame, error))) {
            session.end = SessionEnd::failed;
            return false;
        }
        nextFrame(session);
        updateProgress(run.progress, drawn, sequencer().sceneIndex);
    }
    return session.end != SessionEnd::failed && session.end != SessionEnd::interrupted &&
           flushFramePipe(run.pipe, error);
}

// --- finishing --------------------------------------------------------------------

// The video's sound rendered, then joined with the video into the MP4, in
// place for the commit (or copied into a device or pipe).
static bool finishVideo(CaptureRun& run, std::string& error) {
    const CaptureOptions& options = *run.options;
    const std::string& soundName =
        run.soundPath == run.wavPath ? options.wavPath : options.outputPath;
    if (!writeSoundtrack(options, run.showEnd.frame, videoAudioRate, run.soundPath, soundName,
                         error))
        return false;
    const std::string video = scratchFile(run.scratch, scratchVideo);
    if (!run.mp4Output.direct)
        return muxVideo(video, run.soundPath, run.mp4Output.temporaryPath, error);
    const std::string muxed = scratchFile(run.scratch, scratchMuxed);
    return muxVideo(video, run.soundPath, muxed, error) && copyInto(muxed, run.mp4Output, error);
}

// Keeps the first failure: later steps of a failed finish only clean up.
static void keepFirst(bool& ok, std::string& error, bool stepOk, const std::string& stepError) {
    if (!stepOk && ok) {
        ok = false;
        error = stepError;
    }
}

int finishRun(CaptureRun& run, bool ok, std::string error) {
    const CaptureOptions& options = *run.options;
    std::string stepError;
    // The show's calls go to GL again: the log dies with the run.
    endFastForward(run.fastForward);
    finishProgress(run.progress);
    bool stepOk = closeFramePipe(run.pipe, !ok || terminationSignal() != 0, stepError);
    keepFirst(ok, error, stepOk, stepError);
    if (run.timeline != nullptr && std::fclose(run.timeline) != 0)
        keepFirst(ok, error, false,
                  "cannot write " + options.timelinePath + ": " + std::strerror(errno));
    run.timeline = nullptr;
    if (run.wav.file != nullptr && !closeWav(run.wav, stepError))
        keepFirst(ok, error, false, "cannot write " + run.session.wavName + ": " + stepError);
    if (!finishVideoEncoder(run.encoder, stepError))
        keepFirst(ok, error, false, stepError + " while encoding the video " + run.scratch.where);
    closeOfflineMusic();
    if (ok && terminationSignal() == 0 && !run.wavPath.empty() && options.wavRate != offlineRate &&
        run.wavPath != run.soundPath)
        ok = writeSoundtrack(options, run.showEnd.frame, options.wavRate, run.wavPath,
                             options.wavPath, error);
    if (ok && terminationSignal() == 0 && options.outputKind == OutputKind::mp4)
        ok = finishVideo(run, error);
    removeScratchFolder(run.scratch);

    // Into place only when everything succeeded, all or none.
    std::vector<PendingOutput*> outputs = {&run.mp4Output, &run.wavOutput, &run.timelineOutput};
    const bool committed = ok && terminationSignal() == 0 && commitOutputs(outputs, error);
    if (!committed) {
        for (PendingOutput* output : outputs)
            discardOutput(*output);
    }
    releaseFolders(run.folders, !committed);

    if (committed && terminationSignal() != 0) {
        // The signal came while the files were put in place: they all are.
        printError("interrupted as it finished; every file it wrote is complete and in place");
        return 128 + terminationSignal();
    }
    if (terminationSignal() != 0) {
        printError("interrupted; the files it was writing are removed");
        return 128 + terminationSignal();
    }
    if (committed) return 0;
    printError(error);
    return 1;
}

}  // namespace demo
