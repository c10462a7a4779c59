// A sink for every OpenGL, GLU and GLUT call the show makes, for measuring
// the show's own time apart from the driver's.
//
// Linked in place of the real libraries, each entry point of
// show/gl_calls.h only adds one to its own counter, so a frame costs what
// our code costs plus one call and one increment per GL call. The counters
// give the GL calls per frame by kind. glutGet answers 0 for every query and
// glutGameModeGet -1.
#pragma once

#include <cstdint>

#include "show/gl_calls.h"

namespace nullgl {

// Calls of one kind since the last reset.
std::uint64_t count(demo::GlCall kind);

std::uint64_t total();
void reset();

}  // namespace nullgl
