// Scene 5: greetings over a blob shell (music orders 8 and 9).
//
// Over white, six full-width stripes 1 to 40 pixels high in pale blue, lilac
// and pink jump to new places every frame; a tumbling cloud of small cubes
// outlines the shell of three merging blobs whose centres swing on sine paths
// and whose surface ripples along x; and in a strip near the bottom of the
// screen one greeting in block letters, picked anew every frame, so the
// greetings flicker through the table.
//
// Per frame: rand() 240,019 times (18 for the stripes, 240,000 for the 80,000
// samples, 1 for the greeting); one box per sample in the band (about 3,900
// at the start) plus one per present texel of the greeting. The sample loop
// takes every term of one coordinate from tables of its 100 values, filled
// once per frame.
//
// GL state left: scissor test on with the box (0, 100, 640, 80), blending off,
// depth test on, GL_MODELVIEW current holding the identity, clear colour
// (0.9, 0.7, 0.85, 1) from the last stripe.
#include <GL/gl.h>

#include <cmath>

#include "font/blocktext.h"
#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "scenes/greetings.h"
#include "scenes/random.h"
#include "scenes/scenes.h"

namespace demo {

// Friendly made-up crews, places and things.
static const char pilkaboo[] = "pilkaboo";
static const char skubbleton[] = "skubbleton";
static const char nimbletoast[] = "nimbletoast";

// NOTE: rows 15, 26 and 27 repeat rows 5, 20 and 21 as the same pointers.
const char* const greetingNames[greetingCount] = {
    "quorble",     "marzipod",    "tobbleknit",       "fernwhistle", "zumbleberry",   // 0-4
    pilkaboo,      "snorkelmoss", "wibblecrest",      "dunkelpip",   "yarrowmint",    // 5-9
    "glumbertoe",  "crinklefen",  "vopplewood",       "tuppledrum",  "brisklet",      // 10-14
    pilkaboo,      "zibble crew", "orbiquat",         "fizzle nook", "tramplewick",   // 15-19
    skubbleton,    nimbletoast,   "frobbleham",       "kettlewump",  "gorp yodlers",  // 20-24
    "wumble isle", skubbleton,    nimbletoast,        "sprockelfin", "oddlemoor",     // 25-29
    "jibberpaw",   "cloverquack", "wobblequackering", "zo",                           // 30-33
};

// One stripe: bottom = p x k + y0 and height = q x h + h0 pixels, truncated.
struct Stripe {
    double k;
    float y0;
    double h;
    float h0;
    float r, g, b;
};

static const Stripe stripes[6] = {
    {0.9, 16, 0.04, 1, 0.8f, 0.8f, 0.99f},   {0.9, 116, 0.04, 1, 0.7f, 0.8f, 0.99f},
    {0.9, 316, 0.04, 10, 0.8f, 0.8f, 0.89f}, {0.9, 186, 0.04, 10, 0.8f, 0.8f, 0.99f},
    {0.9, 416, 0.04, 1, 0.8f, 0.7f, 0.99f},  {3.9, 16, 0.4, 1, 0.9f, 0.7f, 0.85f},
};

// The field's tables for the frame being drawn.
static BlobShellTables blobTables;

void scene5(int elapsedMs) {
    // white frame, standard camera, cloud pushed back and turning
    beginWhiteFrame();
    setStandardCamera();
    glTranslatef(0, 0, -1);
    const double d = elapsedMs;
    const float sceneAngle = d * 0.1;
    glRotatef(sceneAngle, 1, 0.3, -0.5);

    // stripes, each from three draws; later stripes cover earlier ones
    for (const Stripe& s : stripes) {
        rand();  // NOTE: dropped on purpose: it only advances the generator
        const int p = draw();
        const int q = draw();
        const float offset = p * s.k;
        const int height = int(q * s.h + s.h0);
        const int bottom = int(double(offset) + s.y0);
        clearRect(0, bottom, pictureWidth, height, s.r, s.g, s.b);
    }
    glDisable(GL_SCISSOR_TEST);

    // shell sampling: 100 passes of 800 random lattice points
    sampleBlobShell(elapsedMs);

    // greeting in eye space, in front of the cubes inside its strip only
    glLoadIdentity();
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 100, pictureWidth, 80);
    glClear(GL_DEPTH_BUFFER_BIT);
    const int row = rand() % greetingCount;
    drawText(-12, -5, -20, 0.4, 0.5, 0.5, 1.2, greetingNames[row]);
}

namespace {
// The three blob centres and the ripple phase at d milliseconds (radians).
struct BlobFrame {
    double c1x, c1y, c1z, c2x, c2y, c2z, c3x, c3y, c3z;
    double t;
};
}  // namespace

static BlobFrame blobFrame(double d) {
    return {std::sin(0.006 * d),       std::sin(0.0047 * d + 2),
            std::cos(0.00117 * d + 1), std::sin(0.0037 * d + 2),
            std::sin(0.0017 * d + 1),  std::cos(0.0013 * d + 1),
            std::sin(0.007 * d + 2),   std::sin(0.0011 * d + 1),
            std::cos(0.003 * d + 1),   0.0011 * d};
}

void fillBlobShellTables(int elapsedMs, BlobShellTables& t) {
    const BlobFrame f = blobFrame(elapsedMs);
    for (int i = 0; i < drawValues; ++i) {
        const double c = latticeOf(i);
        t.dx1[i] = (f.c1x - c) * (f.c1x - c);
        t.dy1[i] = (f.c1y - c) * (f.c1y - c);
        t.dz1[i] = (f.c1z - c) * (f.c1z - c);
        t.dx2[i] = (f.c2x - c) * (f.c2x - c);
        t.dy2[i] = (f.c2y - c) * (f.c2y - c);
        t.dz2[i] = (f.c2z - c) * (f.c2z - c);
        t.dx3[i] = (f.c3x - c) * (f.c3x - c);
        t.dy3[i] = (f.c3y - c) * (f.c3y - c);
        t.dz3[i] = (f.c3z - c) * (f.c3z - c);
        t.rippleOf[i] = 0.25 * std::sin(5 * c + f.t + 1);
    }
}

void sampleBlobShell(int elapsedMs) {
    fillBlobShellTables(elapsedMs, blobTables);
    // NOTE: the exact negative of the scene angle, so every cube faces the camera
    const float cubeAngle = elapsedMs * -0.1;
    forEachSample([cubeAngle](int ix, int iy, int iz) {
        if (!inBlobShellBand(blobField(blobTables, ix, iy, iz))) return;
        const float x = latticeOf(ix), y = latticeOf(iy), z = latticeOf(iz);
        const float red = 0.4 * x + 0.8, green = 0.2 * z + 0.1 * y,
                    blue = 0.3 * (double(y) + z + 1);
        drawRotatedBox(x, y, z, 0.07, 0.07, 0.07, cubeAngle, 1, 0.3, -0.5, red, green, blue);
    });
}

}  // namespace demo
