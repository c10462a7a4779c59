// The music clock and the scene sequencer: the show core's per-frame step.
//
// The music is the show's clock: each frame reads the module's current order
// and moves to the next row of sceneTable once the order has reached the
// current row's endOrder (at most one row per frame, never backwards). The
// row's scene is then called with elapsedMs, the milliseconds since the row
// began. The last row ends the show.
//
// Every shell runs the show through startShow and displayFrame, with its own
// clock and music behind the platform (shell/platform.h).
#pragma once

#include <cstdint>

#include "scenes/frame.h"

namespace demo {

struct SceneEntry {
    SceneFn function;
    std::uint32_t endOrder;  // the music order at which the sequencer leaves this row
};

constexpr int sceneCount = 7;
constexpr int quitRow = 6;  // its function ends the show
extern const SceneEntry sceneTable[sceneCount];

// The sequencer's state; only this module writes it.
struct SequencerState {
    int sceneIndex;    // the current row: 0 at the start, raised by one at a time
    int sceneStartMs;  // the platform clock's reading when the current row began
};
const SequencerState& sequencer();

// Starts the show from the top: the generator back to its start state, the
// particle pool as at program start, row 0 stamped with one reading of the
// platform's clock. The next displayFrame draws the first frame of scene 1.
void startShow();

// One sequencer step for the order read this frame: moves to the next row if
// order >= the current row's endOrder (stamping sceneStartMs from the
// platform's clock), then returns elapsedMs from a second, separate reading.
// Nothing moves past the quit row.
int advanceSequencer(std::uint32_t order);

// One frame of the show, the step every shell shares (and the desktop
// program's GLUT display callback): reads the music position once, advances
// the sequencer on the order (its low 16 bits) and calls the current row's
// function with elapsedMs. A scene draws and presents the frame; the quit
// row ends the show through the platform.
void displayFrame();

// The quit row's function: ends the show through the platform (endShow).
// Has the SceneFn shape so that it can stand in the scene table.
void quitDemo(int elapsedMs);

}  // namespace demo
