// The desktop program: start-up, the window callbacks and the way out.
//
// The show runs full screen at 640x480 in GLUT game mode. Where the screen
// cannot switch, it runs in a borderless window covering the screen: every
// frame is drawn at 640x480 into the picture target (picture/picture_target.h)
// and scaled onto the window as it is presented. Frames are drawn back to
// back from the idle callback.
//
// Start-up reads the font, opens the audio device and loads the song before
// it touches the screen, so that a missing file or sound leaves the screen as
// it was. The show ends with status 0 when the sequencer reaches the quit
// row or a character key is pressed; with 128 + the signal's number on
// SIGINT, SIGTERM or SIGHUP (process/signals.h: within a second, however it
// is blocked); with status 1 when it cannot start.
#pragma once

#include "show/platform.h"

namespace demo {

// The whole program: start-up, then GLUT's main loop, which never returns.
int runDemo(int argc, char** argv);

// The desktop program's platform: GLUT's millisecond clock, the music
// player's position, the buffer swap (in the full-screen window: the scaling
// pass, the swap, then the picture target bound again), and the quit steps
// (stop and free the music, shut the music layer down, give the screen back,
// exit with status 0).
extern const Platform desktopPlatform;

// Viewport and the one projection every scene uses: 60 degree vertical field
// of view, aspect width/height, near 1, far 300. Leaves GL_PROJECTION current.
// In the full-screen window the scenes keep the viewport and projection of a
// 640x480 screen, and the window's size is where the picture is scaled to.
void onReshape(int width, int height);

// Asks for the next frame at once; ends the show after a termination signal.
void onIdle();

// Any character key ends the show.
void onKey(unsigned char key, int x, int y);

// Start-up's last step, once the screen is open: plays the song loaded
// before (looping) and starts the show, stamping the first scene's clock.
void startMusic();

// A start-up failure whose one-line message has been printed: gives the
// screen back and exits with status 1.
[[noreturn]] void failStartup();

}  // namespace demo
