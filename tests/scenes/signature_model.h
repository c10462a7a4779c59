// Where scene 1's black signature should be, worked out in the test from the
// generator state the frame starts with, letter by letter as the word is
// written: F, u, l, i, c.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tests/support/scripted_random.h"

namespace signature {

using Rect = std::array<int, 4>;  // x, y, w, h in window pixels

// The rectangles of one frame whose generator starts at frameState: the
// strip's 3 and the cubes' 3000 draws come first.
inline std::vector<Rect> expectedRects(std::uint32_t frameState) {
    scriptedrand::Sequence gen{frameState};
    gen.skip(3 + 3000);

    const float h = float(100 + 0.5 * gen.nextDraw());
    const int tall = int(h), bar = int(0.25 * h);
    const int bottom = 130, lowerMiddle = int(130 + 0.25 * h), top = int(130 + 0.75 * h);

    std::vector<Rect> out;
    float left = 50;
    float right = 50;
    auto advance = [&] {
        left = right;
        right = float(0.1 * gen.nextDraw() + (double(left) + 15));
    };
    auto column = [&] {
        advance();
        out.push_back({int(left), 130, int(double(right) - left), tall});
    };
    auto bars = [&](std::initializer_list<int> rows) {
        advance();
        for (int y : rows)
            out.push_back({int(left), y, int(double(right) - left), bar});
    };
    auto gap = [&] { advance(); };

    column(), bars({lowerMiddle, top});         // F
    gap(), column(), bars({bottom}), column();  // u
    gap(), column();                            // l
    gap(), column();                            // i
    gap(), column(), bars({top, bottom});       // c
    return out;
}

}  // namespace signature
