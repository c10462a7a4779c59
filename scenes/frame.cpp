// Scene frame helpers: scissored clears, the white bands, the standard camera
// and the fade-in overlay.
#include "scenes/frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "geometry/boxes.h"
#include "scenes/random.h"

namespace demo {

void setScreenProjection(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A zero height (a minimised window) would give an infinite aspect.
    gluPerspective(60.0, double(width) / double(height > 0 ? height : 1), 1.0, 300.0);
}

void clearRect(int x, int y, int w, int h, float r, float g, float b) {
    glScissor(x, y, w, h);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void clearJitterPanel(const JitterPanel& panel) {
    const int p1 = draw(), p2 = draw(), p3 = draw();
    // NOTE: the corner's offset is held as a float before it is added, so the
    // sum is taken from the float, not from the exact product.
    const int x = int(panel.x0 + double(float(panel.xStep * p1)));
    const int y = int(panel.y0 + double(float(panel.yStep * p2)));
    const int width = int(panel.width0 + panel.sizeStep * p3);
    const int height = int(panel.height0 - panel.sizeStep * p3);
    clearRect(x, y, width, height, panel.r, panel.g, panel.b);
}

void clearWhiteBands() {
    for (int y = pictureHeight - 24; y >= 0; y -= 24)
        clearRect(0, y, pictureWidth, 24, 1, 1, 1);
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
