// The music clock and the scene sequencer: the show core's per-frame step.
//
// The music is the show's clock: each frame reads the module's current order
// and moves to the next row of sceneTable once the order has reached the
// current row's endOrder (at most one row per frame, never backwards). The
// row's scene is then called with elapsedMs, the milliseconds since the row
// began, and the frame is presented. The last row ends the show.
//
// Every shell runs the show through startShow and displayFrame, with its own
// clock and music behind the platform (show/platform.h), and asks showOver()
// whether to go on.
#pragma once

#include <cstdint>

#include "music/position.h"
#include "scenes/frame.h"
#include "scenes/particle_fountain.h"

namespace demo {

struct SceneEntry {
    SceneFn function;
    std::uint32_t endOrder;  // the music order at which the sequencer leaves this row
    const char* name;  // "cube-cluster": the scene's name in file names; none for the quit row
};

// The show's one list of scenes: rows 0 to 5 are the six scenes in play order
// (scenesShown, show/show_facts.h), row 6 the quit row.
constexpr int sceneCount = 7;
constexpr int quitRow = 6;  // its function ends the show
extern const SceneEntry sceneTable[sceneCount];

// The sequencer's state; only this module writes it.
struct SequencerState {
    int sceneIndex;          // the current row: 0 at the start, raised by one at a time
    int sceneStartMs;        // the platform clock's reading when the current row began
    MusicPosition position;  // the music position the last frame read
    int elapsedMs;           // the elapsedMs the last frame gave its row
};
const SequencerState& sequencer();

// Starts the show from the top: the generator back to its start state, the
// particle pool as at program start, row 0 stamped with one reading of the
// platform's clock. The next displayFrame draws the first frame of scene 1.
void startShow();

// The show between two frames, as one value: the sequencer's state, the
// particle pool and the generator's state, all that a frame carries to the
// next. Taken by saveShow, given back by restoreShow: the next displayFrame
// then does exactly what it would have done after the frame the copy was
// taken after (with the same clock and music position). The shells' GL state
// is theirs to save beside it.
struct ShowState {
    SequencerState sequencer;
    ParticlePool pool;
    std::uint32_t randState;
};
ShowState saveShow();
void restoreShow(const ShowState& saved);

// One sequencer step for the order read this frame: moves to the next row if
// order >= the current row's endOrder (stamping sceneStartMs from the
// platform's clock), then returns elapsedMs from a second, separate reading.
// Nothing moves past the quit row.
int advanceSequencer(std::uint32_t order);

// The music clock's half of a frame, drawing nothing: reads the music
// position once and advances the sequencer on its order. Returns elapsedMs.
int followMusic();

// Whether the show is over: the sequencer has reached the quit row. Every
// shell asks this one question.
bool showOver();

// One frame of a scene as the show draws it: the scene, then the platform's
// present.
void showSceneFrame(SceneFn scene, int elapsedMs);

// One frame of the show, the step every shell shares (and the desktop
// program's GLUT display callback): followMusic, then the current row's
// function with elapsedMs, and the frame presented. The quit row ends the
// show through the platform instead.
void displayFrame();

// The quit row's function: ends the show through the platform (endShow).
// Has the SceneFn shape so that it can stand in the scene table.
void quitDemo(int elapsedMs);

}  // namespace demo
