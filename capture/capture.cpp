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
#include "capture/soundtrack.h"
#include "capture/video.h"
#include "font/font.h"
#include "music/offline.h"
#include "process/process.h"
#include "process/signals.h"
#include "show/sequencer.h"
#include "show/show_facts.h"
#include "show/show_music.h"

namespace demo {

// The MP4's intermediate files: a hidden folder beside the video
// (".show.mp4.parts-XXXXXX") holding the video without sound, its sound
// (unless --wav is that sound), and, for a video written to a device or a
// pipe, the finished file before it is copied there. For such a video the folder is
// made in TMPDIR (or /tmp) instead. Each is scratch (process/signals.h).
static std::string scratchFolder;
static std::string scratchWhere;  // for messages: "beside show.mp4", "in TMPDIR (/tmp/x)"
static int scratchHandles[4] = {-1, -1, -1, -1};
static const char* const scratchNames[3] = {"video.mp4", "audio.wav", "muxed.mp4"};

// The file outputs, reserved under temporary names until the run succeeds
// (outputs.h); a PNG picture is reserved and committed one at a time.
static PendingOutput mp4Output, wavOutput, timelineOutput;

// Where the WAV is written meanwhile: --wav's temporary file (or the device
// itself); empty without --wav. The MP4's sound at videoAudioRate: in the
// temporary folder, or --wav's file when it is a plain file at that rate.
static std::string wavPath, soundPath;

static int fail(const std::string& message) {
    printError(message);
    return 1;
}

// An interrupted run, cleaned up: 128 + the signal's number, as shells
// report a process a signal ended.
static int failInterrupted() {
    printError("interrupted; the files it was writing are removed");
    return 128 + terminationSignal();
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

static std::string scratchFile(int index) { return scratchFolder + "/" + scratchNames[index]; }

static bool makeScratchFolder(const PendingOutput& video, std::string& error) {
    std::string pattern;
    if (video.direct) {
        const char* tmp = std::getenv("TMPDIR");
        const bool named = tmp != nullptr && *tmp != '\0';
        const std::string folder = named ? tmp : "/tmp";
        pattern = folder + "/demo-capture-XXXXXX";
        scratchWhere = named ? "in TMPDIR (" + folder + ")" : "in " + folder;
    } else {
        pattern = hiddenBeside(video.target, ".parts-XXXXXX");
        scratchWhere = "beside " + video.path;
    }
    if (mkdtemp(&pattern[0]) == nullptr) {
        error = "cannot make a folder for the video's intermediate files " + scratchWhere + ": " +
                std::strerror(errno);
        return false;
    }
    scratchFolder = pattern;
    scratchHandles[3] = registerScratch(scratchFolder, true);
    for (int i = 0; i < 3; ++i)
        scratchHandles[i] = registerScratch(scratchFile(i));
    return true;
}

static void removeScratchFolder() {
    if (scratchFolder.empty()) return;
    for (int i = 0; i < 3; ++i)
        std::remove(scratchFile(i).c_str());
    rmdir(scratchFolder.c_str());
    for (int& handle : scratchHandles) {
        forgetScratch(handle);
        handle = -1;
    }
    scratchFolder.clear();
}

// Copies the finished file at from into the device or pipe at to.
static bool copyInto(const std::string& from, const PendingOutput& to, std::string& error) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = in != nullptr ? std::fopen(to.target.c_str(), "wb") : nullptr;
    bool ok = out != nullptr;
    char block[1 << 16];
    while (ok) {
        const std::size_t got = std::fread(block, 1, sizeof block, in);
        if (got > 0 && std::fwrite(block, 1, got, out) != got) ok = false;
        if (got < sizeof block) break;
    }
    ok = ok && !std::ferror(in);
    const int cause = errno;
    if (out != nullptr && std::fclose(out) != 0) ok = false;
    if (in != nullptr) std::fclose(in);
    if (!ok) error = "cannot write " + to.path + ": " + std::strerror(cause ? cause : errno);
    return ok;
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

// The MP4's intermediate files and its encoder.
static bool openVideo(const CaptureOptions& options, std::string& error) {
    if (!makeScratchFolder(mp4Output, error)) return false;
    // The video's sound is read again to join it: a WAV going to a device or
    // a pipe cannot serve.
    const bool wavIsSound =
        !wavPath.empty() && !wavOutput.direct && options.wavRate == videoAudioRate;
    soundPath = wavIsSound ? wavPath : scratchFile(1);
    return startVideoEncoder(scratchFile(0), options.fps, options.width, options.height,
                             options.preset, error);
}

// The video's sound rendered, then joined with the video into the MP4, in
// place for the commit (or copied into a device or pipe).
static bool finishVideo(const CaptureOptions& options, std::int64_t endFrame, std::string& error) {
    const std::string& soundName = soundPath == wavPath ? options.wavPath : options.outputPath;
    if (!writeSoundtrack(options, endFrame, videoAudioRate, soundPath, soundName, error))
        return false;
    if (!mp4Output.direct)
        return muxVideo(scratchFile(0), soundPath, mp4Output.temporaryPath, error);
    return muxVideo(scratchFile(0), soundPath, scratchFile(2), error) &&
           copyInto(scratchFile(2), mp4Output, error);
}

// Everything the frames are written to, opened before the first frame, each
// file under a temporary name beside it.
static bool openOutputs(const CaptureOptions& options, std::uint64_t wavFrames,
                        CaptureSession& session, std::string& error) {
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
    soundPath.clear();
    if (mp4 && !openVideo(options, error)) return false;
    session.wavName = options.wavPath.empty() ? options.outputPath : options.wavPath;
    // A WAV at the show's own rate is written in step with the frames; one
    // at another rate afterwards (capture/soundtrack.h).
    if (!wavPath.empty() && options.wavRate == offlineRate) {
        if (!openWav(wavPath.c_str(), offlineRate, wavFrames, error)) {
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
        error = closeError + " while encoding the video " + scratchWhere;
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
    return openOfflineMusic(options.modulePath.c_str(), musicLoadFlags);
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
        return terminationSignal() != 0 ? failInterrupted() : fail(error);

    // From here on an interrupt leaves the frame loop, which cleans up.
    CaptureSession session;
    startSession(session, options, false);
    bool ok = openFrameReader(options.width, options.height, framePixelBytes(options) == 4, error);
    deferTerminationSignals();
    const std::uint64_t wavFrames = std::uint64_t(samplesBefore(dry.frame, options.fps) -
                                                  samplesBefore(options.firstFrame, options.fps));
    ok = ok && terminationSignal() == 0 && openOutputs(options, wavFrames, session, error);

    if (ok) {
        startProgress(dry.frame, dry.drawsPerScene, !options.quiet);
        if (options.outputKind != OutputKind::none) startFrameWriter(options);
        while (stepSession(session, error)) {
        }
        ok = session.end != SessionEnd::failed && session.end != SessionEnd::interrupted &&
             finishSession(session, error);
        std::string writeError;
        if (!stopFrameWriter(!ok || terminationSignal() != 0, writeError) && ok) {
            ok = false;
            error = writeError;
        }
        finishProgress();
    }
    ok = closeOutputs(options, session, ok, error);
    closeOfflineMusic();
    closeFrameReader();
    if (ok && terminationSignal() == 0 && !wavPath.empty() && options.wavRate != offlineRate &&
        wavPath != soundPath)
        ok = writeSoundtrack(options, dry.frame, options.wavRate, wavPath, options.wavPath, error);
    if (ok && terminationSignal() == 0 && options.outputKind == OutputKind::mp4)
        ok = finishVideo(options, dry.frame, error);
    removeScratchFolder();

    // Into place only when everything succeeded; otherwise nothing unfinished
    // is left under a name the user gave.
    for (PendingOutput* output : {&mp4Output, &wavOutput, &timelineOutput}) {
        if (ok && terminationSignal() == 0 && !output->temporaryPath.empty())
            ok = commitOutput(*output, error);
    }
    if (terminationSignal() != 0 || !ok) discardOutputs();
    if (terminationSignal() != 0) return failInterrupted();
    return ok ? 0 : fail(error);
}

}  // namespace demo
