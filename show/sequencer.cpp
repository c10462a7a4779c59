// Music clock and scene sequencer: the rows of the show, the state that walks
// them, and the per-frame step.
#include "show/sequencer.h"

#include "scenes/particle_fountain.h"
#include "scenes/random.h"
#include "scenes/scenes.h"
#include "show/platform.h"
#include "show/show_facts.h"

namespace demo {

// The show: six scenes of two orders each, then the quit row at the quit
// order. The quit row's endOrder is never compared: it ends the show.
constexpr SceneEntry sceneTable[sceneCount] = {
    {scene1, 2, "cube-cluster"},      {scene2, 4, "lobed-shell"}, {scene3, 6, "cube-tunnel"},
    {scene4, 8, "particle-fountain"}, {scene5, 10, "greetings"},  {scene6, 12, "rippling-sphere"},
    {quitDemo, 28, nullptr},
};

constexpr bool rowsFollowTheMusic() {
    for (int row = 0; row < scenesShown; ++row)
        if (sceneTable[row].endOrder != (row + 1) * ordersPerScene) return false;
    return quitRow == scenesShown && sceneTable[quitRow - 1].endOrder == quitOrder;
}
static_assert(rowsFollowTheMusic(),
              "one row per scene of ordersPerScene orders, then the quit row");

static SequencerState state = {0, 0, {}, 0};

const SequencerState& sequencer() { return state; }

void startShow() {
    resetRand();
    resetParticlePool();
    state = {0, platformClockMs(), {}, 0};
}

ShowState saveShow() { return {state, particlePool(), randState()}; }

void restoreShow(const ShowState& saved) {
    state = saved.sequencer;
    restoreParticlePool(saved.pool);
    setRandState(saved.randState);
}

int advanceSequencer(std::uint32_t order) {
    // One comparison, against the row current when the frame began.
    if (state.sceneIndex < quitRow && order >= sceneTable[state.sceneIndex].endOrder) {
        ++state.sceneIndex;
        state.sceneStartMs = platformClockMs();
    }
    return platformClockMs() - state.sceneStartMs;
}

int followMusic() {
    state.position = platformMusicPosition();
    state.elapsedMs = advanceSequencer(state.position.order);
    return state.elapsedMs;
}

bool showOver() { return state.sceneIndex == quitRow; }

void showSceneFrame(SceneFn scene, int elapsedMs) {
    scene(elapsedMs);
    presentFrame();
}

void displayFrame() {
    const int elapsedMs = followMusic();
    const SceneEntry& row = sceneTable[state.sceneIndex];
    if (showOver())
        row.function(elapsedMs);  // the quit row: ends the show
    else
        showSceneFrame(row.function, elapsedMs);
}

void quitDemo(int) { endShow(); }

}  // namespace demo
