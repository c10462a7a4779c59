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
// A session is used twice: a dry run (the music and the sequencer only,
// nothing drawn or written) finds where the show ends before anything is
// written, and the real run then draws, reads back and writes. Frames that
// are not written are fast-forwarded (capture/fast_forward.h).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/options.h"
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

struct CaptureSession {
    const CaptureOptions* options = nullptr;
    bool dry = false;  // the dry run: nothing drawn or written

    // Where the frames go (the real run): the timeline file, and whether a
    // WAV is open (appendWav) under the name wavName.
    std::FILE* timeline = nullptr;
    bool wavOpen = false;
    std::string wavName;

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

    // The dry run's count of the frames to draw in each scene, which cost
    // very differently (capture/progress.h).
    std::array<std::int64_t, scenesShown> drawsPerScene{};
};

// Starts session for options: the show from the top on the virtual clock at
// frame 0. The music must be open (openOfflineMusic) at its start.
void startSession(CaptureSession& session, const CaptureOptions& options, bool dry);

// One frame's step: the music up to the frame's time (and into the WAV),
// the show's own step, then the timeline's line and the frame written when
// it is asked for. Returns false once the run has ended (session.end says
// why; error too when it failed).
bool stepSession(CaptureSession& session, std::string& error);

// After the last step of a run that ended as it should: the frame still
// being read back goes to the writer. False with the writer's error when a
// write failed.
bool finishSession(CaptureSession& session, std::string& error);

// Whether frame is one of those to write: in the range and, with --only,
// in the list.
bool frameWanted(const CaptureOptions& options, std::int64_t frame);

}  // namespace demo
