// The seam between the show and the shell that presents it.
//
// The show core (the sequencer and the scenes below it) never calls a window
// system, an audio device or the process directly. What it needs from
// outside goes through the four calls of a Platform, which each shell fills
// in: the desktop program (desktop/desktop_shell.cpp: GLUT's clock, the music
// player, the buffer swap, exit), the capture (a virtual clock, the offline
// music, no swap) and the web page. A new way to present the show is one new
// Platform, not a copy of the per-frame step.
//
// Threads: every call is made on the thread that draws.
#pragma once

#include <cstdint>

#include "music/position.h"

namespace demo {

struct Platform {
    // The show's clock in milliseconds; only differences between readings
    // matter.
    int (*clockMs)();
    // Where the music is, packed as the music layer packs it
    // (music/position.h).
    std::uint32_t (*musicPosition)();
    // Puts the frame just drawn on screen; the per-frame step calls it once
    // the scene has drawn.
    void (*presentFrame)();
    // Ends the show: the quit row was reached or a key was pressed. The
    // desktop program exits here and never returns; other shells return and
    // stop asking for frames.
    void (*endShow)();
};

// Makes platform the one the show calls from now on; the shell calls it once
// before it starts the show.
void usePlatform(const Platform& platform);

// The GL state every frame relies on and no scene sets: flat shading and
// back faces culled. Scenes leave both as they are.
void setFixedGlState();

// The GL state the show starts from: the fixed state, then the viewport and
// projection of the 640x480 picture (setScreenProjection, scenes/frame.h),
// leaving GL_PROJECTION current. The capture, the page and the benchmarks
// call it once their GL context is open, before the show starts. The desktop
// program sets the fixed state at start-up and the projection from its
// reshape callback, which GLUT calls before the first frame.
void setStartGlState();

// The calls of the platform in use.
int platformClockMs();
MusicPosition platformMusicPosition();
void presentFrame();
void endShow();

}  // namespace demo
