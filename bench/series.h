// What every benchmark of the scenes shares: the scenes, the fixed series of
// elapsedMs values each is measured over, and the statistics reported.
//
// Every scene is measured from the same start: the show started from the top
// (generator state 1, the particle pool not yet reset), and then 256 frames at
// elapsedMs = 0, 60, 120, ..., 15,300: one scene's two orders of the song
// last 15.36 s, so the series spans a whole scene as the show plays it.
#pragma once

#include <vector>

#include "scenes/frame.h"

namespace bench {

constexpr int sceneTotal = 6;
constexpr int framesPerSeries = 256;
constexpr int frameStepMs = 60;

inline int elapsedOfFrame(int frame) { return frame * frameStepMs; }

// scene1 .. scene6, in play order.
extern const demo::SceneFn sceneFns[sceneTotal];

// Puts the show's state where a series starts: the desktop program's
// platform, the show started from the top.
void startSeries();

// The p-quantile (0 < p <= 1) of values by the nearest-rank rule: 0.5 is the
// median, 0.99 the 99th percentile.
double percentile(std::vector<double> values, double p);

}  // namespace bench
