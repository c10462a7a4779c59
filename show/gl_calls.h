// The OpenGL, GLU and GLUT entry points the show calls, as one list: those
// of the scenes first, then the desktop shell's (start-up, the full-screen
// window, the offscreen picture target and its scaling pass with its shader
// program).
//
// The stand-ins that take the real libraries' place (the tests' call
// recorder, the benchmark's do-nothing sink) define exactly these and name
// them through GlCall; a call the show starts making belongs here first.
#pragma once

namespace demo {

// X(enumerator, entry point), in the order GlCall numbers them. First the
// scenes' calls (the show core's, through the geometry and the font): the
// capture's fast-forward (capture/fast_forward.h) takes exactly these.
#define DEMO_SCENE_GL_CALLS(X)      \
    X(Enable, glEnable)             \
    X(Disable, glDisable)           \
    X(ShadeModel, glShadeModel)     \
    X(Viewport, glViewport)         \
    X(MatrixMode, glMatrixMode)     \
    X(LoadIdentity, glLoadIdentity) \
    X(PushMatrix, glPushMatrix)     \
    X(PopMatrix, glPopMatrix)       \
    X(Translatef, glTranslatef)     \
    X(Scalef, glScalef)             \
    X(Rotatef, glRotatef)           \
    X(Begin, glBegin)               \
    X(End, glEnd)                   \
    X(Color3f, glColor3f)           \
    X(Vertex3f, glVertex3f)         \
    X(Scissor, glScissor)           \
    X(ClearColor, glClearColor)     \
    X(Clear, glClear)               \
    X(BlendFunc, glBlendFunc)       \
    X(Perspective, gluPerspective)  \
    X(LookAt, gluLookAt)

// Then the shells' calls.
#define DEMO_SHELL_GL_CALLS(X)                            \
    X(Init, glutInit)                                     \
    X(InitDisplayMode, glutInitDisplayMode)               \
    X(InitWindowSize, glutInitWindowSize)                 \
    X(CreateWindow, glutCreateWindow)                     \
    X(GameModeString, glutGameModeString)                 \
    X(GameModeGet, glutGameModeGet)                       \
    X(EnterGameMode, glutEnterGameMode)                   \
    X(LeaveGameMode, glutLeaveGameMode)                   \
    X(DisplayFunc, glutDisplayFunc)                       \
    X(ReshapeFunc, glutReshapeFunc)                       \
    X(IdleFunc, glutIdleFunc)                             \
    X(KeyboardFunc, glutKeyboardFunc)                     \
    X(SetCursor, glutSetCursor)                           \
    X(MainLoop, glutMainLoop)                             \
    X(PostRedisplay, glutPostRedisplay)                   \
    X(Get, glutGet)                                       \
    X(SwapBuffers, glutSwapBuffers)                       \
    X(InitWindowPosition, glutInitWindowPosition)         \
    X(FullScreen, glutFullScreen)                         \
    X(GenFramebuffers, glGenFramebuffers)                 \
    X(BindFramebuffer, glBindFramebuffer)                 \
    X(GenRenderbuffers, glGenRenderbuffers)               \
    X(BindRenderbuffer, glBindRenderbuffer)               \
    X(RenderbufferStorage, glRenderbufferStorage)         \
    X(FramebufferRenderbuffer, glFramebufferRenderbuffer) \
    X(CheckFramebufferStatus, glCheckFramebufferStatus)   \
    X(DeleteFramebuffers, glDeleteFramebuffers)           \
    X(DeleteRenderbuffers, glDeleteRenderbuffers)         \
    X(BlitFramebuffer, glBlitFramebuffer)                 \
    X(ClearBufferfv, glClearBufferfv)                     \
    X(IsEnabled, glIsEnabled)                             \
    X(GetIntegerv, glGetIntegerv)                         \
    X(GenTextures, glGenTextures)                         \
    X(BindTexture, glBindTexture)                         \
    X(TexImage2D, glTexImage2D)                           \
    X(TexParameteri, glTexParameteri)                     \
    X(FramebufferTexture2D, glFramebufferTexture2D)       \
    X(DeleteTextures, glDeleteTextures)                   \
    X(CreateShader, glCreateShader)                       \
    X(ShaderSource, glShaderSource)                       \
    X(CompileShader, glCompileShader)                     \
    X(GetShaderiv, glGetShaderiv)                         \
    X(DeleteShader, glDeleteShader)                       \
    X(CreateProgram, glCreateProgram)                     \
    X(AttachShader, glAttachShader)                       \
    X(LinkProgram, glLinkProgram)                         \
    X(GetProgramiv, glGetProgramiv)                       \
    X(GetUniformLocation, glGetUniformLocation)           \
    X(UseProgram, glUseProgram)                           \
    X(Uniform1f, glUniform1f)                             \
    X(Uniform2f, glUniform2f)                             \
    X(Uniform1i, glUniform1i)                             \
    X(ActiveTexture, glActiveTexture)                     \
    X(DeleteProgram, glDeleteProgram)                     \
    X(PushAttrib, glPushAttrib)                           \
    X(PopAttrib, glPopAttrib)

#define DEMO_GL_CALLS(X) DEMO_SCENE_GL_CALLS(X) DEMO_SHELL_GL_CALLS(X)

enum class GlCall {
#define DEMO_GL_CALL_ENUMERATOR(enumerator, entryPoint) enumerator,
    DEMO_GL_CALLS(DEMO_GL_CALL_ENUMERATOR)
#undef DEMO_GL_CALL_ENUMERATOR
};

constexpr int glCallKinds = 0
#define DEMO_GL_CALL_COUNT(enumerator, entryPoint) +1
    DEMO_GL_CALLS(DEMO_GL_CALL_COUNT)
#undef DEMO_GL_CALL_COUNT
    ;

// The entry point's name: "glEnable", "gluLookAt", "glutSwapBuffers".
inline const char* glCallName(GlCall call) {
    static const char* const names[] = {
#define DEMO_GL_CALL_NAME(enumerator, entryPoint) #entryPoint,
        DEMO_GL_CALLS(DEMO_GL_CALL_NAME)
#undef DEMO_GL_CALL_NAME
    };
    return names[static_cast<int>(call)];
}

}  // namespace demo
