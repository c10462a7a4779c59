// The sharp scaling rule as GLSL: one source for the desktop's scaling pass
// (picture_target.cpp, GLSL 1.20 with the fixed-function vertex) and the web
// page's (web/webgl_device.cpp, GLSL ES 3.00), each stage preceded by the
// platform's prologue: its version line and the few names that differ.
//
// The pass draws one quad over the picture's rectangle in the output, the
// viewport being that rectangle; its corners come as (0, 0) to (1, 1).
// Uniforms: picture (the 640x480 picture's colour texture, sampled nearest,
// edges clamped), rectSize (the rectangle's size in pixels) and wholeScale
// (the whole part of the scale, at least 1: fitPicture's).
#pragma once

#include "scenes/frame.h"

namespace demo {

// NOTE: the shader's pictureSize is scenes/frame.h's picture size written
// out; this assertion keeps the two the same.
static_assert(pictureWidth == 640 && pictureHeight == 480, "the shader's pictureSize");

// The vertex stage. The prologue defines CORNER (the corner, a vec2) and
// VERTEX_OUT (the qualifier of what goes on to the fragment stage).
constexpr char sharpScalingVertex[] = R"(
uniform vec2 rectSize;
VERTEX_OUT vec2 rectPixel;
void main() {
    gl_Position = vec4(CORNER * 2.0 - 1.0, 0.0, 1.0);
    rectPixel = CORNER * rectSize;
}
)";

// The fragment stage: one pass of what two would do. The picture scaled by
// the whole scale k with nearest-neighbour sampling (k x k blocks), then that
// image sampled linearly at each output pixel's centre. The two pixels of the
// k-times image an output pixel lies between are one picture pixel inside a
// block and two across a block's edge, so the edges stay sharp. The texture
// is sampled nearest at texel centres and mixed here, so inside a block the
// colour is the picture's own. The prologue defines FRAGMENT_IN (the
// qualifier of what comes from the vertex stage), PICTURE_AT(uv) (the
// picture sampled at uv) and FRAGMENT_OUT (the colour written).
constexpr char sharpScalingFragment[] = R"(
uniform sampler2D picture;
uniform vec2 rectSize;
uniform float wholeScale;
FRAGMENT_IN vec2 rectPixel;
const vec2 pictureSize = vec2(640.0, 480.0);
void main() {
    vec2 sharpSize = pictureSize * wholeScale;
    vec2 u = rectPixel * (sharpSize / rectSize) - 0.5;
    vec2 first = floor(u);
    vec2 weight = u - first;
    // NOTE: + 0.5 keeps each division clear of a whole number, where float
    // rounding could floor it to the block before.
    vec2 a = floor((clamp(first, vec2(0.0), sharpSize - 1.0) + 0.5) / wholeScale);
    vec2 b = floor((clamp(first + 1.0, vec2(0.0), sharpSize - 1.0) + 0.5) / wholeScale);
    a = (a + 0.5) / pictureSize;
    b = (b + 0.5) / pictureSize;
    vec4 low = mix(PICTURE_AT(a), PICTURE_AT(vec2(b.x, a.y)), weight.x);
    vec4 high = mix(PICTURE_AT(vec2(a.x, b.y)), PICTURE_AT(b), weight.x);
    FRAGMENT_OUT = mix(low, high, weight.y);
}
)";

}  // namespace demo
