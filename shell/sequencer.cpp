// Music clock and scene sequencer: the rows of the show and the per-frame
// step that walks them as the music plays.
#include "shell/sequencer.h"

#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>

#include "music/player.h"
#include "scenes/scenes.h"
#include "shell/startup.h"

namespace demo {

// The show: six scenes of two orders each, then the quit row at order 12.
// The quit row's endOrder is never compared: it ends the process.
const SceneEntry sceneTable[sceneCount] = {
    {scene1, 2}, {scene2, 4}, {scene3, 6}, {scene4, 8}, {scene5, 10}, {scene6, 12}, {quitDemo, 28},
};

int sceneIndex = 0;
int sceneStartMs = 0;

int glutClockMs() { return glutGet(GLUT_ELAPSED_TIME); }

int advanceSequencer(std::uint32_t order, int (*nowMs)()) {
    // One comparison, against the row current when the frame began. The quit
    // row ends the process, so nothing ever moves past it.
    if (sceneIndex < quitRow && order >= sceneTable[sceneIndex].endOrder) {
        ++sceneIndex;
        sceneStartMs = nowMs();
    }
    return nowMs() - sceneStartMs;
}

void startMusic() {
    if (!BASSMOD_Init(-1, 44100, 0)) {
        std::fprintf(stderr,
                     "demo: cannot open the audio device: %s (SDL_AUDIODRIVER=dummy plays the "
                     "show without sound)\n",
                     musicErrorText());
        failStartup();
    }
    if (!BASSMOD_MusicLoad(0, "demosong.it", 0, 0,
                           BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET)) {
        std::fprintf(stderr, "demo: cannot load demosong.it: %s\n", musicErrorText());
        BASSMOD_Free();
        failStartup();
    }
    BASSMOD_MusicPlay();
    sceneStartMs = glutClockMs();
}

bool runSequencerFrame(std::uint32_t position, int (*nowMs)(), bool runQuitRow) {
    const std::uint32_t order = position & 0xFFFF;
    const int elapsedMs = advanceSequencer(order, nowMs);
    if (sceneIndex == quitRow && !runQuitRow) return false;
    sceneTable[sceneIndex].function(elapsedMs);
    return true;
}

void displayFrame() { runSequencerFrame(BASSMOD_MusicGetPosition(), glutClockMs, true); }

}  // namespace demo
