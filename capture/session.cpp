// One capture run, frame by frame. See session.h.
#include "capture/session.h"

#include <algorithm>

#include "capture/fast_forward.h"
#include "capture/frame_reader.h"
#include "capture/frame_writer.h"
#include "capture/image_files.h"
#include "capture/progress.h"
#include "music/offline.h"
#include "picture/flash_filter.h"
#include "picture/flash_filter_shader.h"
#include "process/signals.h"
#include "show/platform.h"
#include "show/sequencer.h"

namespace demo {

// The virtual clock: the time of the frame being drawn, in milliseconds.
static int virtualNowMs = 0;
static int virtualClockMs() { return virtualNowMs; }

// Frames stay in the picture target, read back by the step; the end of the
// show is asked of the sequencer (showOver).
static void keepFrame() {}
static void noteEnd() {}

// The capture's platform: the virtual clock, the offline music, no swap.
static const Platform capturePlatform = {virtualClockMs, offlineMusicPosition, keepFrame, noteEnd};

void startSession(CaptureSession& session, const CaptureOptions& options, bool dry) {
    session = CaptureSession{};
    session.options = &options;
    session.dry = dry;
    session.audio.assign(2 * std::size_t(offlineRate / options.fps + 3), 0);
    session.wavStart = samplesBefore(options.firstFrame, options.fps);
    // How far to go: the range's end, else the quit row, given up on after
    // quitRowWaitSeconds of show.
    session.lastEnd = options.endFrame < 0 ? quitRowWaitSeconds * options.fps : options.endFrame;
    session.loopSample = offlineMusicSeconds() * offlineRate;
    usePlatform(capturePlatform);
    virtualNowMs = 0;
    startShow();
}

bool frameWanted(const CaptureOptions& options, std::int64_t frame) {
    return frame >= options.firstFrame &&
           (options.onlyFrames.empty() ||
            std::binary_search(options.onlyFrames.begin(), options.onlyFrames.end(), frame));
}

// With --reduce-flashing, whether frame is drawn (but not written) for the
// filter to run on before the next frame written, so that the frame written
// shows what a run from the start would, but for a trace of 2% or less
// (flash_filter_shader.h).
static bool drawnForTheFilter(const CaptureOptions& options, std::int64_t frame) {
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
    if (s.wavOpen && upTo > from &&
        !appendWav(s.audio.data() + 2 * (from - bufferStart), static_cast<std::size_t>(upTo - from),
                   error)) {
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

static void writeTimelineLine(const CaptureSession& s) {
    const SequencerState& show = sequencer();
    std::fprintf(s.timeline, "%lld %d %u %u %d %d\n", static_cast<long long>(s.frame), virtualNowMs,
                 show.position.order, show.position.row, show.sceneIndex + 1, show.elapsedMs);
}

// Hands the frames read back to the writer until at most keep are still
// being read; false with the writer's error once a write has failed.
static bool passFramesOn(int keep, std::string& error) {
    while (framesBeingRead() > keep) {
        std::uint8_t* pixels = frameBuffer();
        if (pixels == nullptr) {
            stopFrameWriter(false, error);
            return false;
        }
        const std::int64_t frame = finishFrameRead(pixels);
        if (frame < 0) {
            error = "the GL driver could not hand over a frame it drew";
            return false;
        }
        queueFrame(frame);
    }
    return true;
}

// The frame just drawn, asked to be read back; the one before it, read by
// now, goes to the writer.
static bool writeFrame(const CaptureSession& s, std::string& error) {
    startFrameRead(s.frame);
    return passFramesOn(1, error);
}

bool finishSession(CaptureSession&, std::string& error) { return passFramesOn(0, error); }

static bool stop(CaptureSession& s, SessionEnd end) {
    s.end = end;
    return false;
}

bool stepSession(CaptureSession& s, std::string& error) {
    const CaptureOptions& options = *s.options;
    if (terminationSignal() != 0) return stop(s, SessionEnd::interrupted);
    if (!renderMusic(s, error)) return stop(s, SessionEnd::failed);
    if (s.frame == s.lastEnd) return stop(s, SessionEnd::rangeEnd);

    // The show's own step: order from the position, sequencer, scene. A
    // frame that is not written is fast-forwarded: its scene runs, but
    // nothing reaches the GL driver until the next frame that is drawn.
    virtualNowMs = frameClockMs(s.frame, options.fps);
    const bool drawn = options.outputKind != OutputKind::none && frameWanted(options, s.frame);
    if (s.dry) {
        followMusic();
    } else if (drawn || drawnForTheFilter(options, s.frame)) {
        endFastForward();
        bindFrameTarget();
        displayFrame();
        if (options.reduceFlashing) filterPicture(virtualNowMs);
    } else {
        startFastForward();
        displayFrame();
    }
    if (showOver()) return stop(s, SessionEnd::showOver);
    if (options.endFrame < 0 && looped(s, sequencer().position.order))
        return stop(s, SessionEnd::looped);
    if (s.dry) {
        if (drawn)
            ++s.drawsPerScene[std::size_t(std::min(sequencer().sceneIndex, scenesShown - 1))];
        ++s.frame;
        return true;
    }

    if (s.timeline != nullptr) writeTimelineLine(s);
    if (drawn && !writeFrame(s, error)) return stop(s, SessionEnd::failed);
    ++s.frame;
    updateProgress(drawn, sequencer().sceneIndex);
    return true;
}

}  // namespace demo
