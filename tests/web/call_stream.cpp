// Writes the show's GL call stream, with every rand() draw in its place, for
// fixed frames of each scene: built twice, natively and with Emscripten, so
// that call_stream.test.mjs can check that the scene code compiled for the
// browser makes the same calls as the desktop's.
//
//   call-stream OUTPUT FONT_IMAGE
//
// The frames: the desktop's start-up state (flat shading, culling, the
// 640x480 projection), the show started from the top, then each scene in
// turn at each of frameTimes, the generator and the particle pool running on
// from frame to frame as in the show.
//
// OUTPUT is a sequence of records, each one byte of kind, one byte of count
// and count little-endian doubles:
//   kind < 200  a GL call (glrec::Fn) and its arguments;
//   200         a rand() draw and its value;
//   201         the start of a frame: scene number (1 to 6), elapsedMs.
#include <GL/glut.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "font/font.h"
#include "scenes/frame.h"
#include "scenes/random.h"
#include "show/platform.h"
#include "show/sequencer.h"
#include "show/show_facts.h"
#include "tests/support/gl_recorder.h"

namespace {

constexpr int frameTimes[] = {2500, 12500};
constexpr std::uint8_t randKind = 200, frameKind = 201;

// The generator's draws, each with the number of GL calls made before it.
struct Draw {
    std::size_t callsBefore;
    int value;
};
std::vector<Draw> draws;
std::uint32_t randomState = 1;

std::FILE* output = nullptr;

void writeRecord(std::uint8_t kind, const double* values, int count) {
    const std::uint8_t head[2] = {kind, std::uint8_t(count)};
    std::fwrite(head, 1, 2, output);
    std::fwrite(values, sizeof(double), std::size_t(count), output);
}

// The recorded calls with the draws between them, then a fresh log.
void writeLog() {
    const std::vector<glrec::Call>& calls = glrec::calls();
    std::size_t next = 0;
    for (std::size_t i = 0; i <= calls.size(); ++i) {
        for (; next < draws.size() && draws[next].callsBefore == i; ++next) {
            const double value = draws[next].value;
            writeRecord(randKind, &value, 1);
        }
        if (i < calls.size())
            writeRecord(std::uint8_t(calls[i].fn), calls[i].arg.data(), calls[i].argCount);
    }
    glrec::reset();
    draws.clear();
}

int noClock() { return 0; }
std::uint32_t noMusic() { return 0; }
void swap() { glutSwapBuffers(); }
void noEnd() {}

}  // namespace

// The show's generator, recording each draw.
namespace demo {
int rand() {
    randomState = nextRandState(randomState);
    const int value = randOutput(randomState);
    draws.push_back({glrec::callCount(), value});
    return value;
}
void resetRand() { randomState = 1; }
std::uint32_t randState() { return randomState; }
void setRandState(std::uint32_t state) { randomState = state; }
}  // namespace demo

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: call-stream OUTPUT FONT_IMAGE\n");
        return 2;
    }
    std::string problem;
    if (!demo::readFontImage(argv[2], problem)) {
        std::fprintf(stderr, "call-stream: %s: %s\n", argv[2], problem.c_str());
        return 1;
    }
    output = std::fopen(argv[1], "wb");
    if (output == nullptr) {
        std::perror(argv[1]);
        return 1;
    }

    demo::usePlatform({noClock, noMusic, swap, noEnd});
    glrec::reset();
    demo::setStartGlState();
    demo::startShow();
    writeLog();

    for (int s = 0; s < demo::scenesShown; ++s) {
        for (int elapsedMs : frameTimes) {
            const double frame[2] = {double(s + 1), double(elapsedMs)};
            writeRecord(frameKind, frame, 2);
            demo::showSceneFrame(demo::sceneTable[s].function, elapsedMs);
            writeLog();
        }
    }
    return std::fclose(output) == 0 ? 0 : 1;
}
