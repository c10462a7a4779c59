// The music clock and the scene sequencer.
//
// The music is the show's clock: each frame reads the module's current order
// and moves to the next row of sceneTable once the order has reached the
// current row's endOrder (at most one row per frame, never backwards). The
// row's scene is then called with elapsedMs, the milliseconds since the row
// began. The last row quits.
#pragma once

#include <cstdint>

#include "scenes/frame.h"

namespace demo {

struct SceneEntry {
    SceneFn function;
    std::uint32_t endOrder;  // the music order at which the sequencer leaves this row
};

constexpr int sceneCount = 7;
constexpr int quitRow = 6;  // its function ends the process
extern const SceneEntry sceneTable[sceneCount];

// Index of the current row: 0 at start, raised by one at a time.
extern int sceneIndex;
// Clock reading (ms) at which the current row began.
extern int sceneStartMs;

// One sequencer step for the order read this frame: moves to the next row if
// order >= the current row's endOrder (stamping sceneStartMs from nowMs()),
// then returns elapsedMs from a second, separate reading of nowMs(). The
// caller then runs sceneTable[sceneIndex]. The demo passes GLUT's clock; the
// capture tool a virtual one.
int advanceSequencer(std::uint32_t order, int (*nowMs)());

// One frame of the show for the music position read this frame, the step
// that displayFrame and the capture tool share: the order is the low 16 bits
// of position; advanceSequencer moves the rows on the clock nowMs; then the
// current row's function is called with elapsedMs. When the current row is
// the quit row and runQuitRow is false, returns false without calling it (the
// capture tool stops there instead of ending the process); otherwise returns
// true once the row's function returns (the demo's quit row never returns).
bool runSequencerFrame(std::uint32_t position, int (*nowMs)(), bool runQuitRow);

// GLUT's millisecond clock, glutGet(GLUT_ELAPSED_TIME).
int glutClockMs();

// Start-up: opens the audio device, loads and plays "demosong.it" (looping)
// and stamps sceneStartMs. On failure prints one line to standard error and
// exits with status 1.
void startMusic();

// The GLUT display callback: reads the music order once, advances the
// sequencer and runs the current row's scene, which draws and swaps.
void displayFrame();

}  // namespace demo
