// The recording stand-in for OpenGL, GLU and GLUT. See gl_recorder.h.
#define GL_GLEXT_PROTOTYPES
#include "tests/support/gl_recorder.h"

#include <GL/glut.h>
#include <GL/glext.h>

#include <cstdarg>

#include <cstdio>
#include <type_traits>

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

void record(Call c) {
    ++count;
    if (model.insideBegin && c.fn != Fn::Vertex3f && c.fn != Fn::Color3f && c.fn != Fn::End) {
        ++model.misuse;
    }
    if (recording) log.push_back(std::move(c));
}

void record(Fn fn, std::initializer_list<double> args, const char* text = nullptr) {
    Call c = call(fn, args);
    if (text != nullptr) c.text = text;
    record(std::move(c));
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

// A plain call (show/gl_calls.h) as recorded: its numbers, but for two that
// the tests read without one: glBlitFramebuffer's mask (a call has nine
// slots, and the mask is always the colour buffer) and
// glFramebufferTexture2D's level (always 0).
Call plainCall(Fn fn, std::initializer_list<double> numbers) {
    const int leftOut = fn == Fn::BlitFramebuffer ? 8 : fn == Fn::FramebufferTexture2D ? 4 : -1;
    Call c;
    c.fn = fn;
    int i = 0;
    for (double number : numbers) {
        if (i++ != leftOut) c.arg.at(std::size_t(c.argCount++)) = number;
    }
    return c;
}

// What a plain call does to the state model and the fake GLUT, once
// recorded. Every other plain call only records.
void applyPlain(const Call& c) {
    const std::array<double, 9>& a = c.arg;
    switch (c.fn) {
        case Fn::Enable:
        case Fn::Disable:
            if (bool* flag = capFlag(GLenum(a[0]))) *flag = c.fn == Fn::Enable;
            break;
        case Fn::MatrixMode:
            model.matrixMode = int(a[0]);
            break;
        case Fn::PushMatrix: {
            int& depth = currentDepth();
            ++depth;
            if (model.matrixMode == GL_MODELVIEW && depth > model.maxModelviewDepth) {
                model.maxModelviewDepth = depth;
            }
            break;
        }
        case Fn::PopMatrix: {
            int& depth = currentDepth();
            if (depth <= 1) {
                ++model.misuse;
            } else {
                --depth;
            }
            break;
        }
        case Fn::Begin:
            model.insideBegin = true;
            break;
        case Fn::End:
            if (!model.insideBegin) ++model.misuse;
            model.insideBegin = false;
            break;
        case Fn::Vertex3f:
            if (!model.insideBegin) ++model.misuse;
            break;
        case Fn::Scissor:
            model.scissorBox = {int(a[0]), int(a[1]), int(a[2]), int(a[3])};
            break;
        case Fn::ClearColor:
            // NOTE: exact: each double was converted from these floats.
            model.clearColor = {float(a[0]), float(a[1]), float(a[2]), float(a[3])};
            break;
        case Fn::BlendFunc:
            model.blendSrc = int(a[0]);
            model.blendDst = int(a[1]);
            break;
        case Fn::PushAttrib:
            savedAttributes.push_back(model);
            break;
        case Fn::PopAttrib:
            if (savedAttributes.empty()) {
                ++model.misuse;
                break;
            }
            model.blend = savedAttributes.back().blend;
            model.scissorTest = savedAttributes.back().scissorTest;
            model.depthTest = savedAttributes.back().depthTest;
            model.cullFace = savedAttributes.back().cullFace;
            savedAttributes.pop_back();
            break;
        case Fn::LeaveGameMode:
            gameModeOn = false;
            break;
        default:
            break;
    }
}

// Every plain call: recorded, then applied.
template <Fn fn, typename... Numbers>
void recordPlain(Numbers... numbers) {
    static_assert((std::is_arithmetic<Numbers>::value && ...), "a plain call takes numbers");
    const Call c = plainCall(fn, {double(numbers)...});
    record(c);
    applyPlain(c);
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

// Each call of the list has the signature the GL headers declare: a wrong
// one would make the capture's __real_ declarations call GL wrongly.
#define GLREC_SAME_SIGNATURE(enumerator, shape, returns, entryPoint, parameters, arguments) \
    static_assert(std::is_same<decltype(&entryPoint), returns(*) parameters>::value,        \
                  "show/gl_calls.h: " #entryPoint " differs from the GL headers");
DEMO_GL_CALLS(GLREC_SAME_SIGNATURE)

// ---- the plain calls, generated: recorded with their numbers (glrec::recordPlain) ----

#define GLREC_RECORD_PLAIN(enumerator, returns, entryPoint, parameters, arguments) \
    returns entryPoint parameters { glrec::recordPlain<Fn::enumerator> arguments; }
#define GLREC_DEFINE_plain GLREC_RECORD_PLAIN
#define GLREC_DEFINE_pointer(...)
#define GLREC_DEFINE_answer(...)
#define GLREC_DEFINE(enumerator, shape, ...) GLREC_DEFINE_##shape(enumerator, __VA_ARGS__)
DEMO_GL_CALLS(GLREC_DEFINE)

// ---- GLUT: the calls that pass a string or a callback, or answer ----

void glutInit(int* argc, char**) { record(Fn::Init, {double(*argc)}); }

// NOTE: freeglut's own, outside the list: the desktop shell hands GLUT its
// fatal-error handler, which GLUT's other headers (Emscripten's) lack. Not
// recorded: it draws nothing.
extern "C" void glutInitErrorFunc(void (*)(const char*, va_list)) {}

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

int glutGet(GLenum what) {
    record(Fn::Get, {double(what)});
    if (what == GLUT_ELAPSED_TIME) return glrec::clockMs;
    if (what == GLUT_WINDOW_WIDTH) return 640;
    if (what == GLUT_WINDOW_HEIGHT) return 480;
    if (what == GLUT_SCREEN_WIDTH) return glrec::screenWidth;
    if (what == GLUT_SCREEN_HEIGHT) return glrec::screenHeight;
    return 0;
}

// ---- framebuffer objects, textures and the scaling pass's shader program, which always
// compiles: the calls that pass or answer names and values ----

void glGenFramebuffers(GLsizei n, GLuint* names) {
    glrec::handOutNames(Fn::GenFramebuffers, n, names, glrec::framebufferNames);
}

void glGenRenderbuffers(GLsizei n, GLuint* names) {
    glrec::handOutNames(Fn::GenRenderbuffers, n, names, glrec::renderbufferNames);
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
    } else if (name == GL_MATRIX_MODE) {
        values[0] = glrec::model.matrixMode;
    } else {
        values[0] = 0;
    }
}

void glGenTextures(GLsizei n, GLuint* names) {
    glrec::handOutNames(Fn::GenTextures, n, names, glrec::textureNames);
}

void glTexImage2D(GLenum target, GLint, GLint internalFormat, GLsizei width, GLsizei height, GLint,
                  GLenum, GLenum, const void*) {
    record(Fn::TexImage2D, {double(target), double(internalFormat), double(width), double(height)});
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

void glGetShaderiv(GLuint shader, GLenum name, GLint* value) {
    record(Fn::GetShaderiv, {double(shader), double(name)});
    *value = GL_TRUE;
}

GLuint glCreateProgram() {
    record(Fn::CreateProgram, {});
    return ++glrec::programNames;
}

void glGetProgramiv(GLuint program, GLenum name, GLint* value) {
    record(Fn::GetProgramiv, {double(program), double(name)});
    *value = GL_TRUE;
}

GLint glGetUniformLocation(GLuint program, const GLchar* name) {
    record(Fn::GetUniformLocation, {double(program)}, name);
    return glrec::uniformLocations++;
}
