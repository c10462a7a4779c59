// A capture run: everything one capture opens, in one object made from the
// options and undone by one finish, in the reverse order, on success,
// failure and signal alike.
//
// Opened in this order: the folder the pictures go into (and its parents),
// the outputs under their temporary names (capture/outputs.h), the video's
// scratch folder and its encoder (capture/video.h), the WAV, the timeline,
// the frame pipe (read-back and writer thread, capture/frame_pipe.h), the
// progress bar. The music (music/offline.h) is opened again from its start
// for the run and closed with it; a WAV at another rate than the show's, and
// the MP4's sound, are rendered once the frames are done
// (capture/soundtrack.h). The GL context is the process's
// (capture/gl_window.h) and must be current.
//
// The finish puts the outputs in place only when everything succeeded, all
// or none (commitOutputs); otherwise nothing unfinished is left under a name
// the user gave, and the folders the run made are removed when empty.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "capture/fast_forward.h"
#include "capture/frame_pipe.h"
#include "capture/image_files.h"
#include "capture/options.h"
#include "capture/outputs.h"
#include "capture/progress.h"
#include "capture/session.h"
#include "capture/video.h"
#include "show/show_facts.h"

namespace demo {

// Where the show ends, from a run that only finds it: frames 0 to frame - 1
// exist, and drawsPerScene[s] of those to draw are in scene s + 1.
struct ShowEnd {
    std::int64_t frame = 0;
    std::array<std::int64_t, scenesShown> drawsPerScene{};
};

struct CaptureRun {
    const CaptureOptions* options = nullptr;
    ShowEnd showEnd;
    FrameFormat format;  // the frames read back and written

    MadeFolders folders;
    PendingOutput mp4Output, wavOutput, timelineOutput;
    ScratchFolder scratch;
    VideoEncoder encoder;
    // Where the WAV is written meanwhile: --wav's temporary file (or the
    // device itself); empty without --wav. The MP4's sound at videoAudioRate:
    // in the scratch folder, or --wav's file when it is a plain file at that
    // rate; empty without an MP4.
    std::string wavPath, soundPath;
    WavWriter wav;
    std::FILE* timeline = nullptr;
    FramePipe pipe;
    Progress progress;

    FastForwardLog fastForward;
    CaptureSession session;
};

// Opens everything run writes for options, up to where the show ends; false
// with a one-line reason in error (the finish then undoes what was opened).
bool openRun(CaptureRun& run, const CaptureOptions& options, const ShowEnd& showEnd,
             std::string& error);

// Steps, draws and writes every frame; false when the run failed (error says
// why) or was interrupted.
bool playRun(CaptureRun& run, std::string& error);

// Closes everything in the reverse order, puts the outputs in place when ok,
// and says how it ended: returns the exit status, 0 when everything asked
// for is in place; otherwise prints one line "demo-capture: ..." (error, or
// what an interrupt left) and returns 1, or 128 + the signal's number.
int finishRun(CaptureRun& run, bool ok, std::string error);

}  // namespace demo
