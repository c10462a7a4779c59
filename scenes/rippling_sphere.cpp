// Scene 6: the rippling sphere shell (music orders 10 and 11), the last scene.
//
// On plain white, a tumbling cloud of small cubes outlines the shell of a
// sphere of radius about 1. Three ripples, along z, y and x, grow with the
// elapsed time (cubically, quadratically and linearly): the scene opens on a
// clean sphere that wobbles more and more until the show ends.
//
// Per frame: rand() 240,000 times (x, y, z of 80,000 samples); one box per
// sample in the band (about 1,570 at the start). The sample loop takes each
// ripple from a table of its coordinate's 100 values, filled once per frame.
//
// GL state left: scissor test off with the last band's box (0, 0, 640, 24),
// blending off, depth test on, GL_MODELVIEW current holding the camera, the
// translation and the rotation, clear colour white.
#include <GL/gl.h>

#include <cmath>

#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "scenes/random.h"
#include "scenes/rippling_sphere.h"
#include "scenes/scenes.h"

namespace demo {

// The function's tables for the frame being drawn.
static SphereShellTables sphereTables;

void scene6(int elapsedMs) {
    // white frame, standard camera; no panels, so the scissor test goes off
    beginWhiteFrame();
    setStandardCamera();
    glDisable(GL_SCISSOR_TEST);

    // cloud pushed back and turning
    glTranslatef(0, 0, -1);
    const double d = elapsedMs;
    const float sceneAngle = d * 0.1;
    glRotatef(sceneAngle, 1, 0.3, -0.5);

    // shell sampling: 100 passes of 800 random lattice points
    sampleSphereShell(elapsedMs);
}

void fillSphereShellTables(int elapsedMs, SphereShellTables& t) {
    const double d = elapsedMs;
    const double pz = d * 0.003, py = d * 0.001, px = d * 0.002;
    for (int i = 0; i < drawValues; ++i) {
        const double c = latticeOf(i);
        t.squareOf[i] = c * c;
        t.zRipple[i] = d * 3e-12 * std::cos(14 * c + pz);
        t.yRipple[i] = 3e-8 * std::cos(4 * c + py);
        t.xRipple[i] = 5e-5 * std::sin(5 * c + px);
    }
}

void sampleSphereShell(int elapsedMs) {
    fillSphereShellTables(elapsedMs, sphereTables);
    const double d = elapsedMs;
    // NOTE: the exact negative of the scene angle, so every cube faces the camera
    const float cubeAngle = d * -0.1;
    forEachSample([d, cubeAngle](int ix, int iy, int iz) {
        if (!inSphereShellBand(sphereField(sphereTables, d, ix, iy, iz))) return;
        const float x = latticeOf(ix), y = latticeOf(iy), z = latticeOf(iz);
        const float red = 0.8 * z + y + 0.1, green = 0.6 * y + z;
        drawRotatedBox(x, y, z, 0.06, 0.06, 0.06, cubeAngle, 1, 0.3, -0.5, red, green, 1);
    });
}

}  // namespace demo
