// Scene frame helpers: scissored clears, the white bands, the standard camera
// and the fade-in overlay.
#include "scenes/frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "geometry/boxes.h"

namespace demo {

void clearRect(int x, int y, int w, int h, float r, float g, float b) {
    glScissor(x, y, w, h);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void clearWhiteBands() {
    for (int y = 456; y >= 0; y -= 24)
        clearRect(0, y, 640, 24, 1, 1, 1);
}

void beginWhiteFrame() {
    glDisable(GL_BLEND);
    glEnable(GL_SCISSOR_TEST);
    clearWhiteBands();
}

void setStandardCamera() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    gluLookAt(0, 0, 3, 0, 0, 0, 0, 1, 0);
}

void drawFadeOverlay(int elapsedMs) {
    if (elapsedMs >= 4000) return;
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glLoadIdentity();  // the overlay sits in eye space, just beyond the near plane
    const float k = (4000 - elapsedMs) * 0.00025;
    drawFlatBoxBetween(-100, -100, -1.1f, 100, 100, -1.01f, k, k, k);
}

}  // namespace demo
