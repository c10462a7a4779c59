// The reduced-flashing filter as GLSL: one source for the desktop's pass
// (flash_filter.cpp, GLSL 1.20 with the fixed-function vertex) and the web
// page's (GLSL ES 3.00), each stage preceded by the platform's prologue: its
// version line and the few names that differ.
//
// The pass draws one quad over a 640x480 target, the viewport being the
// whole of it; its corners come as (0, 0) to (1, 1). It writes the picture
// shown now: the picture shown before moved towards the new frame by share
// (0 to 1) of the way, and by at least one 8-bit step, so that a colour
// always arrives instead of stopping a step or two short of it.
// Uniforms: picture (the new frame's colour texture), shown (the picture
// shown before), both sampled nearest at texel centres, and share.
#pragma once

#include <algorithm>
#include <cmath>

namespace demo {

// How quickly the shown picture follows the show: it moves 1 - e^(-t / tau)
// of the way towards a new frame t seconds after the last one, tau being
// this many seconds. The analyser (tools/flash_analysis.h) chose it: the
// shortest at which no second of the show has more than two flashes.
constexpr double flashFilterSeconds = 0.25;

// How long the filter takes to forget the picture it started from: after
// four time constants what is left of it is under 2%.
constexpr double flashFilterSettleSeconds = 4 * flashFilterSeconds;

// The share of the way for a frame dt seconds after the last; 1 (the new
// frame as it is) for the first frame.
inline float flashFilterShare(double dtSeconds, bool first) {
    if (first) return 1;
    return float(1 - std::exp(-std::max(0.0, dtSeconds) / flashFilterSeconds));
}

// The vertex stage. The prologue defines CORNER (the corner, a vec2) and
// VERTEX_OUT (the qualifier of what goes on to the fragment stage).
constexpr char flashFilterVertex[] = R"(
VERTEX_OUT vec2 at;
void main() {
    gl_Position = vec4(CORNER * 2.0 - 1.0, 0.0, 1.0);
    at = CORNER;
}
)";

// The fragment stage. The prologue defines FRAGMENT_IN, SAMPLE(sampler, uv)
// and FRAGMENT_OUT.
constexpr char flashFilterFragment[] = R"(
uniform sampler2D picture;
uniform sampler2D shown;
uniform float share;
FRAGMENT_IN vec2 at;
void main() {
    vec4 now = SAMPLE(picture, at);
    vec4 before = SAMPLE(shown, at);
    vec4 change = now - before;
    vec4 size = min(abs(change), max(abs(change) * share, vec4(1.0 / 255.0)));
    FRAGMENT_OUT = before + sign(change) * size;
}
)";

}  // namespace demo
