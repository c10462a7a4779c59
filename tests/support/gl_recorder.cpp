// The recording stand-in for OpenGL, GLU and GLUT. See gl_recorder.h.
#define GL_GLEXT_PROTOTYPES
#include "tests/support/gl_recorder.h"

#include <GL/glut.h>
#include <GL/glext.h>

#include <cstdio>

namespace glrec {

namespace {

std::vector<Call> log;
std::size_t count = 0;
bool recording = true;
State model;
int clockMs = 0;
int gameModeWidth = 640;
bool gameModePossible = true;
bool gameModeEnters = true;
bool gameModeOn = false;
int screenWidth = 640, screenHeight = 480;
bool framebuffersComplete = true;
GLuint framebufferNames = 0, renderbufferNames = 0, textureNames = 0, shaderNames = 0,
       programNames = 0;
GLint uniformLocations = 0;
// The states glPushAttrib saved; glPopAttrib gives back their enabled flags.
std::vector<State> savedAttributes;
DisplayCallback display = nullptr;
ReshapeCallback reshape = nullptr;
DisplayCallback idle = nullptr;
KeyboardCallback keyboard = nullptr;

void record(Fn fn, std::initializer_list<double> args, const char* text = nullptr) {
    ++count;
    if (model.insideBegin && fn != Fn::Vertex3f && fn != Fn::Color3f && fn != Fn::End) {
        ++model.misuse;
    }
    if (!recording) return;
    Call c = call(fn, args);
    if (text != nullptr) c.text = text;
    log.push_back(std::move(c));
}

bool* capFlag(GLenum cap) {
    switch (cap) {
        case GL_BLEND:
            return &model.blend;
        case GL_SCISSOR_TEST:
            return &model.scissorTest;
        case GL_DEPTH_TEST:
            return &model.depthTest;
        case GL_CULL_FACE:
            return &model.cullFace;
        default:
            return nullptr;
    }
}

int& currentDepth() {
    return model.matrixMode == GL_PROJECTION ? model.projectionDepth : model.modelviewDepth;
}

// glGen*: hands out the next n names of one kind, recorded as (n, first).
void handOutNames(Fn fn, GLsizei n, GLuint* names, GLuint& lastName) {
    record(fn, {double(n), double(lastName + 1)});
    for (GLsizei i = 0; i < n; ++i)
        names[i] = ++lastName;
}

}  // namespace

bool Call::operator==(const Call& other) const {
    if (fn != other.fn || argCount != other.argCount || text != other.text) return false;
    for (int i = 0; i < argCount; ++i) {
        if (arg[i] != other.arg[i]) return false;
    }
    return true;
}

Call call(Fn fn, std::initializer_list<double> args) {
    Call c;
    c.fn = fn;
    for (double a : args)
        c.arg[c.argCount++] = a;
    return c;
}

const char* name(Fn fn) { return demo::glCallName(fn); }

std::string describe(const Call& c) {
    std::string s = name(c.fn);
    s += '(';
    if (!c.text.empty()) s += '"' + c.text + '"';
    for (int i = 0; i < c.argCount; ++i) {
        char number[40];
        std::snprintf(number, sizeof number, "%.17g", c.arg[i]);
        if (i > 0 || !c.text.empty()) s += ", ";
        s += number;
    }
    return s + ')';
}

std::string describe(const std::vector<Call>& calls) {
    std::string s;
    for (const Call& c : calls)
        s += describe(c) + '\n';
    return s;
}

const std::vector<Call>& calls() { return log; }

std::vector<Call> callsOf(Fn fn) {
    std::vector<Call> out;
    for (const Call& c : log) {
        if (c.fn == fn) out.push_back(c);
    }
    return out;
}

std::size_t callCount() { return count; }

void reset() {
    log.clear();
    count = 0;
    model = State{};
    clockMs = 0;
    gameModeWidth = 640;
    gameModePossible = true;
    gameModeEnters = true;
    gameModeOn = false;
    screenWidth = 640;
    screenHeight = 480;
    framebuffersComplete = true;
    framebufferNames = 0;
    renderbufferNames = 0;
    textureNames = shaderNames = programNames = 0;
    uniformLocations = 0;
    savedAttributes.clear();
    display = nullptr;
    reshape = nullptr;
    idle = nullptr;
    keyboard = nullptr;
}

void setRecording(bool on) { recording = on; }
const State& state() { return model; }
void setState(const State& s) { model = s; }
void setElapsedMs(int ms) { clockMs = ms; }
void setGameModeWidth(int width) { gameModeWidth = width; }
void setGameModePossible(bool possible) { gameModePossible = possible; }
void setGameModeEnters(bool enters) { gameModeEnters = enters; }
bool gameModeActive() { return gameModeOn; }
void setScreenSize(int width, int height) {
    screenWidth = width;
    screenHeight = height;
}
void setFramebuffersComplete(bool complete) { framebuffersComplete = complete; }
DisplayCallback displayCallback() { return display; }
ReshapeCallback reshapeCallback() { return reshape; }
DisplayCallback idleCallback() { return idle; }
KeyboardCallback keyboardCallback() { return keyboard; }

}  // namespace glrec

using glrec::Fn;
using glrec::record;

// ---- OpenGL ----

void glEnable(GLenum cap) {
    record(Fn::Enable, {double(cap)});
    if (bool* flag = glrec::capFlag(cap)) *flag = true;
}

void glDisable(GLenum cap) {
    record(Fn::Disable, {double(cap)});
    if (bool* flag = glrec::capFlag(cap)) *flag = false;
}

void glShadeModel(GLenum mode) { record(Fn::ShadeModel, {double(mode)}); }

void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    record(Fn::Viewport, {double(x), double(y), double(w), double(h)});
}

void glMatrixMode(GLenum mode) {
    record(Fn::MatrixMode, {double(mode)});
    glrec::model.matrixMode = static_cast<int>(mode);
}

void glLoadIdentity() { record(Fn::LoadIdentity, {}); }

void glPushMatrix() {
    record(Fn::PushMatrix, {});
    int& depth = glrec::currentDepth();
    ++depth;
    if (glrec::model.matrixMode == GL_MODELVIEW && depth > glrec::model.maxModelviewDepth) {
        glrec::model.maxModelviewDepth = depth;
    }
}

void glPopMatrix() {
    record(Fn::PopMatrix, {});
    int& depth = glrec::currentDepth();
    if (depth <= 1) {
        ++glrec::model.misuse;
    } else {
        --depth;
    }
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record(Fn::Translatef, {x, y, z}); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { record(Fn::Scalef, {x, y, z}); }

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    record(Fn::Rotatef, {angle, x, y, z});
}

void glBegin(GLenum mode) {
    record(Fn::Begin, {double(mode)});
    glrec::model.insideBegin = true;
}

void glEnd() {
    if (!glrec::model.insideBegin) ++glrec::model.misuse;
    glrec::model.insideBegin = false;
    record(Fn::End, {});
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) { record(Fn::Color3f, {r, g, b}); }

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!glrec::model.insideBegin) ++glrec::model.misuse;
    record(Fn::Vertex3f, {x, y, z});
}

void glScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    record(Fn::Scissor, {double(x), double(y), double(w), double(h)});
    glrec::model.scissorBox = {x, y, w, h};
}

void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    record(Fn::ClearColor, {r, g, b, a});
    glrec::model.clearColor = {r, g, b, a};
}

void glClear(GLbitfield mask) { record(Fn::Clear, {double(mask)}); }

void glBlendFunc(GLenum src, GLenum dst) {
    record(Fn::BlendFunc, {double(src), double(dst)});
    glrec::model.blendSrc = static_cast<int>(src);
    glrec::model.blendDst = static_cast<int>(dst);
}

// ---- GLU ----

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    record(Fn::Perspective, {fovy, aspect, zNear, zFar});
}

void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz) {
    record(Fn::LookAt, {ex, ey, ez, cx, cy, cz, ux, uy, uz});
}

// ---- GLUT ----

void glutInit(int* argc, char**) { record(Fn::Init, {double(*argc)}); }
void glutInitDisplayMode(unsigned int mode) { record(Fn::InitDisplayMode, {double(mode)}); }
void glutInitWindowSize(int w, int h) { record(Fn::InitWindowSize, {double(w), double(h)}); }

int glutCreateWindow(const char* title) {
    record(Fn::CreateWindow, {}, title);
    return 1;
}

void glutGameModeString(const char* mode) { record(Fn::GameModeString, {}, mode); }

int glutGameModeGet(GLenum query) {
    record(Fn::GameModeGet, {double(query)});
    if (query == GLUT_GAME_MODE_WIDTH) return glrec::gameModeWidth;
    if (query == GLUT_GAME_MODE_HEIGHT) return glrec::gameModeWidth == -1 ? -1 : 480;
    if (query == GLUT_GAME_MODE_ACTIVE) return glrec::gameModeOn ? 1 : 0;
    if (query == GLUT_GAME_MODE_POSSIBLE) return glrec::gameModePossible ? 1 : 0;
    return 0;
}

int glutEnterGameMode() {
    record(Fn::EnterGameMode, {});
    glrec::gameModeOn = glrec::gameModeEnters;
    return glrec::gameModeOn ? 1 : 0;
}

void glutLeaveGameMode() {
    record(Fn::LeaveGameMode, {});
    glrec::gameModeOn = false;
}

void glutDisplayFunc(void (*f)()) {
    record(Fn::DisplayFunc, {});
    glrec::display = f;
}

void glutReshapeFunc(void (*f)(int, int)) {
    record(Fn::ReshapeFunc, {});
    glrec::reshape = f;
}

void glutIdleFunc(void (*f)()) {
    record(Fn::IdleFunc, {});
    glrec::idle = f;
}

void glutKeyboardFunc(void (*f)(unsigned char, int, int)) {
    record(Fn::KeyboardFunc, {});
    glrec::keyboard = f;
}

void glutSetCursor(int cursor) { record(Fn::SetCursor, {double(cursor)}); }
void glutMainLoop() { record(Fn::MainLoop, {}); }
void glutPostRedisplay() { record(Fn::PostRedisplay, {}); }

int glutGet(GLenum what) {
    record(Fn::Get, {double(what)});
    if (what == GLUT_ELAPSED_TIME) return glrec::clockMs;
    if (what == GLUT_WINDOW_WIDTH) return 640;
    if (what == GLUT_WINDOW_HEIGHT) return 480;
    if (what == GLUT_SCREEN_WIDTH) return glrec::screenWidth;
    if (what == GLUT_SCREEN_HEIGHT) return glrec::screenHeight;
    return 0;
}

void glutSwapBuffers() { record(Fn::SwapBuffers, {}); }
void glutInitWindowPosition(int x, int y) {
    record(Fn::InitWindowPosition, {double(x), double(y)});
}
void glutFullScreen() { record(Fn::FullScreen, {}); }

// ---- OpenGL 3.0 framebuffer objects and queries ----

void glGenFramebuffers(GLsizei n, GLuint* names) {
    glrec::handOutNames(Fn::GenFramebuffers, n, names, glrec::framebufferNames);
}

void glBindFramebuffer(GLenum target, GLuint framebuffer) {
    record(Fn::BindFramebuffer, {double(target), double(framebuffer)});
}

void glGenRenderbuffers(GLsizei n, GLuint* names) {
    glrec::handOutNames(Fn::GenRenderbuffers, n, names, glrec::renderbufferNames);
}

void glBindRenderbuffer(GLenum target, GLuint renderbuffer) {
    record(Fn::BindRenderbuffer, {double(target), double(renderbuffer)});
}

void glRenderbufferStorage(GLenum target, GLenum format, GLsizei width, GLsizei height) {
    record(Fn::RenderbufferStorage,
           {double(target), double(format), double(width), double(height)});
}

void glFramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget,
                               GLuint renderbuffer) {
    record(Fn::FramebufferRenderbuffer,
           {double(target), double(attachment), double(renderbufferTarget), double(renderbuffer)});
}

GLenum glCheckFramebufferStatus(GLenum target) {
    record(Fn::CheckFramebufferStatus, {double(target)});
    return glrec::framebuffersComplete ? GL_FRAMEBUFFER_COMPLETE : GL_FRAMEBUFFER_UNSUPPORTED;
}

void glDeleteFramebuffers(GLsizei n, const GLuint* names) {
    record(Fn::DeleteFramebuffers, {double(n), double(names[0])});
}

void glDeleteRenderbuffers(GLsizei n, const GLuint* names) {
    record(Fn::DeleteRenderbuffers, {double(n), double(names[0])});
}

void glBlitFramebuffer(GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0,
                       GLint dstX1, GLint dstY1, GLbitfield, GLenum filter) {
    // A call has nine slots: the mask (always the colour buffer) is left out.
    record(Fn::BlitFramebuffer,
           {double(srcX0), double(srcY0), double(srcX1), double(srcY1), double(dstX0),
            double(dstY0), double(dstX1), double(dstY1), double(filter)});
}

void glClearBufferfv(GLenum buffer, GLint drawBuffer, const GLfloat* value) {
    // The buffer and draw buffer, then the four values.
    record(Fn::ClearBufferfv,
           {double(buffer), double(drawBuffer), value[0], value[1], value[2], value[3]});
}

GLboolean glIsEnabled(GLenum cap) {
    record(Fn::IsEnabled, {double(cap)});
    const bool* flag = glrec::capFlag(cap);
    return flag != nullptr && *flag ? GL_TRUE : GL_FALSE;
}

void glGetIntegerv(GLenum name, GLint* values) {
    record(Fn::GetIntegerv, {double(name)});
    if (name == GL_SCISSOR_BOX) {
        for (int i = 0; i < 4; ++i)
            values[i] = glrec::model.scissorBox[i];
    } else {
        values[0] = 0;
    }
}

// ---- textures, and the scaling pass's shader program, which always compiles ----

void glGenTextures(GLsizei n, GLuint* names) {
    glrec::handOutNames(Fn::GenTextures, n, names, glrec::textureNames);
}

void glBindTexture(GLenum target, GLuint texture) {
    record(Fn::BindTexture, {double(target), double(texture)});
}

void glTexImage2D(GLenum target, GLint, GLint internalFormat, GLsizei width, GLsizei height, GLint,
                  GLenum, GLenum, const void*) {
    record(Fn::TexImage2D, {double(target), double(internalFormat), double(width), double(height)});
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    record(Fn::TexParameteri, {double(target), double(name), double(value)});
}

void glFramebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture,
                            GLint) {
    record(Fn::FramebufferTexture2D,
           {double(target), double(attachment), double(textureTarget), double(texture)});
}

void glDeleteTextures(GLsizei n, const GLuint* names) {
    record(Fn::DeleteTextures, {double(n), double(names[0])});
}

GLuint glCreateShader(GLenum kind) {
    record(Fn::CreateShader, {double(kind)});
    return ++glrec::shaderNames;
}

void glShaderSource(GLuint shader, GLsizei, const GLchar* const*, const GLint*) {
    record(Fn::ShaderSource, {double(shader)});
}

void glCompileShader(GLuint shader) { record(Fn::CompileShader, {double(shader)}); }

void glGetShaderiv(GLuint shader, GLenum name, GLint* value) {
    record(Fn::GetShaderiv, {double(shader), double(name)});
    *value = GL_TRUE;
}

void glDeleteShader(GLuint shader) { record(Fn::DeleteShader, {double(shader)}); }

GLuint glCreateProgram() {
    record(Fn::CreateProgram, {});
    return ++glrec::programNames;
}

void glAttachShader(GLuint program, GLuint shader) {
    record(Fn::AttachShader, {double(program), double(shader)});
}

void glLinkProgram(GLuint program) { record(Fn::LinkProgram, {double(program)}); }

void glGetProgramiv(GLuint program, GLenum name, GLint* value) {
    record(Fn::GetProgramiv, {double(program), double(name)});
    *value = GL_TRUE;
}

GLint glGetUniformLocation(GLuint program, const GLchar* name) {
    record(Fn::GetUniformLocation, {double(program)}, name);
    return glrec::uniformLocations++;
}

void glUseProgram(GLuint program) { record(Fn::UseProgram, {double(program)}); }
void glUniform1f(GLint location, GLfloat value) {
    record(Fn::Uniform1f, {double(location), value});
}
void glUniform1i(GLint location, GLint value) {
    record(Fn::Uniform1i, {double(location), double(value)});
}
void glActiveTexture(GLenum unit) { record(Fn::ActiveTexture, {double(unit)}); }
void glUniform2f(GLint location, GLfloat a, GLfloat b) {
    record(Fn::Uniform2f, {double(location), a, b});
}
void glDeleteProgram(GLuint program) { record(Fn::DeleteProgram, {double(program)}); }

void glPushAttrib(GLbitfield mask) {
    record(Fn::PushAttrib, {double(mask)});
    glrec::savedAttributes.push_back(glrec::model);
}

void glPopAttrib() {
    record(Fn::PopAttrib, {});
    if (glrec::savedAttributes.empty()) {
        ++glrec::model.misuse;
        return;
    }
    const glrec::State& saved = glrec::savedAttributes.back();
    glrec::model.blend = saved.blend;
    glrec::model.scissorTest = saved.scissorTest;
    glrec::model.depthTest = saved.depthTest;
    glrec::model.cullFace = saved.cullFace;
    glrec::savedAttributes.pop_back();
}
