// Reading the rotated boxes of a recorded frame back as what they draw.
//
// drawRotatedBox leaves a fixed pattern in the call log: glPushMatrix,
// glTranslatef(centre), glScalef(half size), glRotatef(angle, axis), then the
// unit box, whose third face (the top) carries the base colour unchanged.
// Used by the recorder tests of scenes 4 to 6.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/support/gl_recorder.h"

namespace recorded {

struct RotatedBox {
    double x, y, z;
    double size;  // full size along x (the scenes draw cubes)
    double angle, ax, ay, az;
    double r, g, b;
};

// Every rotated box among calls[from, to), in the order drawn.
inline std::vector<RotatedBox> rotatedBoxes(std::size_t from = 0, std::size_t to = SIZE_MAX) {
    using glrec::Fn;
    const std::vector<glrec::Call>& calls = glrec::calls();
    if (to > calls.size()) to = calls.size();
    std::vector<RotatedBox> out;
    for (std::size_t i = from; i + 17 < to; ++i) {
        if (calls[i].fn != Fn::Translatef || calls[i + 1].fn != Fn::Scalef ||
            calls[i + 2].fn != Fn::Rotatef || calls[i + 3].fn != Fn::PushMatrix)
            continue;
        const glrec::Call& t = calls[i];
        const glrec::Call& rot = calls[i + 2];
        const glrec::Call& top = calls[i + 17];
        out.push_back({t.arg[0], t.arg[1], t.arg[2], calls[i + 1].arg[0] * 2, rot.arg[0],
                       rot.arg[1], rot.arg[2], rot.arg[3], top.arg[0], top.arg[1], top.arg[2]});
        i += 17;
    }
    return out;
}

// Index of the first call of kind fn at or after from; the log's size if none.
inline std::size_t findCall(glrec::Fn fn, std::size_t from = 0) {
    const std::vector<glrec::Call>& calls = glrec::calls();
    while (from < calls.size() && calls[from].fn != fn)
        ++from;
    return from;
}

}  // namespace recorded
