// Real rendering for tests: a GLUT window on the current X display (Xvfb in
// the test run) with the show's picture target (picture/picture_target.h)
// bound, so that what a scene draws can be read back exactly, whatever the
// window system does with the window itself.
//
// The window is set up as the show sets its screen: flat shading, back faces
// culled, the show's projection.
#pragma once

#include <cstdint>
#include <vector>

namespace glwindow {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Opens the window once per process (later calls bind the picture target
// again and reset the GL state to the show's start-up state). Returns false,
// with a reason, when no display.
bool open(const char** reason = nullptr);

// The pixels of the picture target, 640x480, row 0 at the bottom.
std::vector<Rgb> readPixels();
// The pixels of any framebuffer of that size, row 0 at the bottom; leaves it
// bound for reading.
std::vector<Rgb> readFramebuffer(unsigned framebuffer, int width, int height);
Rgb pixel(const std::vector<Rgb>& pixels, int x, int y);

// Clears colour and depth of the whole target to (r, g, b).
void clearAll(float r, float g, float b);

// Writes pixels as a binary PPM, for looking at a failure.
void writePpm(const std::vector<Rgb>& pixels, const char* path);

}  // namespace glwindow

// Skips the current test when no display is available.
#define REQUIRE_GL_WINDOW()                             \
    do {                                                \
        const char* why = nullptr;                      \
        if (!glwindow::open(&why)) GTEST_SKIP() << why; \
    } while (0)
