// Scene 3: cube tunnel (music orders 4 and 5).
//
// The viewer looks down a tunnel from inside, against white: 100 straight
// rails of 100 small cubes each, parallel to the view axis on a cylinder of
// radius 2. The tunnel turns about its axis (a turn in about 4.7 s) and
// drifts toward the viewer at one unit per second; every cube tumbles about
// an axis of its own with a fresh random jitter of up to 99 degrees each
// frame, so the walls shimmer. Far cubes are pale, near ones deep blue. The
// picture fades in from white over the first four seconds.
//
// Per frame: 10,000 rand() calls (one per cube, in drawing order), 10,000
// rotated boxes, 20 clears.
//
// GL state left: scissor test off, depth test on. Before 4000 ms: blending on
// with (GL_ONE, GL_ONE_MINUS_SRC_COLOR), modelview the identity. From 4000 ms:
// blending off, modelview the camera. The next scene inherits the blend state.
#include <GL/gl.h>

#include <cmath>

#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "scenes/random.h"
#include "scenes/scenes.h"

namespace demo {

void scene3(int elapsedMs) {
    // white background and camera on the tunnel's axis
    beginWhiteFrame();
    setStandardCamera();
    glDisable(GL_SCISSOR_TEST);

    // per-frame motion: cube tumble (degrees), drift (units), turn (radians)
    const double tumble = elapsedMs * 0.05;
    const double drift = elapsedMs * 0.001;
    const double turn = elapsedMs * 0.00134;

    // rails: 0.0628 rad apart, so the gap after rail 99 is a little wider
    for (int i = 0; i < 100; ++i) {
        const double theta = i * 0.0628 + turn;
        const float x = 2 * std::sin(theta);
        const float y = 2 * std::cos(theta);
        const double railTumble = i * 0.2;
        const double railDrift = i * 0.001 + drift;

        // cubes from the far end (j = 0) to next to the camera (j = 99)
        for (int j = 0; j < 100; ++j) {
            const int n = 100 - j;
            const double z = (j * 0.5 + railDrift) - 48;
            const double angle = ((draw() + j * 0.14617763) + tumble) + railTumble;
            // each cube tumbles about an axis of its own; pale far off, deep blue near
            const float axisX = std::sin(j), axisY = std::cos(j), axisZ = j * 0.002 + 0.9;
            const float red = n * 0.02, green = n * 0.016;
            drawRotatedBox(x, y, z, 0.3f, 0.3f, 0.3f, angle, axisX, axisY, axisZ, red, green, 1.0f);
        }
    }

    // fade-in from white
    drawFadeOverlay(elapsedMs);
}

}  // namespace demo
