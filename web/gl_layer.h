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

#include <GL/gl.h>

#include <cstdint>
#include <string>

#include "scenes/frame.h"

namespace demo {

// A vertex as WebGL receives it: clip coordinates and the colour as
// red, green, blue, alpha bytes (alpha 255).
struct ClipVertex {
    float x, y, z, w;
    std::uint32_t rgba;
};

// A 4x4 matrix, column-major, as GL keeps it.
struct Matrix {
    float m[16];
};

// The GL state a draw or a clear is made under.
struct DrawState {
    bool depthTest, blend, scissorTest;
    unsigned blendSrc, blendDst;  // GL enums
    int scissor[4];               // x, y, width, height in picture pixels
    int viewport[4];
};

// GL's state as the show's calls have left it: everything of the layer that
// lives from one frame to the next, GL's initial values at first. A plain
// value: saving it is a copy, and a copy given back to restoreLayerGlState
// brings the layer to exactly that point (between two frames).
struct LayerGlState {
    // matrix stacks as deep as Mesa's; a push on a full stack or a pop of the
    // last matrix does nothing, as in GL (which also flags an error)
    static constexpr int stackDepth = 32;
    Matrix modelview[stackDepth] = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};
    Matrix projection[stackDepth] = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};
    int modelviewTop = 0, projectionTop = 0;
    bool projectionCurrent = false;  // the matrix mode: GL_MODELVIEW at first
    // projection x modelview, made again before the first vertex after a change
    Matrix clipFromObject = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    bool clipFromObjectStale = false;
    DrawState state = {false,
                       false,
                       false,
                       GL_ONE,
                       GL_ZERO,
                       {0, 0, pictureWidth, pictureHeight},
                       {0, 0, pictureWidth, pictureHeight}};
    bool cullBackFaces = false;
    float clearColour[4] = {0, 0, 0, 0};
    std::uint32_t currentColour = ~std::uint32_t(0);  // white, the initial colour
};

const LayerGlState& layerGlState();
void restoreLayerGlState(const LayerGlState& state);

// Opens the layer on the canvas found by canvasSelector (a CSS selector,
// "#show"): a WebGL2 context and the 640x480 picture every frame is drawn
// into. The layer starts again from its initial state: GL's initial state,
// nothing gathered, drawing on. False when the browser gives no
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
