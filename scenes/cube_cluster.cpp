// Scene 1: cube cluster with block signature (music orders 0 and 1).
//
// The viewer sees, over twenty white bands, a pale grey-blue strip across the
// lower half of the screen; a dense clump of a thousand blue-to-lilac cubes a
// little above and right of the centre, all spinning in step about one tilted
// axis while their positions scatter anew every frame; and in front of it all
// a five-letter signature in black block letters, whose height and stroke
// widths jitter every frame. The picture fades in from white over the first
// four seconds.
//
// Per frame: 3017 rand() calls (3 strip, 3000 cubes, 14 signature), 1000
// rotated boxes, 32 scissored clears.
//
// GL state left: depth test on, clear colour black. Before 4000 ms: blending
// on with (GL_ONE, GL_ONE_MINUS_SRC_COLOR), scissor test off, modelview the
// identity. From 4000 ms: blending off, scissor test on, modelview the camera
// followed by the clump's translation.
#include <GL/gl.h>

#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "scenes/random.h"
#include "scenes/scenes.h"

namespace demo {

namespace {

// The signature's strokes. A bar element lists the rows its bars stand in,
// in the order they are cleared.
enum Stroke { gap, column, bars };
enum Row { bottom, lowerMiddle, top };

struct SignatureElement {
    Stroke stroke;
    int rowCount;
    Row rows[2];
};

// The signature, left to right: thirteen elements, one cursor advance each.
// clang-format off
const SignatureElement signature[] = {
    {column, 0, {}}, {bars, 2, {lowerMiddle, top}},                          // F
    {gap, 0, {}},    {column, 0, {}}, {bars, 1, {bottom}}, {column, 0, {}},  // u
    {gap, 0, {}},    {column, 0, {}},                                        // l
    {gap, 0, {}},    {column, 0, {}},                                        // i
    {gap, 0, {}},    {column, 0, {}}, {bars, 2, {top, bottom}},              // c
};
// clang-format on

}  // namespace

// A black rectangle of the signature: the clear colour is already black.
static void clearBlack(int x, int y, int w, int h) {
    glScissor(x, y, w, h);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

static void drawSignature() {
    // letter height: columns, bars and the y of each bar row
    const float height = 100 + 0.5 * draw();
    const int columnHeight = int(height);
    const int barHeight = int(0.25 * height);
    const int rowY[3] = {130, int(130 + 0.25 * height), int(130 + 0.75 * height)};

    // elements, each as soon as its right edge is known
    float left = 50;
    for (const SignatureElement& element : signature) {
        // NOTE: the edges accumulate as floats; each advance adds in double.
        const float right = 0.1 * draw() + (double(left) + 15);
        const int x = int(left);
        const int width = int(double(right) - left);
        if (element.stroke == column) clearBlack(x, 130, width, columnHeight);
        for (int i = 0; i < element.rowCount; ++i)
            clearBlack(x, rowY[element.rows[i]], width, barHeight);
        left = right;
    }
}

void scene1(int elapsedMs) {
    // white bands and camera
    beginWhiteFrame();
    setStandardCamera();

    // jittering strip across the lower half
    clearJitterPanel({50, 0.1, 130, 0.1, 460, 64, 0.4, 0.8f, 0.8f, 0.85f});

    // cube clump: a thousand cubes scattered in a 0.5 x 0.5 x 0.1 block
    glDisable(GL_SCISSOR_TEST);
    glTranslatef(0, 0, -1);
    const float angle = -0.1 * elapsedMs;
    for (int i = 0; i < 1000; ++i) {
        const int q1 = draw(), q2 = draw(), q3 = draw();
        const float x = 0.005 * q1, y = 0.005 * q2, z = 0.001 * q3;
        const float red = 0.8 * z + y + 0.1, green = 0.6 * y + z;  // blue to lilac with place
        drawRotatedBox(x, y, z, 0.5, 0.5, 0.5, angle, 1, 0.3, -0.5, red, green, 1);
    }

    // block signature, in black over everything
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    drawSignature();

    // fade-in from white
    drawFadeOverlay(elapsedMs);
}

}  // namespace demo
