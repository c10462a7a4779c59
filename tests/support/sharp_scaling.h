// What the show's scaling pass (picture/picture_target.h) should make of a
// 640x480 picture, worked out on the CPU from the rule itself, for tests that
// read back a scaled picture: the render test of the scaler and the
// screenshots of the real program.
//
// The rule: inside the rectangle, the picture scaled by the whole number k
// (at least 1) with nearest-neighbour sampling to 640k x 480k, then that
// image sampled bilinearly at each output pixel's centre, as glBlitFramebuffer
// does with GL_LINEAR (edges clamped); when the rectangle is exactly
// 640k x 480k, the nearest-neighbour image itself. Black outside.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// An 8-bit RGB image, row 0 at the bottom as GL reads pixels back.
struct RgbImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;

    RgbImage() = default;
    RgbImage(int w, int h) : width(w), height(h), rgb(std::size_t(w) * h * 3, 0) {}
    std::uint8_t* at(int x, int y) { return &rgb[(std::size_t(y) * width + x) * 3]; }
    const std::uint8_t* at(int x, int y) const { return &rgb[(std::size_t(y) * width + x) * 3]; }
};

struct Rect {
    int x, y, width, height;
};

// The 640x480 picture scaled into rect of an output of width x height.
RgbImage sharpScaled(const RgbImage& picture, int width, int height, Rect rect);

// The 640x480 picture shown in rect of a sharply scaled output, read back from
// the output pixels that show one picture pixel unmixed (there is one for
// each where the rectangle is at least twice the picture's size, or exactly
// its size).
RgbImage pictureShownIn(const RgbImage& output, Rect rect);

struct ImageDifference {
    long differing = 0;  // pixels with a channel further apart than the tolerance
    int largest = 0;     // the largest channel difference
    int firstX = -1, firstY = -1;
};
ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tolerance);

// Whether every pixel outside rect is black.
bool blackOutside(const RgbImage& image, Rect rect);

// Writes image as a binary PPM (upright), for looking at a failure.
void writePpm(const RgbImage& image, const std::string& path);

}  // namespace testsupport
