// One capture run, frame by frame. See session.h.
#include "capture/session.h"

#include <algorithm>

#include "music/offline.h"
#include "picture/flash_filter.h"
#include "picture/flash_filter_shader.h"
#include "picture/picture_target.h"
#include "process/signals.h"
#include "show/platform.h"
#include "show/sequencer.h"

namespace demo {

// The session whose clock the show reads. NOTE: file-scope because the
// show's platform calls take no argument (show/platform.h).
static const CaptureSession* clockSession = nullptr;
static int virtualClockMs() { return clockSession != nullptr ? clockSession->clockMs : 0; }

// Frames stay in the picture target, read back by the run; the end of the
// show is asked of the sequencer (showOver).
static void keepFrame() {}
static void noteEnd() {}

// The capture's platform: the virtual clock, the offline music, no swap.
static const Platform capturePlatform = {virtualClockMs, offlineMusicPosition, keepFrame, noteEnd};

void startSession(CaptureSession& session, const CaptureOptions& options) {
    session = CaptureSession{};
    session.options = &options;
    session.audio.assign(2 * std::size_t(offlineRate / options.fps + 3), 0);
    session.wavStart = samplesBefore(options.firstFrame, options.fps);
    // How far to go: the range's end, else the quit row, given up on after
    // quitRowWaitSeconds of show.
    session.lastEnd = options.endFrame < 0 ? quitRowWaitSeconds * options.fps : options.endFrame;
    session.loopSample = offlineMusicSeconds() * offlineRate;
    clockSession = &session;
    usePlatform(capturePlatform);
    startShow();
}

bool frameWanted(const CaptureOptions& options, std::int64_t frame) {
    return frame >= options.firstFrame &&
           (options.onlyFrames.empty() ||
            std::binary_search(options.onlyFrames.begin(), options.onlyFrames.end(), frame));
}

bool drawnForTheFilter(const CaptureOptions& options, std::int64_t frame) {
    if (!options.reduceFlashing || options.outputKind == OutputKind::none) return false;
    std::int64_t next = std::max(frame, options.firstFrame);
    if (!options.onlyFrames.empty()) {
        const auto at =
            std::lower_bound(options.onlyFrames.begin(), options.onlyFrames.end(), frame);
        if (at == options.onlyFrames.end()) return false;
        next = *at;
    }
    return next - frame <= std::int64_t(flashFilterSettleSeconds * options.fps);
}

// Music through the audio frame at the time of this frame; what lies before
// this frame's time and after the range's start goes into the WAV, the rest
// waits for the next frame.
static bool renderMusic(CaptureSession& s, std::string& error) {
    const int fps = s.options->fps;
    const std::int64_t target = samplesBefore(s.frame, fps) + 1;
    const std::size_t chunk = static_cast<std::size_t>(target - s.rendered);
    renderOfflineMusic(s.audio.data() + 2 * s.held, chunk);
    s.rendered = target;
    s.held += chunk;

    const std::int64_t bufferStart = s.rendered - static_cast<std::int64_t>(s.held);
    const std::int64_t upTo = samplesBefore(s.frame, fps);
    const std::int64_t from = std::max(bufferStart, s.wavStart);
    if (s.wav != nullptr && upTo > from &&
        !appendWav(*s.wav, s.audio.data() + 2 * (from - bufferStart),
                   static_cast<std::size_t>(upTo - from), error)) {
        error = "cannot write " + s.wavName + ": " + error;
        return false;
    }
    const std::size_t keep = static_cast<std::size_t>(s.rendered - upTo);
    std::copy(s.audio.data() + 2 * (s.held - keep), s.audio.data() + 2 * s.held, s.audio.data());
    s.held = keep;
    return true;
}

// Whether the music went back to an earlier order, or played past the point
// from which it repeats itself (a one-order song, a jump to the order it is
// in): then, without having reached the quit row, it never will.
static bool looped(CaptureSession& s, std::uint32_t order) {
    // NOTE: one audio frame of room for the duration's rounding.
    if (order < s.highestOrder || double(s.rendered) > s.loopSample + 1) return true;
    s.highestOrder = order;
    return false;
}

static bool stop(CaptureSession& s, SessionEnd end) {
    s.end = end;
    return false;
}

bool stepSession(CaptureSession& s, StepMode mode, std::string& error) {
    const CaptureOptions& options = *s.options;
    if (terminationSignal() != 0) return stop(s, SessionEnd::interrupted);
    if (!renderMusic(s, error)) return stop(s, SessionEnd::failed);
    if (s.frame == s.lastEnd) return stop(s, SessionEnd::rangeEnd);

    // The show's own step: order from the position, sequencer, scene. A
    // frame that is fast-forwarded runs its scene, but nothing reaches the GL
    // driver until the next frame that is drawn.
    s.clockMs = frameClockMs(s.frame, options.fps);
    switch (mode) {
        case StepMode::findEnd:
            followMusic();
            break;
        case StepMode::draw:
            endFastForward(*s.fastForward);
            bindPictureTarget();
            displayFrame();
            if (options.reduceFlashing) filterPicture(s.clockMs);
            break;
        case StepMode::fastForward:
            startFastForward(*s.fastForward);
            displayFrame();
            break;
    }
    if (showOver()) return stop(s, SessionEnd::showOver);
    if (options.endFrame < 0 && looped(s, sequencer().position.order))
        return stop(s, SessionEnd::looped);
    return true;
}

}  // namespace demo
