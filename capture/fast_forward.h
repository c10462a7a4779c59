// Fast-forward: the frames a capture does not write run the show's code as
// in a full run (the generator, the sequencer, the particle pool and the
// sampling caches move on exactly as they would), but their GL calls never
// reach the driver. Drawing goes nowhere (glBegin, glVertex3f, glEnd,
// glClear: every frame of every scene clears the whole picture before it
// draws); every call that sets state outliving the frame is kept instead in
// a log: the last value of each setting (enables, blend function, shading,
// colour, clear colour, scissor box, viewport, matrix mode) and, for each
// matrix stack, the calls that still shape it. When fast-forwarding ends,
// the log is sent to GL in one go: the driver then holds exactly what a full
// run would have left, and the next frame drawn is byte for byte the same.
//
// A matrix stack's calls are shortened as they come, by three rules:
// - a push and everything after it go when it is popped (the stack is as
//   it was before the push);
// - a reset (glLoadIdentity) outside every push of the log drops every call
//   before it, back to the last pop of a level pushed before fast-forwarding
//   (which must still be sent: it changes the stack's depth);
// - a GLU call keeps its doubles exactly, a gl call its floats.
// Each setting is sent once, with its last value, whatever the number of
// calls that set it.
//
// The show's GL and GLU calls (DEMO_SCENE_GL_CALLS, show/gl_calls.h) reach
// this module through the linker: a program is linked with -Wl,--wrap=<call>
// for each (demo_wrap_scene_gl_calls in capture/CMakeLists.txt), so that
// every reference to glVertex3f in it calls __wrap_glVertex3f here, which
// passes it on to the real one (__real_glVertex3f) unless it fast-forwards.
// The desktop program is not linked so, and calls libGL directly.
//
// Cost: a frame fast-forwarded costs the scene's own code and a few stores
// per call (about 0.05 to 1 ms a frame), instead of the driver's drawing.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace demo {

// A matrix call kept to be sent again, with its arguments (floats held as
// the doubles they convert to exactly).
enum class MatrixCall { loadIdentity, push, pop, translate, scale, rotate, perspective, lookAt };
struct KeptMatrixCall {
    MatrixCall call;
    std::array<GLdouble, 9> arg;
};

// One matrix stack's kept calls, and the indices in it of the pushes still
// open; calls before floor change the stack's depth and are never dropped.
struct MatrixLog {
    GLenum mode = 0;  // GL_MODELVIEW, ...; 0: unused slot
    std::vector<KeptMatrixCall> calls;
    std::vector<std::size_t> pushes;
    std::size_t floor = 0;
};

// A setting kept: its last value, and whether it was set at all.
template <typename T>
struct Kept {
    T value{};
    bool set = false;
    void keep(const T& v) {
        value = v;
        set = true;
    }
};

struct FastForwardLog {
    GLenum matrixMode = GL_MODELVIEW;
    std::array<MatrixLog, 3> stacks;  // modelview, projection, texture: as the show uses them
    std::vector<std::pair<GLenum, bool>> enables;
    Kept<GLenum> shadeModel;
    Kept<std::array<GLenum, 2>> blendFunction;
    Kept<std::array<GLfloat, 4>> clearColour;
    Kept<std::array<GLint, 4>> scissorBox, viewportBox;
    Kept<std::array<GLfloat, 3>> colour;
};

// From now on the show's GL calls are kept in log, not sent. Reads GL's
// current matrix mode once. Does nothing when already fast-forwarding.
void startFastForward(FastForwardLog& log);

// Sends the kept state to GL and empties log; from now on the calls go to
// GL again. Does nothing when not fast-forwarding.
void endFastForward(FastForwardLog& log);

}  // namespace demo
