// Our immediate-mode layer for the browser: the OpenGL 1.1 and GLU entry
// points the show calls (glBegin/glVertex3f/glEnd quads, the matrix stacks,
// scissored clears, the fade blend, gluPerspective, gluLookAt), drawn with
// WebGL2 through webgl_device.h. The scenes, the geometry and the font call it
// unchanged: it defines the functions their <GL/gl.h> and <GL/glu.h> declare.
//
// What it draws is what Mesa draws from the same calls:
//   - vertices are transformed on the CPU, in float, by the projection times
//     the modelview matrix (both kept here, as GL and GLU compute them), and
//     reach WebGL in clip coordinates; WebGL clips them;
//   - back faces (clockwise in the window) are culled on the CPU, from the
//     sign of the quad's area in homogeneous coordinates, while GL_CULL_FACE
//     is enabled;
//   - flat shading: a quad takes the colour of its last vertex (GL's
//     provoking vertex for quads), each colour clamped to 0..1 and rounded
//     to the 8 bits the picture stores;
//   - depth test (GL_LESS), blending (the function given), the scissor test
//     and scissored clears of colour and depth, applied as GL applies them.
// glShadeModel is accepted and ignored: the show sets GL_FLAT once and never
// changes it. Only GL_QUADS are drawn; other primitives are dropped.
//
// Batching: quads are gathered into one buffer per frame, and each run of
// quads between two changes of the drawing state (capabilities, blend
// function, scissor box, viewport) or a clear is one WebGL draw call.
// Changing matrices or colours never breaks a run, nor does a change of
// state that the run does not use (the scissor box with the scissor test
// off, the blend function with blending off). Clears in a row that together
// cover one rectangle, such as the twenty white bands, are one WebGL clear.
//
// Threads: the page's main thread only.
#pragma once

#include <cstdint>
#include <string>

namespace demo {

// A vertex as WebGL receives it: clip coordinates and the colour as
// red, green, blue, alpha bytes (alpha 255).
struct ClipVertex {
    float x, y, z, w;
    std::uint32_t rgba;
};

// Opens the layer on the canvas found by canvasSelector (a CSS selector,
// "#show"): a WebGL2 context and the 640x480 picture every frame is drawn
// into. The GL state is GL's initial state. False when the browser gives no
// WebGL2 context, with the reason in problem.
bool openLayer(const char* canvasSelector, std::string& problem);

// The canvas's size in device pixels, from the next frame on (640x480 until
// told).
void setLayerCanvasSize(int width, int height);

// Draws what is still gathered, then puts the 640x480 picture on the canvas,
// scaled as the desktop does (see webgl_device.h), and starts a new frame.
void presentLayer();

// With drawing off the layer keeps its state (matrices, capabilities, colour)
// as always but drops vertices, clears and presents: frames run at the cost of
// the show's own code. On by default.
void setLayerDrawing(bool on);

// What the last presented frame sent to WebGL.
struct LayerFrameCounts {
    int drawCalls;    // one per run of quads
    int clears;       // scissored or not
    int quadsKept;    // quads drawn
    int quadsCulled;  // back faces dropped on the CPU
};
const LayerFrameCounts& lastFrameCounts();

// The kept quads of the last presented frame, four vertices each, in drawing
// order: valid until the next vertex is sent.
const ClipVertex* lastFrameVertices();

}  // namespace demo
