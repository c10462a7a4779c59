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
// draw can take, made once (none of them depends on the time).
//
// GL state left: blending off, scissor test off, depth test on, clear colour
// the pink panel's, modelview the camera followed by the shell's translation
// and rotation.
#include <GL/gl.h>

#include <cmath>

#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "scenes/lattice.h"
#include "scenes/lobed_shell.h"
#include "scenes/random.h"
#include "scenes/scenes.h"

namespace demo {

// By draw, the values of the three draws and the trigonometry of each:
// radius R = float(0.04 d1); azimuth fraction U = float(0.01 d2) with the lobe
// term 0.4 sin((U x 20) x 1.57079634) and sin, cos of theta = 6.28 U; polar
// fraction V = float(0.005 d3) with sin, cos of phi = 6.28 V.
namespace {
struct LobedShellTables {
    float radiusOf[100], azimuthOf[100], polarOf[100];
    double lobeTerm[100];
    double sinTheta[100], cosTheta[100], sinPhi[100], cosPhi[100];
};
}  // namespace

static LobedShellTables makeTables() {
    LobedShellTables t;
    for (int d = 0; d < 100; ++d) {
        t.radiusOf[d] = 0.04 * d;
        t.azimuthOf[d] = 0.01 * d;
        t.polarOf[d] = 0.005 * d;
        t.lobeTerm[d] = 0.4 * std::sin((t.azimuthOf[d] * 20.0) * 1.57079634);
        const double theta = 6.28 * t.azimuthOf[d], phi = 6.28 * t.polarOf[d];
        t.sinTheta[d] = std::sin(theta);
        t.cosTheta[d] = std::cos(theta);
        t.sinPhi[d] = std::sin(phi);
        t.cosPhi[d] = std::cos(phi);
    }
    return t;
}

void scene2(int elapsedMs) {
    // white bands
    beginWhiteFrame();

    // jittering panels: pale blue upper left, pink lower right
    clearJitterPanel({50, 0.4, 330, 0.1, 360, 114, 0.1, 0.8f, 0.8f, 1});
    clearJitterPanel({450, 0.1, 130, 0.1, 60, 144, 0.4, 1, 0.7f, 0.9f});

    // camera, then the shell's frame: 0.1 degree per millisecond
    setStandardCamera();
    glDisable(GL_SCISSOR_TEST);
    glTranslatef(0, 0, -1);
    glRotatef(float(0.1 * elapsedMs), 1, 0.3, -0.5);
    // shell sampling: keep the points whose radius lies in a thin band
    sampleLobedShell(elapsedMs);
}

void sampleLobedShell(int elapsedMs) {
    static const LobedShellTables t = makeTables();
    // NOTE: each cube turns back by exactly the frame's angle about the same
    // axis; with a uniform scale the two cancel and the cube faces the viewer.
    const float spin = -0.1 * elapsedMs;
    forEachSample([spin](int d1, int d2, int d3) {
        // NOTE: the definition's sums and products, with each sine and cosine
        // looked up, so every value is bit-identical to computing it
        // outright; both bounds are strict.
        const double radius = t.radiusOf[d1];
        const double s = radius + t.lobeTerm[d2];
        if (!(s > 1.5 && s < 1.53)) return;
        const float x = radius * t.sinTheta[d2] * t.sinPhi[d3];
        const float y = radius * t.cosPhi[d3];
        const float z = radius * t.cosTheta[d2] * t.sinPhi[d3];
        const float u = t.azimuthOf[d2], v = t.polarOf[d3];
        const float red = 0.8 * v + u + 0.1, green = 0.6 * u + v;  // colour with direction
        drawRotatedBox(x, y, z, 0.1, 0.1, 0.1, spin, 1, 0.3, -0.5, red, green, 1);
    });
}

}  // namespace demo
