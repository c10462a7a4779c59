// Fast-forward: the show's GL calls kept instead of drawn. See
// fast_forward.h.
#include "capture/fast_forward.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cstddef>
#include <vector>

#include "show/gl_calls.h"

namespace demo {

namespace {

// A matrix call kept to be sent again: the gl calls' float arguments in the
// op itself, the GLU calls' doubles (one or two a frame) beside the ops.
enum class MatrixCall { loadIdentity, push, pop, translate, scale, rotate, perspective, lookAt };
struct MatrixOp {
    MatrixCall call;
    std::array<GLfloat, 4> arg;  // for perspective and lookAt: [0] indexes gluArgs
};
using GluArgs = std::array<GLdouble, 9>;

// One matrix stack's calls since fast-forwarding began, shortened as they
// come: a push and everything after it go when it is popped, and a reset
// (glLoadIdentity) drops every call before it back to the last pop of a
// level that was pushed before fast-forwarding.
struct MatrixStack {
    GLenum mode = 0;  // GL_MODELVIEW, ...; 0: unused slot
    std::vector<MatrixOp> ops;
    std::vector<GluArgs> gluArgs;
    std::vector<std::size_t> pushes;  // the index of each push still outstanding
    std::size_t floor = 0;            // calls before this index change the stack's depth
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

bool skipping = false;
GLenum matrixMode = GL_MODELVIEW;
std::array<MatrixStack, 3> stacks;  // modelview, projection, texture: as the show uses them
std::vector<std::pair<GLenum, bool>> enables;
Kept<GLenum> shadeModel;
Kept<std::array<GLenum, 2>> blendFunction;
Kept<std::array<GLfloat, 4>> clearColour;
Kept<std::array<GLint, 4>> scissorBox, viewportBox;
Kept<std::array<GLfloat, 3>> colour;

MatrixStack& currentStack() {
    for (MatrixStack& stack : stacks) {
        if (stack.mode == matrixMode) return stack;
        if (stack.mode == 0) {
            stack.mode = matrixMode;
            return stack;
        }
    }
    return stacks.back();  // NOTE: no fourth mode exists in GL 1.x
}

void keepMatrixOp(MatrixCall call, std::array<GLfloat, 4> arg = {}) {
    MatrixStack& stack = currentStack();
    switch (call) {
        case MatrixCall::push:
            stack.pushes.push_back(stack.ops.size());
            break;
        case MatrixCall::pop:
            if (!stack.pushes.empty()) {
                stack.ops.resize(stack.pushes.back());
                stack.pushes.pop_back();
                return;
            }
            stack.ops.push_back({call, arg});
            stack.floor = stack.ops.size();
            return;
        case MatrixCall::loadIdentity:
            if (stack.pushes.empty()) stack.ops.resize(stack.floor);
            if (stack.ops.empty()) stack.gluArgs.clear();
            break;
        default:
            break;
    }
    stack.ops.push_back({call, arg});
}

void keepGluOp(MatrixCall call, const GluArgs& arg) {
    MatrixStack& stack = currentStack();
    stack.gluArgs.push_back(arg);
    keepMatrixOp(call, {GLfloat(stack.gluArgs.size() - 1)});
}

void keepEnable(GLenum cap, bool on) {
    for (auto& kept : enables) {
        if (kept.first == cap) {
            kept.second = on;
            return;
        }
    }
    enables.push_back({cap, on});
}

}  // namespace

}  // namespace demo

// The real entry points, and the ones the program's calls reach.
extern "C" {
#define DEMO_REAL_ENTRY_POINT(enumerator, shape, returns, entryPoint, parameters, arguments) \
    returns __real_##entryPoint parameters;
DEMO_SCENE_GL_CALLS(DEMO_REAL_ENTRY_POINT)
#undef DEMO_REAL_ENTRY_POINT
}

namespace demo {

bool fastForwarding() { return skipping; }

void startFastForward() {
    if (skipping) return;
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    matrixMode = GLenum(mode);
    skipping = true;
}

// Sends one stack's kept calls, in the order they were made.
static void sendMatrixOps(const MatrixStack& stack) {
    if (stack.mode == 0 || stack.ops.empty()) return;
    __real_glMatrixMode(stack.mode);
    for (const MatrixOp& op : stack.ops) {
        const std::array<GLfloat, 4>& a = op.arg;
        switch (op.call) {
            case MatrixCall::loadIdentity:
                __real_glLoadIdentity();
                break;
            case MatrixCall::push:
                __real_glPushMatrix();
                break;
            case MatrixCall::pop:
                __real_glPopMatrix();
                break;
            case MatrixCall::translate:
                __real_glTranslatef(a[0], a[1], a[2]);
                break;
            case MatrixCall::scale:
                __real_glScalef(a[0], a[1], a[2]);
                break;
            case MatrixCall::rotate:
                __real_glRotatef(a[0], a[1], a[2], a[3]);
                break;
            case MatrixCall::perspective: {
                const GluArgs& g = stack.gluArgs[std::size_t(a[0])];
                __real_gluPerspective(g[0], g[1], g[2], g[3]);
                break;
            }
            case MatrixCall::lookAt: {
                const GluArgs& g = stack.gluArgs[std::size_t(a[0])];
                __real_gluLookAt(g[0], g[1], g[2], g[3], g[4], g[5], g[6], g[7], g[8]);
                break;
            }
        }
    }
}

void endFastForward() {
    if (!skipping) return;
    skipping = false;
    for (MatrixStack& stack : stacks) {
        sendMatrixOps(stack);
        stack = MatrixStack{};
    }
    __real_glMatrixMode(matrixMode);
    for (const auto& kept : enables)
        (kept.second ? __real_glEnable : __real_glDisable)(kept.first);
    enables.clear();
    if (shadeModel.set) __real_glShadeModel(shadeModel.value);
    if (blendFunction.set) __real_glBlendFunc(blendFunction.value[0], blendFunction.value[1]);
    if (clearColour.set) {
        const auto& c = clearColour.value;
        __real_glClearColor(c[0], c[1], c[2], c[3]);
    }
    if (scissorBox.set) {
        const auto& b = scissorBox.value;
        __real_glScissor(b[0], b[1], b[2], b[3]);
    }
    if (viewportBox.set) {
        const auto& b = viewportBox.value;
        __real_glViewport(b[0], b[1], b[2], b[3]);
    }
    if (colour.set) __real_glColor3f(colour.value[0], colour.value[1], colour.value[2]);
    shadeModel = {};
    blendFunction = {};
    clearColour = {};
    scissorBox = {};
    viewportBox = {};
    colour = {};
}

}  // namespace demo

using demo::MatrixCall;
using demo::skipping;

// The show's calls: passed on, or kept while fast-forwarding.
extern "C" {

void __wrap_glEnable(GLenum cap) {
    if (!skipping) return __real_glEnable(cap);
    demo::keepEnable(cap, true);
}
void __wrap_glDisable(GLenum cap) {
    if (!skipping) return __real_glDisable(cap);
    demo::keepEnable(cap, false);
}
void __wrap_glShadeModel(GLenum mode) {
    if (!skipping) return __real_glShadeModel(mode);
    demo::shadeModel.keep(mode);
}
void __wrap_glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (!skipping) return __real_glViewport(x, y, width, height);
    demo::viewportBox.keep({x, y, width, height});
}
void __wrap_glMatrixMode(GLenum mode) {
    if (!skipping) return __real_glMatrixMode(mode);
    demo::matrixMode = mode;
}
void __wrap_glLoadIdentity() {
    if (!skipping) return __real_glLoadIdentity();
    demo::keepMatrixOp(MatrixCall::loadIdentity);
}
void __wrap_glPushMatrix() {
    if (!skipping) return __real_glPushMatrix();
    demo::keepMatrixOp(MatrixCall::push);
}
void __wrap_glPopMatrix() {
    if (!skipping) return __real_glPopMatrix();
    demo::keepMatrixOp(MatrixCall::pop);
}
void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    if (!skipping) return __real_glTranslatef(x, y, z);
    demo::keepMatrixOp(MatrixCall::translate, {x, y, z});
}
void __wrap_glScalef(GLfloat x, GLfloat y, GLfloat z) {
    if (!skipping) return __real_glScalef(x, y, z);
    demo::keepMatrixOp(MatrixCall::scale, {x, y, z});
}
void __wrap_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    if (!skipping) return __real_glRotatef(angle, x, y, z);
    demo::keepMatrixOp(MatrixCall::rotate, {angle, x, y, z});
}
void __wrap_glBegin(GLenum mode) {
    if (!skipping) __real_glBegin(mode);
}
void __wrap_glEnd() {
    if (!skipping) __real_glEnd();
}
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    if (!skipping) return __real_glColor3f(r, g, b);
    demo::colour.keep({r, g, b});
}
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!skipping) __real_glVertex3f(x, y, z);
}
void __wrap_glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (!skipping) return __real_glScissor(x, y, width, height);
    demo::scissorBox.keep({x, y, width, height});
}
void __wrap_glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    if (!skipping) return __real_glClearColor(r, g, b, a);
    demo::clearColour.keep({r, g, b, a});
}
void __wrap_glClear(GLbitfield mask) {
    if (!skipping) __real_glClear(mask);
}
void __wrap_glBlendFunc(GLenum source, GLenum destination) {
    if (!skipping) return __real_glBlendFunc(source, destination);
    demo::blendFunction.keep({source, destination});
}
void __wrap_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble near, GLdouble far) {
    if (!skipping) return __real_gluPerspective(fovy, aspect, near, far);
    demo::keepGluOp(MatrixCall::perspective, {fovy, aspect, near, far});
}
void __wrap_gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX,
                      GLdouble centreY, GLdouble centreZ, GLdouble upX, GLdouble upY,
                      GLdouble upZ) {
    if (!skipping)
        return __real_gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
    demo::keepGluOp(MatrixCall::lookAt,
                    {eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ});
}

}  // extern "C"
