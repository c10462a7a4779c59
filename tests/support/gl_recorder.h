// A stand-in for OpenGL, GLU and GLUT that records every call the show makes.
//
// Linked in place of the real libraries, it defines each entry point the show
// calls (show/gl_calls.h; the list's plain calls are made from it) and
// appends one Call, with its exact arguments, to a log. Float
// arguments are stored as the doubles they convert to exactly, so tests can
// compare them with ==. It also keeps a small model of the GL state the show
// relies on (enabled capabilities, blend function, scissor box, clear colour,
// matrix mode, stack depth) so tests can check what a frame hands over.
//
// Fake GLUT: glutGet(GLUT_ELAPSED_TIME) returns a clock the test sets; the game
// mode queries and the screen size answer what the test sets; glutMainLoop
// returns at once; the registered callbacks are kept so a test can invoke them.
//
// Framebuffer objects: glGen* hand out the names 1, 2, 3, ... in order of
// calls (each kind counts on its own), recorded as (n, first name given);
// glCheckFramebufferStatus answers complete unless the test says otherwise;
// glIsEnabled and glGetIntegerv(GL_SCISSOR_BOX, GL_MATRIX_MODE) answer from the
// state model;
// glClearBufferfv records its buffer, draw buffer and the four values.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "show/gl_calls.h"

namespace glrec {

// The kinds of call, one per entry point (show/gl_calls.h).
using Fn = demo::GlCall;

struct Call {
    Fn fn;
    int argCount = 0;
    std::array<double, 9> arg{};
    std::string text;  // the string argument of glutGameModeString and glutCreateWindow

    bool operator==(const Call& other) const;
    bool operator!=(const Call& other) const { return !(*this == other); }
};

// Builds an expected call: glrec::call(glrec::Fn::Scissor, {0, 456, 640, 24}).
Call call(Fn fn, std::initializer_list<double> args = {});

// "glScissor(0, 456, 640, 24)", with floats printed exactly.
std::string describe(const Call& c);
std::string describe(const std::vector<Call>& calls);
const char* name(Fn fn);

// The log since the last reset.
const std::vector<Call>& calls();
// The calls of one kind, in order.
std::vector<Call> callsOf(Fn fn);
// Number of calls made since the last reset, recorded or not.
std::size_t callCount();

// Clears the log, the count and the state model; the fake clock goes to 0,
// the game mode answers width 640 and becomes active on entering.
void reset();
// With recording off, calls are only counted (for long runs and benchmarks).
void setRecording(bool on);

// The state model.
struct State {
    bool blend = false, scissorTest = false, depthTest = false, cullFace = false;
    int blendSrc = 1, blendDst = 0;  // GL_ONE, GL_ZERO
    std::array<int, 4> scissorBox{};
    std::array<float, 4> clearColor{};
    int matrixMode = 0x1700;  // GL_MODELVIEW
    int modelviewDepth = 1, projectionDepth = 1;
    bool insideBegin = false;
    int maxModelviewDepth = 1;
    int misuse = 0;  // stack underflow, calls inside glBegin/glEnd that do not belong there
};
const State& state();
// Sets the state model as a previous frame might have left it.
void setState(const State& s);

// Fake GLUT.
void setElapsedMs(int ms);
void setGameModeWidth(int width);         // answer to glutGameModeGet(GLUT_GAME_MODE_WIDTH)
void setGameModePossible(bool possible);  // answer to GLUT_GAME_MODE_POSSIBLE
void setGameModeEnters(bool enters);      // whether glutEnterGameMode makes game mode active
bool gameModeActive();
void setScreenSize(int width, int height);    // glutGet(GLUT_SCREEN_WIDTH / _HEIGHT); 640x480
void setFramebuffersComplete(bool complete);  // glCheckFramebufferStatus's answer

using DisplayCallback = void (*)();
using ReshapeCallback = void (*)(int, int);
using KeyboardCallback = void (*)(unsigned char, int, int);
DisplayCallback displayCallback();
ReshapeCallback reshapeCallback();
DisplayCallback idleCallback();
KeyboardCallback keyboardCallback();

}  // namespace glrec
