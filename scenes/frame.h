// What every scene frame shares.
//
// A scene is a function of elapsedMs, the int milliseconds since it started,
// that draws one complete frame from its first clear to its last box; the
// show's per-frame step then puts it on screen.
// Scenes save and restore no GL state: whatever one frame leaves is what the
// next frame, of the same scene or the next, starts from.
//
// Screen space: window pixels of the 640x480 screen (the picture), origin at
// the lower-left corner, as glScissor takes them. World space: the projection set by the
// reshape callback (60 degree vertical field of view, near 1, far 300); the
// standard camera looks from (0, 0, 3) at the origin with +y up.
#pragma once

namespace demo {

// The picture every scene draws, in pixels: the 640x480 screen. Whatever
// shows the picture (a screen that switches to this size, a scaled window, a
// capture of any size) starts from exactly these pixels.
constexpr int pictureWidth = 640;
constexpr int pictureHeight = 480;

using SceneFn = void (*)(int elapsedMs);

// The viewport (0, 0, width, height) and the one projection every scene
// draws with: 60 degree vertical field of view, aspect width / height (a
// height of 0 counts as 1), near plane 1, far plane 300. Leaves GL_PROJECTION
// current; the scenes select GL_MODELVIEW themselves.
void setScreenProjection(int width, int height);

// Clears the rectangle (x, y, w, h) of colour and depth to (r, g, b, 1):
// glScissor, glClearColor, glClear. The caller has enabled the scissor test.
// The rectangle is passed as given, unclamped; colours outside 0..1 clamp.
void clearRect(int x, int y, int w, int h, float r, float g, float b);

// A jittering panel: a flat rectangle that takes three draws (0 to 99) every
// frame, p1 and p2 moving its lower-left corner and p3 trading width for
// height:
//   x = x0 + float(xStep p1), y = y0 + float(yStep p2), truncated to pixels;
//   width = width0 + sizeStep p3, height = height0 - sizeStep p3, truncated.
struct JitterPanel {
    int x0;
    double xStep;
    int y0;
    double yStep;
    int width0, height0;
    double sizeStep;
    float r, g, b;
};

// Takes the panel's three draws and clears it (clearRect): the caller has
// enabled the scissor test.
void clearJitterPanel(const JitterPanel& panel);

// Twenty white bands 640x24, from y = 456 down to y = 0: the whole screen.
void clearWhiteBands();

// The standard opening's first half: blending off, scissor test on, white bands.
void beginWhiteFrame();

// The standard camera: modelview identity, depth test on, eye (0, 0, 3)
// looking at the origin with +y up. Leaves GL_MODELVIEW current.
void setStandardCamera();

// The white fade-in over a scene's first four seconds: while elapsedMs < 4000
// blends a full-view slab of grey k = (4000 - elapsedMs) / 4000 over the
// frame with (GL_ONE, GL_ONE_MINUS_SRC_COLOR), giving k + (1 - k) x picture.
// Leaves blending on, the scissor test off and the modelview at identity.
// From 4000 ms on it does nothing at all.
void drawFadeOverlay(int elapsedMs);

}  // namespace demo
