// Scene 6: the rippling sphere shell (music orders 10 and 11), the last scene.
//
// On plain white, a tumbling cloud of small cubes outlines the shell of a
// sphere of radius about 1. Three ripples, along z, y and x, grow with the
// elapsed time (cubically, quadratically and linearly): the scene opens on a
// clean sphere that wobbles more and more until the show ends.
//
// Per frame: rand() 240,000 times (x, y, z of 80,000 samples); one box per
// sample in the band (about 1,570 at the start).
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

    // ripple phases, once per frame
    const double pz = d * 0.003, py = d * 0.001, px = d * 0.002;
    // NOTE: the exact negative of the scene angle, so every cube faces the camera
    const float cubeAngle = d * -0.1;

    // shell sampling: 100 passes of 800 random lattice points
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

    glutSwapBuffers();
}

}  // namespace demo
