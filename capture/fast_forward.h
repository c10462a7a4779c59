// Fast-forward: the frames a capture does not write run the show's code as
// in a full run (the generator, the sequencer, the particle pool and the
// sampling caches move on exactly as they would), but their GL calls never
// reach the driver. Drawing goes nowhere (glBegin, glVertex3f, glEnd,
// glClear: every frame of every scene clears the whole picture before it
// draws); every call that sets state outliving the frame is kept instead: the
// last value of each setting (enables, blend function, shading, colour,
// clear colour, scissor box, viewport, matrix mode) and, for each matrix
// stack, its calls since its last reset. When fast-forwarding ends, the kept
// state is sent to GL in one go: the driver then holds exactly what a full
// run would have left, and the next frame drawn is byte for byte the same.
//
// The show's GL and GLU calls (DEMO_SCENE_GL_CALLS, show/gl_calls.h) reach
// this module through the linker: demo-capture is linked with
// -Wl,--wrap=<call> for each (capture/CMakeLists.txt), so that every
// reference to glVertex3f in the program calls __wrap_glVertex3f here, which
// passes it on to the real one (__real_glVertex3f) unless it fast-forwards.
// The desktop program is not linked so, and calls libGL directly.
//
// Cost: a frame fast-forwarded costs the scene's own code and a few stores
// per call (about 0.05 to 1 ms a frame), instead of the driver's drawing.
#pragma once

namespace demo {

// From now on the show's GL calls are kept, not sent. Reads GL's current
// matrix mode once.
void startFastForward();

// Sends the kept state to GL; from now on the calls go to GL again. Does
// nothing when not fast-forwarding.
void endFastForward();

bool fastForwarding();

}  // namespace demo
