// A sink for every OpenGL, GLU and GLUT call the show makes, for measuring
// the show's own time apart from the driver's.
//
// Linked in place of the real libraries, each entry point only adds one to
// its own counter, so a frame costs what our code costs plus one call and one
// increment per GL call. The counters give the GL calls per frame by kind.
// glutGet answers 0 for every query and glutGameModeGet -1.
#pragma once

#include <cstdint>

namespace nullgl {

enum Kind {
    Enable,
    Disable,
    ShadeModel,
    Viewport,
    MatrixMode,
    LoadIdentity,
    PushMatrix,
    PopMatrix,
    Translatef,
    Scalef,
    Rotatef,
    Begin,
    End,
    Color3f,
    Vertex3f,
    Scissor,
    ClearColor,
    Clear,
    BlendFunc,
    Perspective,
    LookAt,
    Glut,  // every GLUT entry point but the swap
    SwapBuffers,
    Offscreen,  // framebuffer objects, blits and queries of the full-screen window
    kindCount
};

// Calls of each kind since the last reset.
extern std::uint64_t counts[kindCount];

std::uint64_t total();
void reset();

}  // namespace nullgl
