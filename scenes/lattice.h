// The sample loops of scenes 2, 5 and 6, and the lattice scenes 5 and 6 draw
// their points from.
//
// Each loop takes 80,000 samples of three draws, in 100 passes of 800. Each
// coordinate of a sample is one draw (rand() % 100), standing for one of
// 100 values from -2 to 1.96 in steps of 0.04 (+2 never occurs). Because a
// coordinate takes so few values, a term of a field that depends on one
// coordinate only is computed once per frame for all 100 of them, into a
// table indexed by draw, and the loop looks it up.
#pragma once

#include "scenes/random.h"

namespace demo {

// The loop: for each of the 80,000 samples, three draws in turn (d1, d2, d3:
// x, y, z on the lattice) handed to sample(d1, d2, d3), 240,000 rand() calls
// in all.
template <class Sample>
inline void forEachSample(Sample sample) {
    for (int pass = 0; pass < 100; ++pass) {
        for (int i = 0; i < 800; ++i) {
            const int d1 = draw();
            const int d2 = draw();
            const int d3 = draw();
            sample(d1, d2, d3);
        }
    }
}

constexpr int drawValues = 100;

// The coordinate of a draw: draw x 0.04 - 2, computed in double and held as
// a float.
inline float latticeOf(int draw) { return float(draw * 0.04 - 2); }

}  // namespace demo
