// Our immediate-mode layer: the GL and GLU entry points the show calls, with
// the matrix stacks and the frame's quads kept here. See gl_layer.h.
//
// Matrices are column-major float arrays, as GL keeps them, and every matrix
// operation is done in float in the order GL's own software path does it,
// so that vertices land where Mesa puts them to a fraction of a pixel.
#include "web/gl_layer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "scenes/frame.h"
#include "web/webgl_device.h"

namespace demo {

namespace {

constexpr Matrix identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
constexpr int stackDepth = LayerGlState::stackDepth;

// A clear not yet made: clears in a row that together cover one rectangle
// (the white bands) become one. It is made before the next quads are drawn,
// before a clear that does not join it, and at the end of the frame.
struct PendingClear {
    bool waiting;
    DrawState state;  // as at the clear, its scissor box grown by the clears joined
    unsigned mask;
    float colour[4];
};

// The frame being gathered: vertices[0, vertexCount), of which the quads
// from runStart on are not drawn yet. Within glBegin/glEnd, quadVertex counts
// the vertices of the quad being sent. Empty between frames.
struct FrameQuads {
    std::vector<ClipVertex> vertices = std::vector<ClipVertex>(4 << 16);
    int vertexCount = 0;
    int runStart = 0;  // in quads
    bool insideBegin = false, sendingQuads = false;
    int quadVertex = 0;
    PendingClear pendingClear = {};
    LayerFrameCounts counting = {};
};

// The layer: GL's state as the show set it, the frame being gathered, and
// what the last presented frame sent. Reset by openLayer.
struct Layer {
    LayerGlState gl;
    FrameQuads frame;
    bool drawing = true;
    LayerFrameCounts lastCounts = {};
};
Layer layer;

Matrix& currentMatrix() {
    return layer.gl.projectionCurrent ? layer.gl.projection[layer.gl.projectionTop]
                                      : layer.gl.modelview[layer.gl.modelviewTop];
}

void changedMatrix() { layer.gl.clipFromObjectStale = true; }

// m = m x b
void multiply(Matrix& m, const Matrix& b) {
    const Matrix a = m;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            m.m[column * 4 + row] =
                a.m[row] * b.m[column * 4] + a.m[4 + row] * b.m[column * 4 + 1] +
                a.m[8 + row] * b.m[column * 4 + 2] + a.m[12 + row] * b.m[column * 4 + 3];
        }
    }
    changedMatrix();
}

// A matrix GLU computes in double, taken as GL takes glMultMatrixd: each
// element rounded to float first.
void multiplyByDoubles(const double (&d)[16]) {
    Matrix b;
    for (int i = 0; i < 16; ++i)
        b.m[i] = float(d[i]);
    multiply(currentMatrix(), b);
}

void makePendingClear() {
    if (!layer.frame.pendingClear.waiting) return;
    clearPicture(layer.frame.pendingClear.state, layer.frame.pendingClear.mask,
                 layer.frame.pendingClear.colour);
    ++layer.frame.counting.clears;
    layer.frame.pendingClear.waiting = false;
}

// Whether a clear of mask and colour under the current state covers, with the
// pending one, exactly one rectangle: the same whole picture, or a scissor
// box of the same columns just above or below the pending one's.
bool joinsPendingClear(unsigned mask) {
    const PendingClear& p = layer.frame.pendingClear;
    if (!p.waiting || p.mask != mask ||
        std::memcmp(p.colour, layer.gl.clearColour, sizeof layer.gl.clearColour) != 0)
        return false;
    if (!layer.gl.state.scissorTest || !p.state.scissorTest)
        return !layer.gl.state.scissorTest && !p.state.scissorTest;
    const int* box = layer.gl.state.scissor;
    const int* was = p.state.scissor;
    return box[0] == was[0] && box[2] == was[2] &&
           (box[1] + box[3] == was[1] || was[1] + was[3] == box[1]);
}

void clear(unsigned mask) {
    if (joinsPendingClear(mask)) {
        int* was = layer.frame.pendingClear.state.scissor;
        was[1] = std::min(was[1], layer.gl.state.scissor[1]);
        was[3] += layer.gl.state.scissor[3];
        return;
    }
    makePendingClear();
    layer.frame.pendingClear = {true, layer.gl.state, mask, {}};
    std::memcpy(layer.frame.pendingClear.colour, layer.gl.clearColour, sizeof layer.gl.clearColour);
}

// Draws the quads gathered since the last run ended.
void drawRun() {
    const int quads = layer.frame.vertexCount / 4 - layer.frame.runStart;
    if (quads == 0) return;
    makePendingClear();
    drawQuads(layer.gl.state, &layer.frame.vertices[std::size_t(layer.frame.runStart) * 4],
              layer.frame.runStart, quads);
    ++layer.frame.counting.drawCalls;
    layer.frame.runStart += quads;
}

// Sets a drawing-state field; a change ends the current run when the field
// matters to it.
template <typename T>
void setField(T& field, T value, bool mattersToRun = true) {
    if (field == value) return;
    if (mattersToRun) drawRun();
    field = value;
}

void setBox(int (&box)[4], int x, int y, int w, int h, bool mattersToRun) {
    if (w < 0 || h < 0) return;  // GL refuses a negative size
    const int wanted[4] = {x, y, w, h};
    if (std::memcmp(box, wanted, sizeof wanted) == 0) return;
    if (mattersToRun) drawRun();
    std::memcpy(box, wanted, sizeof wanted);
}

void setCapability(GLenum cap, bool on) {
    switch (cap) {
        case GL_DEPTH_TEST:
            setField(layer.gl.state.depthTest, on);
            break;
        case GL_BLEND:
            setField(layer.gl.state.blend, on);
            break;
        case GL_SCISSOR_TEST:
            setField(layer.gl.state.scissorTest, on);
            break;
        case GL_CULL_FACE:
            layer.gl.cullBackFaces = on;  // applied to each quad as it is completed
            break;
        default:
            break;
    }
}

// A colour channel as the picture stores it: clamped to 0..1, scaled to 255
// in float and rounded half to even, as Mesa converts it (0.7 gives 178).
std::uint8_t colourByte(float c) {
    // NOTE: written so that NaN, like any value below 0, gives 0.
    const float clamped = c > 0 ? (c < 1 ? c : 1) : 0;
    return std::uint8_t(std::lrint(clamped * 255.0f));
}

// Whether the quad at v (four vertices) faces the viewer: counter-clockwise in
// the window. NOTE: the sign of the determinant of (x, y, w) of three corners
// is the sign of their window area for any clip coordinates, also for corners
// behind the eye, whose part in front WebGL clips and draws.
bool facesViewer(const ClipVertex* v) {
    const ClipVertex &a = v[0], &b = v[1], &c = v[3];
    const double det = double(a.x) * (double(b.y) * c.w - double(b.w) * c.y) -
                       double(a.y) * (double(b.x) * c.w - double(b.w) * c.x) +
                       double(a.w) * (double(b.x) * c.y - double(b.y) * c.x);
    return det > 0;
}

}  // namespace

bool openLayer(const char* canvasSelector, std::string& problem) {
    layer = Layer{};
    return openDevice(canvasSelector, problem);
}

const LayerGlState& layerGlState() { return layer.gl; }

void restoreLayerGlState(const LayerGlState& state) { layer.gl = state; }

void setLayerCanvasSize(int width, int height) { setCanvasSize(width, height); }

void presentLayer() {
    if (!layer.drawing) return;
    drawRun();
    makePendingClear();
    presentPicture();
    layer.lastCounts = layer.frame.counting;
    layer.frame.counting = {};
    layer.frame.vertexCount = 0;
    layer.frame.runStart = 0;
}

void setLayerDrawing(bool on) {
    layer.drawing = on;
    layer.frame.pendingClear.waiting = false;
    layer.frame.vertexCount = 0;
    layer.frame.runStart = 0;
    layer.frame.counting = {};
}

const LayerFrameCounts& lastFrameCounts() { return layer.lastCounts; }

const ClipVertex* lastFrameVertices() { return layer.frame.vertices.data(); }

}  // namespace demo

using demo::currentMatrix;
using demo::layer;

// ---- OpenGL ----

void glEnable(GLenum cap) { demo::setCapability(cap, true); }
void glDisable(GLenum cap) { demo::setCapability(cap, false); }
void glShadeModel(GLenum) {}

void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    demo::setBox(layer.gl.state.viewport, x, y, w, h, true);
}

void glScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    demo::setBox(layer.gl.state.scissor, x, y, w, h, layer.gl.state.scissorTest);
}

void glBlendFunc(GLenum src, GLenum dst) {
    demo::setField(layer.gl.state.blendSrc, unsigned(src), layer.gl.state.blend);
    demo::setField(layer.gl.state.blendDst, unsigned(dst), layer.gl.state.blend);
}

void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    // NOTE: rounded to the stored 8 bits here, as for quads, so that the
    // browser's own conversion cannot round the other way.
    const float colour[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i)
        layer.gl.clearColour[i] = demo::colourByte(colour[i]) / 255.0f;
}

void glClear(GLbitfield mask) {
    if (!layer.drawing) return;
    demo::drawRun();
    demo::clear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

void glMatrixMode(GLenum mode) {
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION)
        layer.gl.projectionCurrent = mode == GL_PROJECTION;
}

void glLoadIdentity() {
    currentMatrix() = demo::identity;
    demo::changedMatrix();
}

void glPushMatrix() {
    int& top = layer.gl.projectionCurrent ? layer.gl.projectionTop : layer.gl.modelviewTop;
    if (top + 1 == demo::stackDepth) return;
    demo::Matrix* stack = layer.gl.projectionCurrent ? layer.gl.projection : layer.gl.modelview;
    stack[top + 1] = stack[top];
    ++top;
}

void glPopMatrix() {
    int& top = layer.gl.projectionCurrent ? layer.gl.projectionTop : layer.gl.modelviewTop;
    if (top == 0) return;
    --top;
    demo::changedMatrix();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    float* m = currentMatrix().m;
    for (int row = 0; row < 4; ++row)
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    demo::changedMatrix();
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    float* m = currentMatrix().m;
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
    demo::changedMatrix();
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    // NOTE: an axis too short to give a direction leaves the matrix as it is,
    // as Mesa does.
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length <= 1.0e-4f) return;
    x /= length;
    y /= length;
    z /= length;
    const double radians = angle * M_PI / 180.0;
    const float s = float(std::sin(radians)), c = float(std::cos(radians)), k = 1 - c;
    const demo::Matrix r = {{k * x * x + c, k * x * y + z * s, k * z * x - y * s, 0,  //
                             k * x * y - z * s, k * y * y + c, k * y * z + x * s, 0,  //
                             k * z * x + y * s, k * y * z - x * s, k * z * z + c, 0,  //
                             0, 0, 0, 1}};
    demo::multiply(currentMatrix(), r);
}

void glBegin(GLenum mode) {
    layer.frame.insideBegin = true;
    layer.frame.sendingQuads = mode == GL_QUADS;
    layer.frame.quadVertex = 0;
}

void glEnd() {
    // an unfinished quad is dropped
    layer.frame.vertexCount -= layer.frame.quadVertex;
    layer.frame.quadVertex = 0;
    layer.frame.insideBegin = false;
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    layer.gl.currentColour = std::uint32_t(demo::colourByte(r)) |
                             std::uint32_t(demo::colourByte(g)) << 8 |
                             std::uint32_t(demo::colourByte(b)) << 16 | 0xFF000000u;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!layer.frame.insideBegin || !layer.frame.sendingQuads || !layer.drawing) return;
    if (layer.gl.clipFromObjectStale) {
        layer.gl.clipFromObject = layer.gl.projection[layer.gl.projectionTop];
        demo::multiply(layer.gl.clipFromObject, layer.gl.modelview[layer.gl.modelviewTop]);
        layer.gl.clipFromObjectStale = false;
    }
    if (std::size_t(layer.frame.vertexCount) == layer.frame.vertices.size())
        layer.frame.vertices.resize(2 * layer.frame.vertices.size());

    const float* m = layer.gl.clipFromObject.m;
    demo::ClipVertex& v = layer.frame.vertices[std::size_t(layer.frame.vertexCount++)];
    v.x = m[0] * x + m[4] * y + m[8] * z + m[12];
    v.y = m[1] * x + m[5] * y + m[9] * z + m[13];
    v.z = m[2] * x + m[6] * y + m[10] * z + m[14];
    v.w = m[3] * x + m[7] * y + m[11] * z + m[15];
    v.rgba = layer.gl.currentColour;
    if (++layer.frame.quadVertex < 4) return;

    // a whole quad: kept, or dropped as a back face
    layer.frame.quadVertex = 0;
    if (layer.gl.cullBackFaces && !demo::facesViewer(&v - 3)) {
        layer.frame.vertexCount -= 4;
        ++layer.frame.counting.quadsCulled;
    } else {
        ++layer.frame.counting.quadsKept;
    }
}

// ---- GLU ----

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2 * M_PI / 180;
    const double deltaZ = zFar - zNear, sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    const double m[16] = {cotangent / aspect,
                          0,
                          0,
                          0,
                          0,
                          cotangent,
                          0,
                          0,
                          0,
                          0,
                          -(zFar + zNear) / deltaZ,
                          -1,
                          0,
                          0,
                          -2 * zNear * zFar / deltaZ,
                          0};
    demo::multiplyByDoubles(m);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    // NOTE: in float, as GLU computes it, and normalised with a square root
    // taken in double.
    auto normalise = [](float(&v)[3]) {
        const float r = std::sqrt(double(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
        if (r == 0) return;
        for (float& c : v)
            c /= r;
    };
    auto cross = [](const float(&a)[3], const float(&b)[3], float(&out)[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    float forward[3] = {float(centreX - eyeX), float(centreY - eyeY), float(centreZ - eyeZ)};
    float up[3] = {float(upX), float(upY), float(upZ)};
    float side[3];
    normalise(forward);
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, up);
    const demo::Matrix m = {{side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0,
                             side[2], up[2], -forward[2], 0, 0, 0, 0, 1}};
    demo::multiply(currentMatrix(), m);
    glTranslatef(float(-eyeX), float(-eyeY), float(-eyeZ));
}
