// The progress bar of a long capture, on standard error: the frames done of
// each kind, the rate and the time left. Drawn only when asked and standard
// error is a terminal, on one line rewritten in place, so logs stay clean.
//
// A capture's frames are of two kinds that cost very differently: those
// drawn and written, and those fast-forwarded (capture/fast_forward.h), a
// hundred times cheaper. The bar counts them apart, measures each kind's own
// rate, and adds up the time left from both; until a kind has been measured
// for a few frames, the time left is not shown.
#pragma once

#include <cstdint>

namespace demo {

// Starts a bar for the frames to come: fastForwards of one kind and draws of
// the other. With wanted false nothing is drawn.
void startProgress(std::int64_t fastForwards, std::int64_t draws, bool wanted);

// One more frame done, drawn or fast-forwarded; redrawn at most ten times a
// second.
void updateProgress(bool drawn);

// Draws the final state and ends the line.
void finishProgress();

}  // namespace demo
