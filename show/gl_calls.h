// The OpenGL, GLU and GLUT entry points the show calls, as one list with
// each call's signature: those of the scenes first, then the shells' (the
// desktop's start-up, the full-screen window, the offscreen picture target
// and its scaling pass with its shader program).
//
// Everything that stands in for the real libraries is made from this list:
// the GlCall kinds and their names below, the tests' call recorder
// (tests/support/gl_recorder.cpp), the benchmark's do-nothing sink
// (bench/null_gl.cpp), the capture's wrapped scene calls (capture/
// fast_forward.cpp and the --wrap options in capture/CMakeLists.txt). A call
// the show starts making belongs here first; docs/architecture.md gives the
// recipe.
#pragma once

namespace demo {

// X(enumerator, shape, return type, entry point, (parameters), (arguments)),
// in the order GlCall numbers them. The signature columns name GL's types:
// expand them only where <GL/gl.h>, <GL/glu.h>, <GL/glut.h> and
// <GL/glext.h> are included. The recorder checks each signature against
// those headers when it compiles.
//
// The shape says what a stand-in has to do beyond counting the call:
//   plain    returns nothing and takes numbers only: a stand-in counts or
//            records it without knowing more (generated);
//   pointer  returns nothing and reads through a pointer it is given (a
//            string, a callback, names to delete): a stand-in that records
//            it decides what of it to keep;
//   answer   returns a value or writes through a pointer: the caller reads
//            something back, and every stand-in decides what it answers.
//
// First the scenes' calls (the show core's, through the geometry and the
// font): all plain; the capture's fast-forward (capture/fast_forward.h)
// takes exactly these.
// clang-format off
#define DEMO_SCENE_GL_CALLS(X)                                                                     \
    X(Enable, plain, void, glEnable, (GLenum cap), (cap))                                          \
    X(Disable, plain, void, glDisable, (GLenum cap), (cap))                                        \
    X(ShadeModel, plain, void, glShadeModel, (GLenum mode), (mode))                                \
    X(Viewport, plain, void, glViewport,                                                           \
      (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))                    \
    X(MatrixMode, plain, void, glMatrixMode, (GLenum mode), (mode))                                \
    X(LoadIdentity, plain, void, glLoadIdentity, (), ())                                           \
    X(PushMatrix, plain, void, glPushMatrix, (), ())                                               \
    X(PopMatrix, plain, void, glPopMatrix, (), ())                                                 \
    X(Translatef, plain, void, glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))         \
    X(Scalef, plain, void, glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                 \
    X(Rotatef, plain, void, glRotatef,                                                             \
      (GLfloat angle, GLfloat x, GLfloat y, GLfloat z), (angle, x, y, z))                          \
    X(Begin, plain, void, glBegin, (GLenum mode), (mode))                                          \
    X(End, plain, void, glEnd, (), ())                                                             \
    X(Color3f, plain, void, glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b))               \
    X(Vertex3f, plain, void, glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))             \
    X(Scissor, plain, void, glScissor,                                                             \
      (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))                    \
    X(ClearColor, plain, void, glClearColor,                                                       \
      (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))                                  \
    X(Clear, plain, void, glClear, (GLbitfield mask), (mask))                                      \
    X(BlendFunc, plain, void, glBlendFunc,                                                         \
      (GLenum source, GLenum destination), (source, destination))                                  \
    X(Perspective, plain, void, gluPerspective,                                                    \
      (GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar),                             \
      (fovy, aspect, zNear, zFar))                                                                 \
    X(LookAt, plain, void, gluLookAt,                                                              \
      (GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,            \
       GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ),                                \
      (eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ))

// Then the shells' calls.
#define DEMO_SHELL_GL_CALLS(X)                                                                     \
    X(Init, pointer, void, glutInit, (int* argc, char** argv), (argc, argv))                       \
    X(InitDisplayMode, plain, void, glutInitDisplayMode, (unsigned int mode), (mode))              \
    X(InitWindowSize, plain, void, glutInitWindowSize, (int width, int height), (width, height))   \
    X(CreateWindow, answer, int, glutCreateWindow, (const char* title), (title))                   \
    X(GameModeString, pointer, void, glutGameModeString, (const char* mode), (mode))               \
    X(GameModeGet, answer, int, glutGameModeGet, (GLenum query), (query))                          \
    X(EnterGameMode, answer, int, glutEnterGameMode, (), ())                                       \
    X(LeaveGameMode, plain, void, glutLeaveGameMode, (), ())                                       \
    X(DisplayFunc, pointer, void, glutDisplayFunc, (void (*callback)()), (callback))               \
    X(ReshapeFunc, pointer, void, glutReshapeFunc, (void (*callback)(int, int)), (callback))       \
    X(IdleFunc, pointer, void, glutIdleFunc, (void (*callback)()), (callback))                     \
    X(KeyboardFunc, pointer, void, glutKeyboardFunc,                                               \
      (void (*callback)(unsigned char, int, int)), (callback))                                     \
    X(SetCursor, plain, void, glutSetCursor, (int cursor), (cursor))                               \
    X(MainLoop, plain, void, glutMainLoop, (), ())                                                 \
    X(PostRedisplay, plain, void, glutPostRedisplay, (), ())                                       \
    X(Get, answer, int, glutGet, (GLenum what), (what))                                            \
    X(SwapBuffers, plain, void, glutSwapBuffers, (), ())                                           \
    X(InitWindowPosition, plain, void, glutInitWindowPosition, (int x, int y), (x, y))             \
    X(FullScreen, plain, void, glutFullScreen, (), ())                                             \
    X(GenFramebuffers, answer, void, glGenFramebuffers, (GLsizei n, GLuint* names), (n, names))    \
    X(BindFramebuffer, plain, void, glBindFramebuffer,                                             \
      (GLenum target, GLuint framebuffer), (target, framebuffer))                                  \
    X(GenRenderbuffers, answer, void, glGenRenderbuffers, (GLsizei n, GLuint* names), (n, names))  \
    X(BindRenderbuffer, plain, void, glBindRenderbuffer,                                           \
      (GLenum target, GLuint renderbuffer), (target, renderbuffer))                                \
    X(RenderbufferStorage, plain, void, glRenderbufferStorage,                                     \
      (GLenum target, GLenum format, GLsizei width, GLsizei height),                               \
      (target, format, width, height))                                                             \
    X(FramebufferRenderbuffer, plain, void, glFramebufferRenderbuffer,                             \
      (GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer),          \
      (target, attachment, renderbufferTarget, renderbuffer))                                      \
    X(CheckFramebufferStatus, answer, GLenum, glCheckFramebufferStatus, (GLenum target), (target)) \
    X(DeleteFramebuffers, pointer, void, glDeleteFramebuffers,                                     \
      (GLsizei n, const GLuint* names), (n, names))                                                \
    X(DeleteRenderbuffers, pointer, void, glDeleteRenderbuffers,                                   \
      (GLsizei n, const GLuint* names), (n, names))                                                \
    X(BlitFramebuffer, plain, void, glBlitFramebuffer,                                             \
      (GLint srcX0, GLint srcY0, GLint srcX1, GLint srcY1, GLint dstX0, GLint dstY0,               \
       GLint dstX1, GLint dstY1, GLbitfield mask, GLenum filter),                                  \
      (srcX0, srcY0, srcX1, srcY1, dstX0, dstY0, dstX1, dstY1, mask, filter))                      \
    X(ClearBufferfv, pointer, void, glClearBufferfv,                                               \
      (GLenum buffer, GLint drawBuffer, const GLfloat* value), (buffer, drawBuffer, value))        \
    X(IsEnabled, answer, GLboolean, glIsEnabled, (GLenum cap), (cap))                              \
    X(GetIntegerv, answer, void, glGetIntegerv, (GLenum name, GLint* values), (name, values))      \
    X(GenTextures, answer, void, glGenTextures, (GLsizei n, GLuint* names), (n, names))            \
    X(BindTexture, plain, void, glBindTexture, (GLenum target, GLuint texture), (target, texture)) \
    X(TexImage2D, pointer, void, glTexImage2D,                                                     \
      (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,            \
       GLint border, GLenum format, GLenum type, const void* pixels),                              \
      (target, level, internalFormat, width, height, border, format, type, pixels))                \
    X(TexParameteri, plain, void, glTexParameteri,                                                 \
      (GLenum target, GLenum name, GLint value), (target, name, value))                            \
    X(FramebufferTexture2D, plain, void, glFramebufferTexture2D,                                   \
      (GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture, GLint level),       \
      (target, attachment, textureTarget, texture, level))                                         \
    X(DeleteTextures, pointer, void, glDeleteTextures,                                             \
      (GLsizei n, const GLuint* names), (n, names))                                                \
    X(CreateShader, answer, GLuint, glCreateShader, (GLenum kind), (kind))                         \
    X(ShaderSource, pointer, void, glShaderSource,                                                 \
      (GLuint shader, GLsizei count, const GLchar* const* text, const GLint* lengths),             \
      (shader, count, text, lengths))                                                              \
    X(CompileShader, plain, void, glCompileShader, (GLuint shader), (shader))                      \
    X(GetShaderiv, answer, void, glGetShaderiv,                                                    \
      (GLuint shader, GLenum name, GLint* value), (shader, name, value))                           \
    X(DeleteShader, plain, void, glDeleteShader, (GLuint shader), (shader))                        \
    X(CreateProgram, answer, GLuint, glCreateProgram, (), ())                                      \
    X(AttachShader, plain, void, glAttachShader,                                                   \
      (GLuint program, GLuint shader), (program, shader))                                          \
    X(LinkProgram, plain, void, glLinkProgram, (GLuint program), (program))                        \
    X(GetProgramiv, answer, void, glGetProgramiv,                                                  \
      (GLuint program, GLenum name, GLint* value), (program, name, value))                         \
    X(GetUniformLocation, answer, GLint, glGetUniformLocation,                                     \
      (GLuint program, const GLchar* name), (program, name))                                       \
    X(UseProgram, plain, void, glUseProgram, (GLuint program), (program))                          \
    X(Uniform1f, plain, void, glUniform1f, (GLint location, GLfloat value), (location, value))     \
    X(Uniform2f, plain, void, glUniform2f,                                                         \
      (GLint location, GLfloat a, GLfloat b), (location, a, b))                                    \
    X(Uniform1i, plain, void, glUniform1i, (GLint location, GLint value), (location, value))       \
    X(ActiveTexture, plain, void, glActiveTexture, (GLenum texture), (texture))                    \
    X(DeleteProgram, plain, void, glDeleteProgram, (GLuint program), (program))                    \
    X(PushAttrib, plain, void, glPushAttrib, (GLbitfield mask), (mask))                            \
    X(PopAttrib, plain, void, glPopAttrib, (), ())
// clang-format on

#define DEMO_GL_CALLS(X) DEMO_SCENE_GL_CALLS(X) DEMO_SHELL_GL_CALLS(X)

enum class GlCall {
#define DEMO_GL_CALL_ENUMERATOR(enumerator, ...) enumerator,
    DEMO_GL_CALLS(DEMO_GL_CALL_ENUMERATOR)
#undef DEMO_GL_CALL_ENUMERATOR
};

constexpr int glCallKinds = 0
#define DEMO_GL_CALL_COUNT(...) +1
    DEMO_GL_CALLS(DEMO_GL_CALL_COUNT)
#undef DEMO_GL_CALL_COUNT
    ;

// The entry point's name: "glEnable", "gluLookAt", "glutSwapBuffers".
inline const char* glCallName(GlCall call) {
    static const char* const names[] = {
#define DEMO_GL_CALL_NAME(enumerator, shape, returns, entryPoint, ...) #entryPoint,
        DEMO_GL_CALLS(DEMO_GL_CALL_NAME)
#undef DEMO_GL_CALL_NAME
    };
    return names[static_cast<int>(call)];
}

}  // namespace demo
