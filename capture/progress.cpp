// The capture's progress bar. See progress.h.
#include "capture/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace demo {

namespace {

using ProgressClock = std::chrono::steady_clock;

// The seconds the rest of a kind will take at the rate so far; -1 while the
// kind has not been measured over a few frames (and some are left).
double secondsLeft(const FrameKind& kind) {
    if (kind.done >= kind.total) return 0;
    if (kind.done < 3) return -1;
    return double(kind.total - kind.done) * kind.seconds / double(kind.done);
}

// What drawing and writing a frame of each scene costs against the others:
// milliseconds a frame of a 640x480 video on Mesa's llvmpipe, on two cores.
// Only the ratios matter; on other machines and at other sizes they are a
// first guess, replaced by each scene's own rate once it has been drawn.
constexpr std::array<double, scenesShown> sceneCost = {24, 15, 56, 30, 32, 17};
// Frames of a scene drawn before its own rate is trusted.
constexpr std::int64_t sceneMeasured = 10;
// Columns assumed when standard error's width cannot be read.
constexpr int defaultColumns = 80;

// All drawn frames as one kind: the totals of the scenes'.
FrameKind drawnFrames(const Progress& p) {
    FrameKind all;
    for (const FrameKind& scene : p.drawnScenes) {
        all.total += scene.total;
        all.done += scene.done;
        all.seconds += scene.seconds;
    }
    return all;
}

// The seconds the drawn frames still to come will take, scene by scene; -1
// while too few have been drawn (and some are left).
double drawnSecondsLeft(const Progress& p) {
    const FrameKind all = drawnFrames(p);
    if (secondsLeft(all) <= 0) return secondsLeft(all);
    double costDone = 0;
    for (std::size_t s = 0; s < p.drawnScenes.size(); ++s)
        costDone += double(p.drawnScenes[s].done) * sceneCost[s];
    double left = 0;
    for (std::size_t s = 0; s < p.drawnScenes.size(); ++s) {
        const FrameKind& scene = p.drawnScenes[s];
        left += scene.done >= sceneMeasured
                    ? secondsLeft(scene)
                    : double(scene.total - scene.done) * sceneCost[s] * all.seconds / costDone;
    }
    return left;
}

double secondsSince(ProgressClock::time_point then) {
    return std::chrono::duration<double>(ProgressClock::now() - then).count();
}

std::string format(const char* pattern, double a, double b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

int terminalColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return defaultColumns;
}

void drawBar(Progress& p) {
    const std::string line = progressLine(p, secondsSince(p.started), terminalColumns());
    std::fprintf(stderr, "\r%s\033[K", line.c_str());  // the rest of the line cleared
    std::fflush(stderr);
    p.lastDrawn = ProgressClock::now();
}

}  // namespace

std::string progressLine(const Progress& p, double elapsed, int columns) {
    const FrameKind drawn = drawnFrames(p);
    const FrameKind& ff = p.fastForwarded;
    const double ffLeft = secondsLeft(ff), drawLeft = drawnSecondsLeft(p);
    const double left = ffLeft < 0 || drawLeft < 0 ? -1 : ffLeft + drawLeft;

    // Each kind's count and rate, then the time left once it is known: the
    // full text first, then shorter ones until one fits.
    const bool ffRate = ff.done > 0 && ff.seconds > 0,
               drawnRate = drawn.done > 0 && drawn.seconds > 0;
    const std::string ffCount = format("%.0f/%.0f", double(ff.done), double(ff.total));
    const std::string drawnCount = format("%.0f/%.0f", double(drawn.done), double(drawn.total));
    std::string time;
    if (left > 0) {
        const long long seconds = (long long)(left + 0.5);
        time = format("  %.0f:%02.0f left", double(seconds / 60), double(seconds % 60));
    }
    std::string texts[3];
    for (int shortness = 0; shortness < 3; ++shortness) {
        std::string& text = texts[shortness];
        if (ff.total > 0) {
            text += (shortness < 2 ? "fast-forwarded " : "ff ") + ffCount;
            if (shortness == 0 && ffRate)
                text += format(" (%.0f fps)", double(ff.done) / ff.seconds);
            text += ", ";
        }
        text += "drawn " + drawnCount;
        if (shortness == 0 && drawnRate)
            text += format(" (%.1f fps)", double(drawn.done) / drawn.seconds);
        text += time;
    }
    const int room = std::max(columns - 1, 1);
    std::string text = texts[2];
    for (const std::string& t : texts) {
        if (int(t.size()) <= room) {
            text = t;
            break;
        }
    }

    // The bar follows the time: done over done and left, once the time left
    // is known; until then the frames, a drawn one counted as much as
    // drawnWeight fast-forwarded ones, about what they cost. It takes up to
    // 30 columns of what the text leaves, and goes below 5.
    constexpr int widest = 30, narrowest = 5;
    constexpr double drawnWeight = 50;
    const int width = std::min(widest, room - int(text.size()) - 3);
    if (width < narrowest) return text.substr(0, std::size_t(room));
    const double all = double(ff.total) + drawnWeight * double(drawn.total);
    const double part = left >= 0 ? elapsed / (elapsed + left)
                        : all > 0 ? (double(ff.done) + drawnWeight * double(drawn.done)) / all
                                  : 0;
    std::string bar = "[";
    for (int i = 0; i < width; ++i)
        bar += i < int(part * width) ? '#' : '-';
    return bar + "] " + text;
}

void startProgress(Progress& p, std::int64_t frames,
                   const std::array<std::int64_t, scenesShown>& drawsPerScene, bool wanted) {
    p.shown = wanted && isatty(STDERR_FILENO) == 1;
    p.fastForwarded = FrameKind{frames, 0, 0};
    for (std::size_t s = 0; s < p.drawnScenes.size(); ++s) {
        p.drawnScenes[s] = FrameKind{drawsPerScene[s], 0, 0};
        p.fastForwarded.total -= drawsPerScene[s];
    }
    p.started = p.lastFrame = ProgressClock::now();
    if (p.shown) drawBar(p);
}

void updateProgress(Progress& p, bool drawn, int sceneIndex) {
    if (!p.shown) return;
    FrameKind& kind =
        drawn ? p.drawnScenes[std::size_t(std::min(sceneIndex, scenesShown - 1))] : p.fastForwarded;
    ++kind.done;
    kind.seconds += secondsSince(p.lastFrame);
    p.lastFrame = ProgressClock::now();
    if (secondsSince(p.lastDrawn) >= 0.1) drawBar(p);
}

void finishProgress(Progress& p) {
    if (!p.shown) return;
    // A run that ends early (the show's end) has no frames left to wait for.
    p.fastForwarded.total = p.fastForwarded.done;
    for (FrameKind& scene : p.drawnScenes)
        scene.total = scene.done;
    drawBar(p);
    std::fputc('\n', stderr);
    p.shown = false;
}

}  // namespace demo
