// The lattice the sample loops of scenes 5 and 6 draw their points from.
//
// Each coordinate of a sample is one draw (rand() % 100), standing for one of
// 100 values from -2 to 1.96 in steps of 0.04 (+2 never occurs). Because a
// coordinate takes so few values, a term of a field that depends on one
// coordinate only is computed once per frame for all 100 of them, into a
// table indexed by draw, and the loop looks it up.
#pragma once

namespace demo {

constexpr int drawValues = 100;

// The coordinate of a draw: draw x 0.04 - 2, computed in double and held as
// a float.
inline float latticeOf(int draw) { return float(draw * 0.04 - 2); }

}  // namespace demo
