// A GLSL 1.20 program of our own shader sources, for the picture layer's
// passes (the sharp scaling, the reduced-flashing filter). The sources are
// written for every platform (sharp_scaling.h, flash_filter_shader.h); the
// desktop's prologue before each says how: the corner comes from
// glVertex, varyings are "varying", the colour goes to gl_FragColor.
//
// Needs a current GL context with GLSL 1.20; makes GL calls only.
#pragma once

#include <GL/gl.h>

namespace demo {

// The program of vertexSource and fragmentSource, linked, its shaders
// released; 0 when the driver cannot compile or link it. sampleMacro
// defines how the fragment source samples its texture, e.g.
// "#define SAMPLE(s, uv) texture2D(s, uv)\n".
GLuint linkedShaderProgram(const char* vertexSource, const char* sampleMacro,
                           const char* fragmentSource);

// The square from (0, 0) to (1, 1) as one quad, counter-clockwise: the
// corners a pass's vertex source maps onto its rectangle.
void drawUnitSquare();

}  // namespace demo
