// The progress bar of a long capture, on standard error: frames done and to
// do, frames per second, time left. Drawn only when asked and standard error
// is a terminal, on one line rewritten in place, so logs stay clean.
#pragma once

#include <cstdint>

namespace demo {

// Starts a bar for total frames; with wanted false nothing is drawn.
void startProgress(std::int64_t total, bool wanted);

// frames done so far; redrawn at most ten times a second.
void updateProgress(std::int64_t done);

// Draws the final state and ends the line.
void finishProgress(std::int64_t done);

}  // namespace demo
