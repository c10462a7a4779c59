// Scene 2: five-lobed shell of cubes (music orders 2 and 3).
//
// The viewer sees, over twenty white bands, a wide pale blue panel in the
// upper left and a small pink panel in the lower right, both jittering in
// place and size, and in front of them a shell of small cubes around the
// screen centre whose radius swells and shrinks five times around its own
// vertical axis. The shell is found afresh each frame by rejection sampling,
// so some seven hundred different cubes outline it every frame and it
// shimmers. It turns slowly about a tilted axis while every cube keeps facing
// the viewer squarely; colour runs from blue to near white with direction.
//
// Per frame: 240,006 rand() calls (6 panels, 3 for each of 80,000 samples),
// about 720 rotated boxes (90 of every 10,000 samples pass), 22 clears. The
// sample loop looks every sine and cosine up in tables of the 100 values a
// draw can take, filled on the first frame; sampleLobedShellReference keeps
// the loop as defined, for tests to compare with.
//
// GL state left: blending off, scissor test off, depth test on, clear colour
// the pink panel's, modelview the camera followed by the shell's translation
// and rotation.
#include <GL/glut.h>

#include <cmath>

#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "scenes/lobed_shell.h"
#include "scenes/random.h"
#include "scenes/scenes.h"

namespace demo {

// One draw: a value from 0 to 99.
static int draw() { return rand() % 100; }

// The lattice of the three draws and the trigonometry of each value, by draw:
// radius R = float(0.04 d1); azimuth fraction U = float(0.01 d2) with the lobe
// term 0.4 sin((U x 20) x 1.57079634) and sin, cos of theta = 6.28 U; polar
// fraction V = float(0.005 d3) with sin, cos of phi = 6.28 V. Filled once.
static float radiusOf[100], azimuthOf[100], polarOf[100];
static double lobeTerm[100];
static double sinTheta[100], cosTheta[100], sinPhi[100], cosPhi[100];
static bool tablesFilled = false;

static void fillTables() {
    for (int d = 0; d < 100; ++d) {
        radiusOf[d] = 0.04 * d;
        azimuthOf[d] = 0.01 * d;
        polarOf[d] = 0.005 * d;
        lobeTerm[d] = 0.4 * std::sin((azimuthOf[d] * 20.0) * 1.57079634);
        const double theta = 6.28 * azimuthOf[d], phi = 6.28 * polarOf[d];
        sinTheta[d] = std::sin(theta);
        cosTheta[d] = std::cos(theta);
        sinPhi[d] = std::sin(phi);
        cosPhi[d] = std::cos(phi);
    }
    tablesFilled = true;
}

void scene2(int elapsedMs) {
    // white bands
    beginWhiteFrame();

    // jittering panels: one draw sets both width and height of each
    {
        const int p1 = draw(), p2 = draw(), p3 = draw();
        const int x = int(50 + double(float(0.4 * p1)));
        const int y = int(330 + double(float(0.1 * p2)));
        clearRect(x, y, int(360 + 0.1 * p3), int(114 - 0.1 * p3), 0.8, 0.8, 1);
    }
    {
        const int p4 = draw(), p5 = draw(), p6 = draw();
        const int x = int(450 + double(float(0.1 * p4)));
        const int y = int(130 + double(float(0.1 * p5)));
        clearRect(x, y, int(60 + 0.4 * p6), int(144 - 0.4 * p6), 1, 0.7, 0.9);
    }

    // camera, then the shell's frame: 0.1 degree per millisecond
    setStandardCamera();
    glDisable(GL_SCISSOR_TEST);
    glTranslatef(0, 0, -1);
    glRotatef(float(0.1 * elapsedMs), 1, 0.3, -0.5);
    // shell sampling: keep the points whose radius lies in a thin band
    sampleLobedShell(elapsedMs);

    glutSwapBuffers();
}

void sampleLobedShell(int elapsedMs) {
    if (!tablesFilled) fillTables();
    // NOTE: each cube turns back by exactly the frame's angle about the same
    // axis; with a uniform scale the two cancel and the cube faces the viewer.
    const float spin = -0.1 * elapsedMs;
    for (int outer = 0; outer < 100; ++outer) {
        for (int inner = 0; inner < 800; ++inner) {
            const int d1 = draw(), d2 = draw(), d3 = draw();
            // NOTE: the same sums and products as the reference below, with
            // each sine and cosine looked up, so every value is bit-identical.
            const double radius = radiusOf[d1];
            const double s = radius + lobeTerm[d2];
            if (!(s > 1.5 && s < 1.53)) continue;
            const float x = radius * sinTheta[d2] * sinPhi[d3];
            const float y = radius * cosPhi[d3];
            const float z = radius * cosTheta[d2] * sinPhi[d3];
            const float u = azimuthOf[d2], v = polarOf[d3];
            drawRotatedBox(x, y, z, 0.1, 0.1, 0.1, spin, 1, 0.3, -0.5, 0.8 * v + u + 0.1,
                           0.6 * u + v, 1);
        }
    }
}

void sampleLobedShellReference(int elapsedMs) {
    const float spin = -0.1 * elapsedMs;
    for (int outer = 0; outer < 100; ++outer) {
        for (int inner = 0; inner < 800; ++inner) {
            const int d1 = draw(), d2 = draw(), d3 = draw();
            const float radius = 0.04 * d1;  // 0 to 3.96
            const float u = 0.01 * d2;       // azimuth fraction, 0 to 0.99
            const float v = 0.005 * d3;      // polar fraction, 0 to 0.495
            const double s = radius + 0.4 * std::sin((u * 20.0) * 1.57079634);
            // NOTE: both bounds strict; the test comes before any further
            // trigonometry, which only the accepted 0.9% pay for.
            if (!(s > 1.5 && s < 1.53)) continue;
            const double theta = 6.28 * u, phi = 6.28 * v;
            const float x = double(radius) * std::sin(theta) * std::sin(phi);
            const float y = double(radius) * std::cos(phi);
            const float z = double(radius) * std::cos(theta) * std::sin(phi);
            drawRotatedBox(x, y, z, 0.1, 0.1, 0.1, spin, 1, 0.3, -0.5, 0.8 * v + u + 0.1,
                           0.6 * u + v, 1);
        }
    }
}

}  // namespace demo
