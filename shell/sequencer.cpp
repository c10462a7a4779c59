// Music clock and scene sequencer: the rows of the show, the state that walks
// them, and the per-frame step.
#include "shell/sequencer.h"

#include "scenes/particle_fountain.h"
#include "scenes/random.h"
#include "scenes/scenes.h"
#include "shell/platform.h"
#include "shell/show_facts.h"

namespace demo {

// The show: six scenes of two orders each, then the quit row at the quit
// order. The quit row's endOrder is never compared: it ends the show.
constexpr SceneEntry sceneTable[sceneCount] = {
    {scene1, 2}, {scene2, 4}, {scene3, 6}, {scene4, 8}, {scene5, 10}, {scene6, 12}, {quitDemo, 28},
};

constexpr bool rowsFollowTheMusic() {
    for (int row = 0; row < scenesShown; ++row)
        if (sceneTable[row].endOrder != (row + 1) * ordersPerScene) return false;
    return quitRow == scenesShown && sceneTable[quitRow - 1].endOrder == quitOrder;
}
static_assert(rowsFollowTheMusic(),
              "one row per scene of ordersPerScene orders, then the quit row");

static SequencerState state = {0, 0};

const SequencerState& sequencer() { return state; }

void startShow() {
    resetRand();
    resetParticlePool();
    state.sceneIndex = 0;
    state.sceneStartMs = platformClockMs();
}

int advanceSequencer(std::uint32_t order) {
    // One comparison, against the row current when the frame began.
    if (state.sceneIndex < quitRow && order >= sceneTable[state.sceneIndex].endOrder) {
        ++state.sceneIndex;
        state.sceneStartMs = platformClockMs();
    }
    return platformClockMs() - state.sceneStartMs;
}

void displayFrame() {
    const std::uint32_t order = platformMusicPosition() & 0xFFFF;
    const int elapsedMs = advanceSequencer(order);
    sceneTable[state.sceneIndex].function(elapsedMs);
}

void quitDemo(int) { endShow(); }

}  // namespace demo
