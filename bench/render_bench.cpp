// Frame times drawing for real: every scene's series (see series.h) drawn in
// a 640x480 GLUT window and swapped, as the show draws it (Mesa's llvmpipe
// under Xvfb here, the GPU's driver where there is one).
//
// A frame's time runs from the scene call to the return of its buffer swap,
// frames back to back from the idle callback as in the show. Before each
// series two untimed frames let the window and the driver settle.
//
// Each frame's CPU time is taken too (the whole process: our thread and the
// driver's rasterizer threads), so a wall-clock outlier can be told apart:
// with no CPU time to match, the frame waited for a machine busy elsewhere.
//
// Output, one line per scene: "frame-time sceneN <median ms> <p99 ms> <CPU
// median ms> <CPU p99 ms>"; with --each, first one line per frame:
// "frame sceneN <elapsedMs> <ms> <CPU ms>".
// Needs an X display; run from the build directory (reads fontpre.tga) or
// give the font image's path as the last argument.
#include <GL/glut.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/series.h"
#include "font/font.h"
#include "scenes/frame.h"
#include "desktop/desktop_shell.h"

namespace {

constexpr int settleFrames = 2;

int scene = 0;
int frame = -settleFrames;
std::vector<double> frameMs[bench::sceneTotal], cpuMs[bench::sceneTotal];
bool eachFrame = false;

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void report() {
    for (int s = 0; s < bench::sceneTotal && eachFrame; ++s) {
        for (int f = 0; f < bench::framesPerSeries; ++f)
            std::printf("frame scene%d %d %.3f %.3f\n", s + 1, bench::elapsedOfFrame(f),
                        frameMs[s][f], cpuMs[s][f]);
    }
    for (int s = 0; s < bench::sceneTotal; ++s) {
        std::printf("frame-time scene%d %.3f %.3f %.3f %.3f\n", s + 1,
                    bench::percentile(frameMs[s], 0.5), bench::percentile(frameMs[s], 0.99),
                    bench::percentile(cpuMs[s], 0.5), bench::percentile(cpuMs[s], 0.99));
    }
    std::fflush(stdout);
}

void display() {
    if (frame < 0) {
        if (frame == -settleFrames) bench::startSeries();
        bench::sceneFns[scene](0);
        if (++frame == 0) bench::startSeries();
        return;
    }
    const double cpuStart = processCpuMs();
    const auto start = std::chrono::steady_clock::now();
    bench::sceneFns[scene](bench::elapsedOfFrame(frame));
    const auto end = std::chrono::steady_clock::now();
    frameMs[scene].push_back(std::chrono::duration<double, std::milli>(end - start).count());
    cpuMs[scene].push_back(processCpuMs() - cpuStart);
    if (++frame == bench::framesPerSeries) {
        frame = -settleFrames;
        if (++scene == bench::sceneTotal) {
            report();
            std::exit(0);
        }
    }
}

void idle() { glutPostRedisplay(); }

}  // namespace

int main(int argc, char** argv) {
    const char* fontPath = "fontpre.tga";
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--each")
            eachFrame = true;
        else
            fontPath = argv[i];
    }
    std::string problem;
    if (!demo::readFontImage(fontPath, problem)) {
        std::fprintf(stderr, "demo-bench-render: %s %s\n", fontPath, problem.c_str());
        return 1;
    }
    for (int s = 0; s < bench::sceneTotal; ++s) {
        frameMs[s].reserve(bench::framesPerSeries);
        cpuMs[s].reserve(bench::framesPerSeries);
    }

    int glutArgc = 1;
    glutInit(&glutArgc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(demo::pictureWidth, demo::pictureHeight);
    glutCreateWindow("demo-bench");
    glutDisplayFunc(display);
    glutReshapeFunc(demo::onReshape);
    glutIdleFunc(idle);
    demo::setFixedGlState();
    glutMainLoop();
    return 0;
}
