// Fast-forward: the show's GL calls kept instead of drawn. See
// fast_forward.h.
#include "capture/fast_forward.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "show/gl_calls.h"

// The real entry points, and the ones the program's calls reach.
extern "C" {
#define DEMO_REAL_ENTRY_POINT(enumerator, shape, returns, entryPoint, parameters, arguments) \
    returns __real_##entryPoint parameters;
DEMO_SCENE_GL_CALLS(DEMO_REAL_ENTRY_POINT)
#undef DEMO_REAL_ENTRY_POINT
}

namespace demo {

namespace {

// The log the show's calls are kept in while fast-forwarding; none
// otherwise. NOTE: file-scope because the linker's wrappers below are called
// by the show's code as plain GL calls, with nothing to carry the run.
FastForwardLog* keeping = nullptr;

MatrixLog& currentStack(FastForwardLog& log) {
    for (MatrixLog& stack : log.stacks) {
        if (stack.mode == log.matrixMode) return stack;
        if (stack.mode == 0) {
            stack.mode = log.matrixMode;
            return stack;
        }
    }
    return log.stacks.back();  // NOTE: no fourth mode exists in GL 1.x
}

void keepMatrixCall(MatrixCall call, std::array<GLdouble, 9> arg = {}) {
    MatrixLog& stack = currentStack(*keeping);
    switch (call) {
        case MatrixCall::push:
            stack.pushes.push_back(stack.calls.size());
            break;
        case MatrixCall::pop:
            if (!stack.pushes.empty()) {
                stack.calls.resize(stack.pushes.back());
                stack.pushes.pop_back();
                return;
            }
            stack.calls.push_back({call, arg});
            stack.floor = stack.calls.size();
            return;
        case MatrixCall::loadIdentity:
            if (stack.pushes.empty()) stack.calls.resize(stack.floor);
            break;
        default:
            break;
    }
    stack.calls.push_back({call, arg});
}

void keepEnable(GLenum cap, bool on) {
    for (auto& kept : keeping->enables) {
        if (kept.first == cap) {
            kept.second = on;
            return;
        }
    }
    keeping->enables.push_back({cap, on});
}

// Sends one stack's kept calls, in the order they were made.
void sendMatrixCalls(const MatrixLog& stack) {
    if (stack.mode == 0 || stack.calls.empty()) return;
    __real_glMatrixMode(stack.mode);
    for (const KeptMatrixCall& kept : stack.calls) {
        const std::array<GLdouble, 9>& a = kept.arg;
        switch (kept.call) {
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
                __real_glTranslatef(GLfloat(a[0]), GLfloat(a[1]), GLfloat(a[2]));
                break;
            case MatrixCall::scale:
                __real_glScalef(GLfloat(a[0]), GLfloat(a[1]), GLfloat(a[2]));
                break;
            case MatrixCall::rotate:
                __real_glRotatef(GLfloat(a[0]), GLfloat(a[1]), GLfloat(a[2]), GLfloat(a[3]));
                break;
            case MatrixCall::perspective:
                __real_gluPerspective(a[0], a[1], a[2], a[3]);
                break;
            case MatrixCall::lookAt:
                __real_gluLookAt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
                break;
        }
    }
}

}  // namespace

void startFastForward(FastForwardLog& log) {
    if (keeping != nullptr) return;
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    log = FastForwardLog{};
    log.matrixMode = GLenum(mode);
    keeping = &log;
}

void endFastForward(FastForwardLog& log) {
    if (keeping != &log) return;
    keeping = nullptr;
    for (const MatrixLog& stack : log.stacks)
        sendMatrixCalls(stack);
    __real_glMatrixMode(log.matrixMode);
    for (const auto& kept : log.enables)
        (kept.second ? __real_glEnable : __real_glDisable)(kept.first);
    if (log.shadeModel.set) __real_glShadeModel(log.shadeModel.value);
    if (log.blendFunction.set)
        __real_glBlendFunc(log.blendFunction.value[0], log.blendFunction.value[1]);
    if (log.clearColour.set) {
        const auto& c = log.clearColour.value;
        __real_glClearColor(c[0], c[1], c[2], c[3]);
    }
    if (log.scissorBox.set) {
        const auto& b = log.scissorBox.value;
        __real_glScissor(b[0], b[1], b[2], b[3]);
    }
    if (log.viewportBox.set) {
        const auto& b = log.viewportBox.value;
        __real_glViewport(b[0], b[1], b[2], b[3]);
    }
    if (log.colour.set)
        __real_glColor3f(log.colour.value[0], log.colour.value[1], log.colour.value[2]);
    log = FastForwardLog{};
}

}  // namespace demo

using demo::keeping;
using demo::MatrixCall;

// The show's calls: passed on, or kept while fast-forwarding.
extern "C" {

void __wrap_glEnable(GLenum cap) {
    if (!keeping) return __real_glEnable(cap);
    demo::keepEnable(cap, true);
}
void __wrap_glDisable(GLenum cap) {
    if (!keeping) return __real_glDisable(cap);
    demo::keepEnable(cap, false);
}
void __wrap_glShadeModel(GLenum mode) {
    if (!keeping) return __real_glShadeModel(mode);
    keeping->shadeModel.keep(mode);
}
void __wrap_glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (!keeping) return __real_glViewport(x, y, width, height);
    keeping->viewportBox.keep({x, y, width, height});
}
void __wrap_glMatrixMode(GLenum mode) {
    if (!keeping) return __real_glMatrixMode(mode);
    keeping->matrixMode = mode;
}
void __wrap_glLoadIdentity() {
    if (!keeping) return __real_glLoadIdentity();
    demo::keepMatrixCall(MatrixCall::loadIdentity);
}
void __wrap_glPushMatrix() {
    if (!keeping) return __real_glPushMatrix();
    demo::keepMatrixCall(MatrixCall::push);
}
void __wrap_glPopMatrix() {
    if (!keeping) return __real_glPopMatrix();
    demo::keepMatrixCall(MatrixCall::pop);
}
void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    if (!keeping) return __real_glTranslatef(x, y, z);
    demo::keepMatrixCall(MatrixCall::translate, {x, y, z});
}
void __wrap_glScalef(GLfloat x, GLfloat y, GLfloat z) {
    if (!keeping) return __real_glScalef(x, y, z);
    demo::keepMatrixCall(MatrixCall::scale, {x, y, z});
}
void __wrap_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    if (!keeping) return __real_glRotatef(angle, x, y, z);
    demo::keepMatrixCall(MatrixCall::rotate, {angle, x, y, z});
}
void __wrap_glBegin(GLenum mode) {
    if (!keeping) __real_glBegin(mode);
}
void __wrap_glEnd() {
    if (!keeping) __real_glEnd();
}
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    if (!keeping) return __real_glColor3f(r, g, b);
    keeping->colour.keep({r, g, b});
}
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!keeping) __real_glVertex3f(x, y, z);
}
void __wrap_glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (!keeping) return __real_glScissor(x, y, width, height);
    keeping->scissorBox.keep({x, y, width, height});
}
void __wrap_glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    if (!keeping) return __real_glClearColor(r, g, b, a);
    keeping->clearColour.keep({r, g, b, a});
}
void __wrap_glClear(GLbitfield mask) {
    if (!keeping) __real_glClear(mask);
}
void __wrap_glBlendFunc(GLenum source, GLenum destination) {
    if (!keeping) return __real_glBlendFunc(source, destination);
    keeping->blendFunction.keep({source, destination});
}
void __wrap_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble near, GLdouble far) {
    if (!keeping) return __real_gluPerspective(fovy, aspect, near, far);
    demo::keepMatrixCall(MatrixCall::perspective, {fovy, aspect, near, far});
}
void __wrap_gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX,
                      GLdouble centreY, GLdouble centreZ, GLdouble upX, GLdouble upY,
                      GLdouble upZ) {
    if (!keeping)
        return __real_gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
    demo::keepMatrixCall(MatrixCall::lookAt,
                         {eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ});
}

}  // extern "C"
