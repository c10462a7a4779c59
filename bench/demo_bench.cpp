// The show's benchmark. For every scene, over the fixed series of series.h:
//
//   calls    GL calls per frame, counted by the do-nothing sink (null_gl.h),
//            and a check that they are exactly what the scene's steps issue:
//            the frame's fixed calls below plus 41 per rotated box, 36 per
//            plain box and 4 per glyph of block text;
//   own      our own code's time per frame, the GL calls going to the sink;
//   floor    the time to produce the frame's rand() budget and nothing else
//            (the same number of demo::rand() calls, summed);
//   ratio    own / floor, medians;
//   frame    the frame time drawing for real in a 640x480 window, from the
//            companion program demo-bench-render (needs an X display), with
//            the process's CPU time in the frame beside it;
//   scale    the full-screen window's scaling pass at 1920x1080 and
//            3840x2160 beside its floor, a plain clear of the window, from
//            the companion program demo-bench-scale;
//
// and the start-up time of the real program: from just before it is started
// to the return of its first buffer swap, with the font and the module
// loaded and SDL's dummy audio driver open, timed by the preloaded probe of
// first_frame_probe.cpp. Each start ends with SIGTERM and must exit with 0.
//
// Usage: demo-bench [--no-render] [--no-startup] [--starts N]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/null_gl.h"
#include "bench/series.h"
#include "font/font.h"
#include "scenes/random.h"

namespace {

const std::string binaryDir = DEMO_BINARY_DIR;

// GL calls of each scene's frame outside its boxes and glyphs, from its steps.
// Opening: blend off, scissor on and twenty bands of three calls (62); the
// standard camera (4: matrix mode, identity, depth test, look-at); the swap.
int fixedCalls(int scene, int elapsedMs) {
    const int overlaySetUp = elapsedMs < 4000 ? 4 : 0;  // blend func, blend, scissor, identity
    switch (scene) {
        case 0:  // strip 3, scissor off + translate 2, scissor on + black 2, 11 rectangles
            return 62 + 4 + 3 + 2 + 2 + 22 + overlaySetUp + 1;
        case 1:  // two panels 6, scissor off + translate + rotate 3
            return 62 + 6 + 4 + 3 + 1;
        case 2:  // scissor off 1
            return 62 + 4 + 1 + overlaySetUp + 1;
        case 3:  // own camera 5, swing 1, 120 bands of clear 3 + turn 1, turn back 1, scissor off 1
            return 5 + 1 + 120 * 4 + 1 + 1 + 1;
        case 4:  // translate + rotate 2, stripes 18, scissor off 1, identity 1, strip clear 3
            return 62 + 4 + 2 + 18 + 1 + 1 + 3 + 1;
        default:  // scissor off + translate + rotate 3
            return 62 + 4 + 3 + 1;
    }
}

// glRotatef calls of each scene's own, not made by its boxes.
int sceneRotations(int scene) {
    switch (scene) {
        case 1:
        case 4:
        case 5:
            return 1;
        case 3:
            return 1 + 120 + 1;
        default:
            return 0;
    }
}

struct SceneFigures {
    std::vector<double> calls, boxes, ownMs, floorMs, budget;
    int mismatches = 0;
    int firstMismatchFrame = -1;
    long firstMismatchCalls = 0, firstMismatchExpected = 0;
    double frameMedianMs = -1, frameP99Ms = -1, cpuMedianMs = -1, cpuP99Ms = -1;
};

SceneFigures figures[bench::sceneTotal];

volatile int floorSink;

// The floor: n calls of the generator and nothing else.
void produceRandBudget(long n) {
    int sum = 0;
    for (long i = 0; i < n; ++i)
        sum += demo::rand();
    floorSink = sum;
}

// How many generator steps lead from state from to state to.
long stepsBetween(std::uint32_t from, std::uint32_t to) {
    long steps = 0;
    for (std::uint32_t s = from; s != to; s = demo::nextRandState(s)) {
        if (++steps > 100000000) return -1;
    }
    return steps;
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void measureScene(int scene) {
    SceneFigures& f = figures[scene];
    const demo::SceneFn fn = bench::sceneFns[scene];
    // One untimed frame to warm caches and fill run-long tables.
    bench::startSeries();
    fn(0);
    bench::startSeries();
    for (int frame = 0; frame < bench::framesPerSeries; ++frame) {
        const int elapsedMs = bench::elapsedOfFrame(frame);
        const std::uint32_t before = demo::randState();
        nullgl::reset();
        const auto start = std::chrono::steady_clock::now();
        fn(elapsedMs);
        f.ownMs.push_back(msSince(start));
        const std::uint32_t after = demo::randState();

        // The calls against the scene's steps.
        using demo::GlCall;
        using nullgl::count;
        const long total = long(nullgl::total());
        const long rotated = long(count(GlCall::Rotatef)) - sceneRotations(scene);
        const long plain = long(count(GlCall::Begin)) - rotated;
        const long glyphs = long(count(GlCall::PushMatrix)) - 2 * rotated - plain;
        const long expected = fixedCalls(scene, elapsedMs) + 41 * rotated + 36 * plain + 4 * glyphs;
        if (total != expected || count(GlCall::Begin) != count(GlCall::End) ||
            count(GlCall::Vertex3f) != 24 * count(GlCall::Begin)) {
            if (f.mismatches++ == 0) {
                f.firstMismatchFrame = frame;
                f.firstMismatchCalls = total;
                f.firstMismatchExpected = expected;
            }
        }
        f.calls.push_back(double(total));
        f.boxes.push_back(double(count(GlCall::Begin)));

        // The floor: the same budget of generator calls from the same state.
        const long budget = stepsBetween(before, after);
        f.budget.push_back(double(budget));
        demo::setRandState(before);
        const auto floorStart = std::chrono::steady_clock::now();
        produceRandBudget(budget);
        f.floorMs.push_back(msSince(floorStart));
        if (demo::randState() != after) {
            std::fprintf(stderr, "demo-bench: the floor did not reproduce scene %d's budget\n",
                         scene + 1);
            std::exit(1);
        }
    }
}

// Runs the companion program and reads its frame times.
bool measureFrames() {
    const std::string command =
        "'" + std::string(DEMO_BENCH_RENDER) + "' '" + binaryDir + "/fontpre.tga'";
    std::FILE* out = popen(command.c_str(), "r");
    if (out == nullptr) return false;
    char line[256];
    int seen = 0;
    while (std::fgets(line, sizeof line, out) != nullptr) {
        int scene = 0;
        double median = 0, p99 = 0, cpuMedian = 0, cpuP99 = 0;
        if (std::sscanf(line, "frame-time scene%d %lf %lf %lf %lf", &scene, &median, &p99,
                        &cpuMedian, &cpuP99) == 5 &&
            scene >= 1 && scene <= bench::sceneTotal) {
            SceneFigures& f = figures[scene - 1];
            f.frameMedianMs = median;
            f.frameP99Ms = p99;
            f.cpuMedianMs = cpuMedian;
            f.cpuP99Ms = cpuP99;
            ++seen;
        }
    }
    return pclose(out) == 0 && seen == bench::sceneTotal;
}

// The scaling pass at each window size, from the companion program.
struct ScaleFigures {
    int width, height;
    double passMs = -1, floorMs = -1, passCpuMs = -1, floorCpuMs = -1;
};

bool measureScaling(ScaleFigures& f) {
    const std::string command = "'" + std::string(DEMO_BENCH_SCALE) + "' " +
                                std::to_string(f.width) + " " + std::to_string(f.height);
    std::FILE* out = popen(command.c_str(), "r");
    if (out == nullptr) return false;
    char line[256];
    bool seen = false;
    while (std::fgets(line, sizeof line, out) != nullptr) {
        int w = 0, h = 0;
        if (std::sscanf(line, "scale %dx%d %lf %lf %lf %lf", &w, &h, &f.passMs, &f.floorMs,
                        &f.passCpuMs, &f.floorCpuMs) == 6)
            seen = w == f.width && h == f.height;
    }
    return pclose(out) == 0 && seen;
}

void printScaling(ScaleFigures* sizes, int count, double scene2FrameMs) {
    std::printf(
        "\nThe full-screen window's scaling pass per frame, beside its floor, a plain clear of "
        "the window\n(medians of 200, ms; scene 2's frame: %.2f)\n\n",
        scene2FrameMs);
    std::printf("%-10s | %-6s | %-6s | %-10s | %s\n", "window", "pass", "floor", "pass/floor",
                "CPU pass / floor");
    for (int i = 0; i < count; ++i) {
        const ScaleFigures& f = sizes[i];
        char size[24];
        std::snprintf(size, sizeof size, "%dx%d", f.width, f.height);
        if (f.passMs < 0) {
            std::printf("%-10s | not measured\n", size);
            continue;
        }
        std::printf("%-10s | %-6.2f | %-6.2f | %-10.1f | %.2f / %.2f\n", size, f.passMs, f.floorMs,
                    f.passMs / f.floorMs, f.passCpuMs, f.floorCpuMs);
    }
}

std::int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// One start of the real program in the build directory, with or without
// Mesa's shader cache; the milliseconds to its first swapped frame, or a
// negative value when it failed.
double timeOneStart(bool shaderCache) {
    int channel[2];
    if (pipe(channel) != 0) return -1;
    const std::int64_t started = monotonicNs();
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(channel[0]);
        if (chdir(binaryDir.c_str()) != 0) _exit(126);
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            dup2(quiet, 1);
            dup2(quiet, 2);
        }
        setenv("DEMO_FIRST_FRAME_FD", std::to_string(channel[1]).c_str(), 1);
        setenv("LD_PRELOAD", DEMO_FIRST_FRAME_PROBE, 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!shaderCache) setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
        execl("./demo", "demo", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(channel[1]);
    std::int64_t swapped = 0;
    pollfd wait{channel[0], POLLIN, 0};
    const bool ready =
        poll(&wait, 1, 20000) == 1 && read(channel[0], &swapped, sizeof swapped) == sizeof swapped;
    close(channel[0]);
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    if (!ready || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return double(swapped - started) / 1e6;
}

void printTable(bool framesMeasured) {
    std::printf(
        "\nPer scene, %d frames at elapsedMs 0, %d, ..., %d from generator state 1 (times in "
        "ms)\n\n",
        bench::framesPerSeries, bench::frameStepMs,
        bench::elapsedOfFrame(bench::framesPerSeries - 1));
    std::printf("%-5s | %-23s | %-5s | %-13s | %-17s | %-5s | %-13s | %-7s | %s\n", "scene",
                "GL calls/frame med (max)", "boxes", "own med / p99", "floor med (rand)", "ratio",
                "frame med / p99", "p99/med", "frame CPU med / p99");
    for (int s = 0; s < bench::sceneTotal; ++s) {
        const SceneFigures& f = figures[s];
        const double own = bench::percentile(f.ownMs, 0.5);
        const double floor = bench::percentile(f.floorMs, 0.5);
        char frames[40] = "-", spread[16] = "-", cpu[40] = "-";
        if (framesMeasured) {
            std::snprintf(frames, sizeof frames, "%.2f / %.2f", f.frameMedianMs, f.frameP99Ms);
            std::snprintf(spread, sizeof spread, "%.2f", f.frameP99Ms / f.frameMedianMs);
            std::snprintf(cpu, sizeof cpu, "%.2f / %.2f", f.cpuMedianMs, f.cpuP99Ms);
        }
        char calls[40], floorText[40], ownText[40];
        std::snprintf(calls, sizeof calls, "%.0f (%.0f)%s", bench::percentile(f.calls, 0.5),
                      bench::percentile(f.calls, 1.0), f.mismatches ? " !" : "");
        std::snprintf(ownText, sizeof ownText, "%.3f / %.3f", own,
                      bench::percentile(f.ownMs, 0.99));
        std::snprintf(floorText, sizeof floorText, "%.3f (%.0f)", floor,
                      bench::percentile(f.budget, 0.5));
        std::printf("%-5d | %-23s | %-5.0f | %-13s | %-17s | %-5.2f | %-13s | %-7s | %s\n", s + 1,
                    calls, bench::percentile(f.boxes, 0.5), ownText, floorText, own / floor, frames,
                    spread, cpu);
    }
    bool allMatch = true;
    for (int s = 0; s < bench::sceneTotal; ++s) {
        const SceneFigures& f = figures[s];
        if (f.mismatches == 0) continue;
        allMatch = false;
        std::printf("scene %d: %d frames issue calls beyond the steps (frame %d: %ld, steps %ld)\n",
                    s + 1, f.mismatches, f.firstMismatchFrame, f.firstMismatchCalls,
                    f.firstMismatchExpected);
    }
    if (allMatch) std::printf("\nEvery frame issues exactly the calls of its scene's steps.\n");
}

}  // namespace

int main(int argc, char** argv) {
    bool render = true, startup = true;
    int starts = 21;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-render") == 0) {
            render = false;
        } else if (std::strcmp(argv[i], "--no-startup") == 0) {
            startup = false;
        } else if (std::strcmp(argv[i], "--starts") == 0 && i + 1 < argc) {
            starts = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: demo-bench [--no-render] [--no-startup] [--starts N]\n");
            return 2;
        }
    }
    const std::string font = binaryDir + "/fontpre.tga";
    std::string problem;
    if (!demo::readFontImage(font.c_str(), problem)) {
        std::fprintf(stderr, "demo-bench: %s %s\n", font.c_str(), problem.c_str());
        return 1;
    }
    for (SceneFigures& f : figures) {
        f.calls.reserve(bench::framesPerSeries);
        f.ownMs.reserve(bench::framesPerSeries);
    }
    for (int s = 0; s < bench::sceneTotal; ++s)
        measureScene(s);

    const bool display = std::getenv("DISPLAY") != nullptr;
    bool framesMeasured = false;
    if (render && display) {
        framesMeasured = measureFrames();
        if (!framesMeasured) std::fprintf(stderr, "demo-bench: the frame-time run failed\n");
    }
    printTable(framesMeasured);
    if (render && display) {
        ScaleFigures sizes[] = {{1920, 1080}, {3840, 2160}};
        for (ScaleFigures& f : sizes) {
            if (!measureScaling(f))
                std::fprintf(stderr, "demo-bench: the scaling run at %dx%d failed\n", f.width,
                             f.height);
        }
        printScaling(sizes, 2, figures[1].frameMedianMs);
    }

    if (startup && display) {
        std::printf("\nStart-up to the first swapped frame, %d starts each:\n", starts);
        // NOTE: Mesa keeps compiled shaders in a disk cache; without it every
        // start compiles them, as the very first start on a machine does.
        for (bool shaderCache : {true, false}) {
            std::vector<double> times;
            int failures = 0;
            for (int i = 0; i < starts; ++i) {
                const double ms = timeOneStart(shaderCache);
                if (ms < 0)
                    ++failures;
                else
                    times.push_back(ms);
            }
            std::printf("  %-24s median %.1f ms, min %.1f ms, max %.1f ms; %d failed starts\n",
                        shaderCache ? "Mesa's shader cache:" : "no shader cache (cold):",
                        bench::percentile(times, 0.5),
                        bench::percentile(times, 1.0 / double(times.empty() ? 1 : times.size())),
                        bench::percentile(times, 1.0), failures);
        }
    } else if (!display) {
        std::printf("\nNo X display: frame times and start-up not measured.\n");
    }
    return 0;
}
