// The progress bar of a long capture, on standard error: the frames done of
// each kind, the rate and the time left. Drawn only when asked and standard
// error is a terminal, on one line rewritten in place, so logs stay clean.
// The line is fitted to the terminal's width, read again at each redraw so
// that it follows a resize: what does not fit goes, least useful first (the
// rates, the kinds' names, the bar), so the line never wraps.
//
// A capture's frames are of two kinds that cost very differently: those
// drawn and written, and those fast-forwarded (capture/fast_forward.h), a
// hundred times cheaper. The bar counts them apart, measures each kind's own
// rate, and adds up the time left from both; until a kind has been measured
// for a few frames, the time left is not shown. A drawn frame's cost also
// depends on its scene (the tunnel's take four times the shell's), so the
// drawn frames are counted by scene: a scene already drawn for a while is
// timed by its own rate, one still to come by the rate so far, weighed by
// what the scenes cost against each other.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "show/show_facts.h"

namespace demo {

// One kind of frame: how many are to come, how many are done, and the
// seconds they took.
struct FrameKind {
    std::int64_t total = 0, done = 0;
    double seconds = 0;
};

struct Progress {
    bool shown = false;
    FrameKind fastForwarded;
    std::array<FrameKind, scenesShown> drawnScenes;
    std::chrono::steady_clock::time_point started, lastFrame, lastDrawn;
};

// Starts a bar for the frames to come: frames in all, of which
// drawsPerScene[s] are drawn in scene s + 1 and the rest fast-forwarded.
// With wanted false nothing is drawn.
void startProgress(Progress& progress, std::int64_t frames,
                   const std::array<std::int64_t, scenesShown>& drawsPerScene, bool wanted);

// One more frame done, drawn or fast-forwarded, in the scene of row
// sceneIndex; redrawn at most ten times a second.
void updateProgress(Progress& progress, bool drawn, int sceneIndex);

// Draws the final state and ends the line. Does nothing when not shown.
void finishProgress(Progress& progress);

// The bar's text after elapsed seconds, at most columns - 1 characters (the
// last column left free: a terminal wraps a line that fills it).
std::string progressLine(const Progress& progress, double elapsed, int columns);

}  // namespace demo
