// The seam between the show and the shell that presents it.
//
// The show core (the sequencer and the scenes below it) never calls a window
// system, an audio device or the process directly. What it needs from
// outside goes through the four calls of a Platform, which each shell fills
// in: the desktop program (desktop/startup.cpp: GLUT's clock, the music
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

// The calls of the platform in use.
int platformClockMs();
MusicPosition platformMusicPosition();
void presentFrame();
void endShow();

}  // namespace demo
