// The 640x480 picture drawn offscreen, and scaled sharply onto an output of
// any size.
//
// Every scene draws the picture of a 640x480 screen (show_facts.h). Where the
// show cannot have such a screen (the desktop program on a screen that cannot
// switch modes) and wherever the picture is read back (the capture, the render
// tests), frames are drawn into the picture target: an offscreen framebuffer
// of exactly 640x480 with its own depth buffer, bound as the frame's target.
// scalePicture then puts the finished frame onto an output of any size (the
// window, or a framebuffer of the capture's size):
//
//   - into the largest 4:3 rectangle that fits, centred, the rest black
//     (pillarboxed on a wide output, letterboxed on a tall one);
//   - sharply: as if scaled by the whole part k of the scale with
//     nearest-neighbour sampling, then filtered linearly for the remainder,
//     so that the boxes' edges stay crisp and do not shimmer as an uneven
//     nearest-neighbour scale would make them. Both steps are one pass of a
//     small shader program; where the rectangle is exactly 640k x 480k (1:1
//     at 640x480) it is one nearest-neighbour blit. Where the driver cannot
//     make the program (no GLSL 1.20), the picture is scaled linearly.
//
// The calls need a current GL context with framebuffer objects (OpenGL 3.0
// or ARB_framebuffer_object). One picture target per process; this module
// owns it and the program.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "scenes/frame.h"

namespace demo {

// Where the picture lands in an output of outputWidth x outputHeight pixels:
// the largest rectangle of the picture's shape that fits (its sides rounded
// down to whole pixels), centred (rounded towards the lower left), and the
// whole part of its scale, at least 1. An output with a side of 0 or less
// gets an empty rectangle. (Inline: the web page's scaling uses it too.)
struct PictureFit {
    int x, y, width, height;
    int wholeScale;
};
inline PictureFit fitPicture(int outputWidth, int outputHeight) {
    PictureFit fit = {0, 0, 0, 0, 1};
    if (outputWidth <= 0 || outputHeight <= 0) return fit;
    // At least as wide as the picture's shape: the full height, bars at the
    // sides. Compared in whole numbers, so that 4:3 itself is exact.
    if (std::int64_t(outputWidth) * pictureHeight >= std::int64_t(outputHeight) * pictureWidth) {
        fit.height = outputHeight;
        fit.width = int(std::int64_t(outputHeight) * pictureWidth / pictureHeight);
    } else {
        fit.width = outputWidth;
        fit.height = int(std::int64_t(outputWidth) * pictureHeight / pictureWidth);
    }
    fit.x = (outputWidth - fit.width) / 2;
    fit.y = (outputHeight - fit.height) / 2;
    fit.wholeScale = std::max(1, std::min(fit.width / pictureWidth, fit.height / pictureHeight));
    return fit;
}

// An offscreen framebuffer: an RGBA8 colour texture (sampled nearest, its
// edges clamped) and, when asked, a 24-bit depth renderbuffer.
struct OffscreenTarget {
    unsigned framebuffer = 0, colour = 0, depth = 0;
    int width = 0, height = 0;
};

// Makes target on the current context and leaves it bound (GL_FRAMEBUFFER).
// False when the driver cannot make it complete; it is then released again.
bool makeOffscreenTarget(OffscreenTarget& target, int width, int height, bool withDepth);
void releaseOffscreenTarget(OffscreenTarget& target);

// Makes the picture target, clears it (colour and depth, with the current
// clear values) and leaves it bound for drawing and reading. On failure
// returns false with a one-line reason in error.
bool openPictureTarget(std::string& error);

// Binds the picture target for drawing and reading: the next frame's target.
void bindPictureTarget();

// The picture target's framebuffer and colour texture names, 0 before it is
// open.
unsigned pictureFramebuffer();
unsigned pictureTexture();

// Releases the picture target and the program, binding the window.
void closePictureTarget();

// Scales the frame in the picture target (or, while the reduced-flashing
// filter is open, its shown picture: flash_filter.h) onto the framebuffer output (0: the
// window's back buffer) of outputWidth x outputHeight pixels, as the header
// describes, and leaves output bound for drawing and reading. Only its own
// state changes: the scissor test and box, the enabled tests, the viewport,
// the texture binding and the program in use are as it found them (its draw
// turns off what a scene may leave on, and puts it back), and the clear
// colour, matrices and blend function are never touched.
void scalePicture(unsigned output, int outputWidth, int outputHeight);

}  // namespace demo
