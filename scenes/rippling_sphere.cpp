// Scene 6: the rippling sphere shell (music orders 10 and 11), the last scene.
//
// On plain white, a tumbling cloud of small cubes outlines the shell of a
// sphere of radius about 1. Three ripples, along z, y and x, grow with the
// elapsed time (cubically, quadratically and linearly): the scene opens on a
// clean sphere that wobbles more and more until the show ends.
//
// Per frame: rand() 240,000 times (x, y, z of 80,000 samples); one box per
// sample in the band (about 1,570 at the start). The sample loop takes each
// ripple from a table of its coordinate's 100 values, filled once per frame;
// sampleSphereShellReference keeps the loop as defined.
//
// GL state left: scissor test off with the last band's box (0, 0, 640, 24),
// blending off, depth test on, GL_MODELVIEW current holding the camera, the
// translation and the rotation, clear colour white.
#include <GL/glut.h>

#include <cmath>

#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "scenes/random.h"
#include "scenes/rippling_sphere.h"
#include "scenes/scenes.h"

namespace demo {

// By draw: the lattice value (draw x 0.04 - 2) as a float and its square,
// filled once; and for the frame at preparedMs the three ripple terms, each a
// function of one coordinate: (d x 3e-12) cos(14 z + Pz), 3e-8 cos(4 y + Py)
// and 5e-5 sin(5 x + Px).
static float latticeOf[100];
static double squareOf[100];
static bool latticeFilled = false;
static double zRipple[100], yRipple[100], xRipple[100];
static bool prepared = false;
static int preparedMs = 0;

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

    glutSwapBuffers();
}

// Ripple phases for the frame, then each ripple for the 100 values of its
// coordinate.
static void prepareSphereShell(int elapsedMs) {
    if (!latticeFilled) {
        for (int i = 0; i < 100; ++i) {
            latticeOf[i] = i * 0.04 - 2;
            squareOf[i] = double(latticeOf[i]) * latticeOf[i];
        }
        latticeFilled = true;
    }
    const double d = elapsedMs;
    const double pz = d * 0.003, py = d * 0.001, px = d * 0.002;
    for (int i = 0; i < 100; ++i) {
        const double c = latticeOf[i];
        zRipple[i] = d * 3e-12 * std::cos(14 * c + pz);
        yRipple[i] = 3e-8 * std::cos(4 * c + py);
        xRipple[i] = 5e-5 * std::sin(5 * c + px);
    }
    prepared = true;
    preparedMs = elapsedMs;
}

// The rippled squared distance at the lattice point of draws (ix, iy, iz).
// NOTE: the definition's sums and products in the definition's order, each
// one-coordinate term looked up, so the value is bit-identical.
static inline double sphereField(double d, int ix, int iy, int iz) {
    return squareOf[ix] + squareOf[iy] + squareOf[iz] +
           d * (d * (zRipple[iz] + yRipple[iy]) + xRipple[ix]);
}

double sphereShellValue(int elapsedMs, int ix, int iy, int iz) {
    if (!prepared || preparedMs != elapsedMs) prepareSphereShell(elapsedMs);
    return sphereField(elapsedMs, ix, iy, iz);
}

void sampleSphereShell(int elapsedMs) {
    prepareSphereShell(elapsedMs);
    const double d = elapsedMs;
    // NOTE: the exact negative of the scene angle, so every cube faces the camera
    const float cubeAngle = d * -0.1;
    for (int pass = 0; pass < 100; ++pass) {
        for (int i = 0; i < 800; ++i) {
            const int ix = rand() % 100;
            const int iy = rand() % 100;
            const int iz = rand() % 100;
            if (inSphereShellBand(sphereField(d, ix, iy, iz))) {
                const float x = latticeOf[ix], y = latticeOf[iy], z = latticeOf[iz];
                drawRotatedBox(x, y, z, 0.06, 0.06, 0.06, cubeAngle, 1, 0.3, -0.5,
                               0.8 * z + y + 0.1, 0.6 * y + z, 1);
            }
        }
    }
}

void sampleSphereShellReference(int elapsedMs) {
    // ripple phases, once per frame
    const double d = elapsedMs;
    const double pz = d * 0.003, py = d * 0.001, px = d * 0.002;
    // NOTE: the exact negative of the scene angle, so every cube faces the camera
    const float cubeAngle = d * -0.1;

    for (int pass = 0; pass < 100; ++pass) {
        for (int i = 0; i < 800; ++i) {
            const float x = (rand() % 100) * 0.04 - 2;
            const float y = (rand() % 100) * 0.04 - 2;
            const float z = (rand() % 100) * 0.04 - 2;
            // Squared distance plus cubic, quadratic and linear ripples in d.
            const double v = double(x) * x + double(y) * y + double(z) * z +
                             d * (d * (d * 3e-12 * std::cos(14 * double(z) + pz) +
                                       3e-8 * std::cos(4 * double(y) + py)) +
                                  5e-5 * std::sin(5 * double(x) + px));
            if (inSphereShellBand(v)) {
                drawRotatedBox(x, y, z, 0.06, 0.06, 0.06, cubeAngle, 1, 0.3, -0.5,
                               0.8 * z + y + 0.1, 0.6 * y + z, 1);
            }
        }
    }
}

}  // namespace demo
