// Start-up, the window callbacks and the way out.
//
// The show runs full screen at 640x480 in GLUT game mode (in a 640x480
// window where the screen cannot switch), drawing frames back to back from
// the idle callback. It ends with status 0 when the sequencer reaches the
// quit row, a character key is pressed, or SIGINT/SIGTERM arrives; with
// status 1 when it cannot start.
#pragma once

namespace demo {

// The whole program: start-up, then GLUT's main loop, which never returns.
int runDemo(int argc, char** argv);

// Viewport and the one projection every scene uses: 60 degree vertical field
// of view, aspect width/height, near 1, far 300. Leaves GL_PROJECTION current.
void onReshape(int width, int height);

// Asks for the next frame at once; ends the show after a termination signal.
void onIdle();

// Any character key ends the show.
void onKey(unsigned char key, int x, int y);

// The quit steps: stop and free the music, shut the music layer down, give
// the screen back to the desktop, exit with status 0. Has the SceneFn shape
// so that it can stand as the last row of the scene table.
[[noreturn]] void quitDemo(int elapsedMs);

// A start-up failure whose one-line message has been printed: gives the
// screen back and exits with status 1.
[[noreturn]] void failStartup();

}  // namespace demo
