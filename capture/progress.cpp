// The capture's progress bar. See progress.h.
#include "capture/progress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace demo {

namespace {

using ProgressClock = std::chrono::steady_clock;

// One kind of frame: how many are to come, how many are done, and the time
// they took.
struct FrameKind {
    std::int64_t total = 0, done = 0;
    double seconds = 0;

    // The seconds the rest will take at the rate so far; -1 while the kind
    // has not been measured over a few frames (and some are left).
    double secondsLeft() const {
        if (done >= total) return 0;
        if (done < 3) return -1;
        return double(total - done) * seconds / double(done);
    }
};

// What drawing and writing a frame of each scene costs against the others:
// milliseconds a frame of a 640x480 video on Mesa's llvmpipe, on two cores.
// Only the ratios matter; on other machines and at other sizes they are a
// first guess, replaced by each scene's own rate once it has been drawn.
constexpr std::array<double, scenesShown> sceneCost = {24, 15, 56, 30, 32, 17};
// Frames of a scene drawn before its own rate is trusted.
constexpr std::int64_t sceneMeasured = 10;

bool shown = false;
FrameKind fastForwarded;
std::array<FrameKind, scenesShown> drawnScenes;
ProgressClock::time_point started, lastFrame, lastDrawn;

// All drawn frames as one kind: the totals of the scenes'.
FrameKind drawnFrames() {
    FrameKind all;
    for (const FrameKind& scene : drawnScenes) {
        all.total += scene.total;
        all.done += scene.done;
        all.seconds += scene.seconds;
    }
    return all;
}

// The seconds the drawn frames still to come will take, scene by scene; -1
// while too few have been drawn (and some are left).
double drawnSecondsLeft() {
    const FrameKind all = drawnFrames();
    if (all.secondsLeft() <= 0) return all.secondsLeft();
    double costDone = 0;
    for (std::size_t s = 0; s < drawnScenes.size(); ++s)
        costDone += double(drawnScenes[s].done) * sceneCost[s];
    double left = 0;
    for (std::size_t s = 0; s < drawnScenes.size(); ++s) {
        const FrameKind& scene = drawnScenes[s];
        left += scene.done >= sceneMeasured
                    ? scene.secondsLeft()
                    : double(scene.total - scene.done) * sceneCost[s] * all.seconds / costDone;
    }
    return left;
}

double secondsSince(ProgressClock::time_point then) {
    return std::chrono::duration<double>(ProgressClock::now() - then).count();
}

void drawBar() {
    const FrameKind drawn = drawnFrames();
    const double ffLeft = fastForwarded.secondsLeft(), drawLeft = drawnSecondsLeft();
    const double left = ffLeft < 0 || drawLeft < 0 ? -1 : ffLeft + drawLeft;
    const double elapsed = secondsSince(started);

    // The bar follows the time: done over done and left, once the time left
    // is known; until then the frames, a drawn one counted as much as
    // drawnWeight fast-forwarded ones, about what they cost.
    constexpr int width = 30;
    constexpr double drawnWeight = 50;
    const double all = double(fastForwarded.total) + drawnWeight * double(drawn.total);
    const double part = left >= 0 ? elapsed / (elapsed + left)
                        : all > 0
                            ? (double(fastForwarded.done) + drawnWeight * double(drawn.done)) / all
                            : 0;
    char bar[width + 1];
    for (int i = 0; i < width; ++i)
        bar[i] = i < int(part * width) ? '#' : '-';
    bar[width] = '\0';

    // Each kind's count and rate, then the time left once it is known.
    std::fprintf(stderr, "\r[%s] ", bar);
    if (fastForwarded.total > 0) {
        std::fprintf(stderr, "fast-forwarded %lld/%lld", (long long)fastForwarded.done,
                     (long long)fastForwarded.total);
        if (fastForwarded.done > 0 && fastForwarded.seconds > 0)
            std::fprintf(stderr, " (%.0f fps)", double(fastForwarded.done) / fastForwarded.seconds);
        std::fprintf(stderr, ", ");
    }
    std::fprintf(stderr, "drawn %lld/%lld", (long long)drawn.done, (long long)drawn.total);
    if (drawn.done > 0 && drawn.seconds > 0)
        std::fprintf(stderr, " (%.1f fps)", double(drawn.done) / drawn.seconds);
    if (left > 0) {
        const long long seconds = (long long)(left + 0.5);
        std::fprintf(stderr, "  %lld:%02lld left", seconds / 60, seconds % 60);
    }
    std::fprintf(stderr, "\033[K");  // the rest of the line cleared
    std::fflush(stderr);
    lastDrawn = ProgressClock::now();
}

}  // namespace

void startProgress(std::int64_t frames, const std::array<std::int64_t, scenesShown>& drawsPerScene,
                   bool wanted) {
    shown = wanted && isatty(STDERR_FILENO) == 1;
    fastForwarded = FrameKind{frames, 0, 0};
    for (std::size_t s = 0; s < drawnScenes.size(); ++s) {
        drawnScenes[s] = FrameKind{drawsPerScene[s], 0, 0};
        fastForwarded.total -= drawsPerScene[s];
    }
    started = lastFrame = ProgressClock::now();
    if (shown) drawBar();
}

void updateProgress(bool drawn, int sceneIndex) {
    if (!shown) return;
    FrameKind& kind =
        drawn ? drawnScenes[std::size_t(std::min(sceneIndex, scenesShown - 1))] : fastForwarded;
    ++kind.done;
    kind.seconds += secondsSince(lastFrame);
    lastFrame = ProgressClock::now();
    if (secondsSince(lastDrawn) >= 0.1) drawBar();
}

void finishProgress() {
    if (!shown) return;
    // A run that ends early (the show's end) has no frames left to wait for.
    fastForwarded.total = fastForwarded.done;
    for (FrameKind& scene : drawnScenes)
        scene.total = scene.done;
    drawBar();
    std::fputc('\n', stderr);
    shown = false;
}

}  // namespace demo
