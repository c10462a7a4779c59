// The capture's progress bar. See progress.h.
#include "capture/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace demo {

using ProgressClock = std::chrono::steady_clock;

static bool progressShown = false;
static std::int64_t progressTotal = 0;
static ProgressClock::time_point progressStart, progressDrawn;

static void drawProgress(std::int64_t done) {
    const double seconds =
        std::chrono::duration<double>(ProgressClock::now() - progressStart).count();
    const double rate = seconds > 0 ? double(done) / seconds : 0;

    // Bar, counts and rate, then the time left once there is a rate.
    constexpr int width = 30;
    char bar[width + 1];
    const std::int64_t filled = progressTotal > 0 ? done * width / progressTotal : 0;
    for (int i = 0; i < width; ++i)
        bar[i] = i < filled ? '#' : '-';
    bar[width] = '\0';
    std::fprintf(stderr, "\r[%s] %lld/%lld frames  %.1f fps", bar, (long long)done,
                 (long long)progressTotal, rate);
    if (rate > 0 && progressTotal > done) {
        const long long left = (long long)(double(progressTotal - done) / rate + 0.5);
        std::fprintf(stderr, "  %lld:%02lld left  ", left / 60, left % 60);
    } else {
        std::fprintf(stderr, "              ");
    }
    std::fflush(stderr);
    progressDrawn = ProgressClock::now();
}

void startProgress(std::int64_t total, bool wanted) {
    progressShown = wanted && isatty(STDERR_FILENO) == 1;
    progressTotal = total;
    progressStart = ProgressClock::now();
    if (progressShown) drawProgress(0);
}

void updateProgress(std::int64_t done) {
    if (!progressShown) return;
    if (ProgressClock::now() - progressDrawn < std::chrono::milliseconds(100)) return;
    drawProgress(done);
}

void finishProgress(std::int64_t done) {
    if (!progressShown) return;
    if (done > progressTotal) progressTotal = done;
    drawProgress(done);
    std::fputc('\n', stderr);
    progressShown = false;
}

}  // namespace demo
