// One capture run, frame by frame: the show on a virtual clock with its
// music rendered in step, and what each frame writes.
//
// Frame n is shown at n / fps seconds: before it, the music is rendered
// through the audio frame at that time, so that the order and row read there
// are the ones heard when the frame is shown; the scene's clock is
// n * 1000 / fps milliseconds, truncated. The run stops at the quit row
// (frame q: frames 0 to q - 1 exist), at the end of the range, or, without a
// range, when the music goes back to an earlier order without reaching the
// quit row; whichever comes first.
//
// Each step has a mode, chosen by the caller: finding the end (the music and
// the sequencer only, nothing drawn: a dry run finds where the show ends
// before anything is written), fast-forwarding (the show's code runs, its GL
// calls are kept, capture/fast_forward.h) or drawing (into the picture
// target, for the caller to read back). The session owns the virtual clock:
// the show's platform reads the time from it.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/fast_forward.h"
#include "capture/image_files.h"
#include "capture/options.h"
#include "music/offline.h"
#include "show/show_facts.h"

namespace demo {

enum class SessionEnd {
    running,
    rangeEnd,     // the range's end (or the hour's wait without one) was reached
    showOver,     // the sequencer reached the quit row
    looped,       // without a range: the music went back, or came back to a point
                  // it had played (libopenmpt's reckoning), without reaching it
    failed,       // a write failed; the error says which
    interrupted,  // a signal asked the capture to stop
};

enum class StepMode {
    findEnd,      // the music and the sequencer only
    fastForward,  // the show's step, its GL calls kept in the log
    draw,         // the show's step drawn into the picture target
};

// The virtual clock at frame n, in whole milliseconds (truncated).
inline int frameClockMs(std::int64_t frame, int fps) {
    return static_cast<int>(frame * 1000 / fps);
}

// Audio frames (stereo sample pairs at rate Hz) that lie before the time of
// frame n: floor(n * rate / fps). Frame n's own audio is the span from
// samplesBefore(n) to samplesBefore(n + 1).
inline std::int64_t samplesBefore(std::int64_t frame, int fps, std::int32_t rate = offlineRate) {
    return frame * rate / fps;
}

struct CaptureSession {
    const CaptureOptions* options = nullptr;

    // Where the music goes: the WAV open under the name wavName, or none;
    // the log the fast-forwarded frames' GL calls are kept in.
    WavWriter* wav = nullptr;
    std::string wavName;
    FastForwardLog* fastForward = nullptr;

    // The virtual clock: the time of the frame being stepped.
    int clockMs = 0;

    // The music: one frame's chunk and the one audio frame held back for the
    // next; audio frames rendered so far, of which the last `held` are still
    // in audio; the first audio frame the WAV takes.
    std::vector<std::int16_t> audio;
    std::int64_t rendered = 0;
    std::size_t held = 0;
    std::int64_t wavStart = 0;

    // The frames: the one the next step makes (once ended, the one where the
    // run stopped), and the last one at most; the highest order heard, and
    // the audio frame from which the music repeats itself.
    std::int64_t frame = 0;
    std::int64_t lastEnd = 0;
    std::uint32_t highestOrder = 0;
    double loopSample = 0;
    SessionEnd end = SessionEnd::running;
};

// Starts session for options: the show from the top on the virtual clock at
// frame 0, the show's platform reading this session's clock. The music must
// be open (openOfflineMusic) at its start.
void startSession(CaptureSession& session, const CaptureOptions& options);

// One frame's step in mode: the music up to the frame's time (and into the
// WAV), then the show's own step. Returns false once the run has ended
// (session.end says why; error too when it failed); session.frame is then
// the frame where it stopped, else the frame stepped.
bool stepSession(CaptureSession& session, StepMode mode, std::string& error);

// Ends a step that returned true: the next step makes the next frame.
inline void nextFrame(CaptureSession& session) { ++session.frame; }

// Whether frame is one of those to write: in the range and, with --only,
// in the list.
bool frameWanted(const CaptureOptions& options, std::int64_t frame);

// With --reduce-flashing, whether frame is drawn (but not written) for the
// filter to run on before the next frame written, so that the frame written
// shows what a run from the start would, but for a trace of 2% or less
// (picture/flash_filter_shader.h).
bool drawnForTheFilter(const CaptureOptions& options, std::int64_t frame);

}  // namespace demo
