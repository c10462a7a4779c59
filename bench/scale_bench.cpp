// The scaling pass of the full-screen window, timed beside its floor.
//
// Opens a window of the given size as the show opens its full-screen window
// (double-buffered, no depth buffer), draws one frame of scene 2 into the
// picture target, then times, alternately, 200 times each:
//
//   pass   the scaling pass onto the window's back buffer (picture/picture_target.h:
//          bars cleared black, the picture drawn sharply by the scaling
//          program), up to glFinish;
//   floor  a plain clear of the whole window, which writes the same pixels,
//          up to glFinish.
//
// Each time is wall-clock, with the process's CPU time (our thread and the
// driver's rasterizer threads) beside it. The swap that follows the pass in
// the show is left out: every frame pays it, scaled or not.
//
// Usage: demo-bench-scale WIDTH HEIGHT. Output, one line:
// "scale WxH <pass median ms> <floor median ms> <pass CPU ms> <floor CPU ms>".
// Needs an X display; the window may be larger than its screen.
#define GL_GLEXT_PROTOTYPES
#include <GL/glut.h>
#include <GL/glext.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/series.h"
#include "scenes/scenes.h"
#include "picture/picture_target.h"
#include "desktop/desktop_shell.h"

namespace {

constexpr int rounds = 200;

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Times {
    std::vector<double> wallMs, cpuMs;
};

template <typename Step>
void timeOnce(Times& times, Step step) {
    glFinish();
    const double cpuStart = processCpuMs();
    const auto start = std::chrono::steady_clock::now();
    step();
    glFinish();
    times.wallMs.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    times.cpuMs.push_back(processCpuMs() - cpuStart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[1]) < 1 || std::atoi(argv[2]) < 1) {
        std::fprintf(stderr, "usage: demo-bench-scale WIDTH HEIGHT\n");
        return 2;
    }
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);

    int glutArgc = 1;
    glutInit(&glutArgc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(width, height);
    glutCreateWindow("demo-bench-scale");
    std::string error;
    if (!demo::openPictureTarget(error)) {
        std::fprintf(stderr, "demo-bench-scale: %s\n", error.c_str());
        return 1;
    }

    // A real frame to scale: scene 2 a few seconds in, as the show draws it.
    demo::setStartGlState();
    bench::startSeries();
    demo::scene2(5000);
    demo::bindPictureTarget();

    Times pass, floor;
    const auto scale = [&] {
        demo::scalePicture(0, width, height);
        demo::bindPictureTarget();
    };
    const auto clear = [&] {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        demo::bindPictureTarget();
    };
    // Untimed: the program is made, and the driver compiles its code, on first use.
    for (int i = 0; i < 3; ++i) {
        scale();
        clear();
    }
    glFinish();
    for (int i = 0; i < rounds; ++i) {
        timeOnce(pass, scale);
        timeOnce(floor, clear);
    }
    std::printf("scale %dx%d %.3f %.3f %.3f %.3f\n", width, height,
                bench::percentile(pass.wallMs, 0.5), bench::percentile(floor.wallMs, 0.5),
                bench::percentile(pass.cpuMs, 0.5), bench::percentile(floor.cpuMs, 0.5));
    return 0;
}
