// The browser benchmark's frames (web/bench/run.sh): the scenes called one
// frame at a time, as the desktop benchmark calls them (bench/series.h).
//
// Built twice: over our GL layer (boxdemo-bench.js), drawing into the canvas
// #show, and with DEMO_BENCH_SINK over the desktop benchmark's do-nothing GL
// sink (boxdemo-bench-sink.js), whose frame time is the scene code's own.
// The page that drives both is bench.js.
#include <GL/gl.h>
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>

#include "font/font.h"
#include "scenes/frame.h"
#include "show/platform.h"
#include "show/sequencer.h"
#include "web/gl_layer.h"

namespace {

int stoppedClock() { return 0; }
std::uint32_t noMusic() { return 0; }
void noEnd() {}
void present() {
#ifndef DEMO_BENCH_SINK
    demo::presentLayer();
#endif
}

}  // namespace

extern "C" {

// Reads fontpre.tga (the page puts it in the file system), opens the canvas
// and sets the show's start-up GL state. 0 on failure.
EMSCRIPTEN_KEEPALIVE int benchOpen() {
    demo::usePlatform({stoppedClock, noMusic, present, noEnd});
    std::string problem;
    if (!demo::readFontImage(demo::fontFileName, problem)) return 0;
#ifndef DEMO_BENCH_SINK
    if (!demo::openLayer("#show", problem)) return 0;
#endif
    demo::setStartGlState();
    return 1;
}

// The show from the top: the generator at its start, the particle pool anew.
EMSCRIPTEN_KEEPALIVE void benchStartSeries() { demo::startShow(); }

// One frame of scene (0 to 5) at elapsedMs, presented.
EMSCRIPTEN_KEEPALIVE void benchFrame(int scene, int elapsedMs) {
    demo::showSceneFrame(demo::sceneTable[scene].function, elapsedMs);
}

#ifndef DEMO_BENCH_SINK
// What the last frame sent to WebGL, and its quads (for the floor).
EMSCRIPTEN_KEEPALIVE const demo::LayerFrameCounts* benchFrameCounts() {
    return &demo::lastFrameCounts();
}
EMSCRIPTEN_KEEPALIVE const demo::ClipVertex* benchFrameVertices() {
    return demo::lastFrameVertices();
}
#endif

}  // extern "C"
