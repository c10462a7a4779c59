// The do-nothing GL sink. See null_gl.h.
#define GL_GLEXT_PROTOTYPES
#include "bench/null_gl.h"

#include <GL/glut.h>
#include <GL/glext.h>

namespace nullgl {

static std::uint64_t counts[demo::glCallKinds];

std::uint64_t count(demo::GlCall kind) { return counts[static_cast<int>(kind)]; }

std::uint64_t total() {
    std::uint64_t sum = 0;
    for (std::uint64_t n : counts)
        sum += n;
    return sum;
}

void reset() {
    for (std::uint64_t& n : counts)
        n = 0;
}

// One more call of a kind.
static void note(demo::GlCall kind) { ++counts[static_cast<int>(kind)]; }

}  // namespace nullgl

using demo::GlCall;
using nullgl::note;

// ---- OpenGL ----
void glEnable(GLenum) { note(GlCall::Enable); }
void glDisable(GLenum) { note(GlCall::Disable); }
void glShadeModel(GLenum) { note(GlCall::ShadeModel); }
void glViewport(GLint, GLint, GLsizei, GLsizei) { note(GlCall::Viewport); }
void glMatrixMode(GLenum) { note(GlCall::MatrixMode); }
void glLoadIdentity() { note(GlCall::LoadIdentity); }
void glPushMatrix() { note(GlCall::PushMatrix); }
void glPopMatrix() { note(GlCall::PopMatrix); }
void glTranslatef(GLfloat, GLfloat, GLfloat) { note(GlCall::Translatef); }
void glScalef(GLfloat, GLfloat, GLfloat) { note(GlCall::Scalef); }
void glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) { note(GlCall::Rotatef); }
void glBegin(GLenum) { note(GlCall::Begin); }
void glEnd() { note(GlCall::End); }
void glColor3f(GLfloat, GLfloat, GLfloat) { note(GlCall::Color3f); }
void glVertex3f(GLfloat, GLfloat, GLfloat) { note(GlCall::Vertex3f); }
void glScissor(GLint, GLint, GLsizei, GLsizei) { note(GlCall::Scissor); }
void glClearColor(GLfloat, GLfloat, GLfloat, GLfloat) { note(GlCall::ClearColor); }
void glClear(GLbitfield) { note(GlCall::Clear); }
void glBlendFunc(GLenum, GLenum) { note(GlCall::BlendFunc); }

// ---- GLU ----
void gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) { note(GlCall::Perspective); }
void gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
               GLdouble) {
    note(GlCall::LookAt);
}

// ---- GLUT ----
void glutInit(int*, char**) { note(GlCall::Init); }
void glutInitDisplayMode(unsigned int) { note(GlCall::InitDisplayMode); }
void glutInitWindowSize(int, int) { note(GlCall::InitWindowSize); }
int glutCreateWindow(const char*) {
    note(GlCall::CreateWindow);
    return 1;
}
void glutGameModeString(const char*) { note(GlCall::GameModeString); }
int glutGameModeGet(GLenum) {
    note(GlCall::GameModeGet);
    return -1;
}
int glutEnterGameMode() {
    note(GlCall::EnterGameMode);
    return 0;
}
void glutLeaveGameMode() { note(GlCall::LeaveGameMode); }
void glutDisplayFunc(void (*)()) { note(GlCall::DisplayFunc); }
void glutReshapeFunc(void (*)(int, int)) { note(GlCall::ReshapeFunc); }
void glutIdleFunc(void (*)()) { note(GlCall::IdleFunc); }
void glutKeyboardFunc(void (*)(unsigned char, int, int)) { note(GlCall::KeyboardFunc); }
void glutSetCursor(int) { note(GlCall::SetCursor); }
void glutMainLoop() { note(GlCall::MainLoop); }
void glutPostRedisplay() { note(GlCall::PostRedisplay); }
int glutGet(GLenum) {
    note(GlCall::Get);
    return 0;
}
void glutSwapBuffers() { note(GlCall::SwapBuffers); }
void glutInitWindowPosition(int, int) { note(GlCall::InitWindowPosition); }
void glutFullScreen() { note(GlCall::FullScreen); }

// ---- OpenGL 3.0 framebuffer objects and queries ----
void glGenFramebuffers(GLsizei n, GLuint* names) {
    note(GlCall::GenFramebuffers);
    for (GLsizei i = 0; i < n; ++i)
        names[i] = GLuint(i + 1);
}
void glBindFramebuffer(GLenum, GLuint) { note(GlCall::BindFramebuffer); }
void glGenRenderbuffers(GLsizei n, GLuint* names) {
    note(GlCall::GenRenderbuffers);
    for (GLsizei i = 0; i < n; ++i)
        names[i] = GLuint(i + 1);
}
void glBindRenderbuffer(GLenum, GLuint) { note(GlCall::BindRenderbuffer); }
void glRenderbufferStorage(GLenum, GLenum, GLsizei, GLsizei) { note(GlCall::RenderbufferStorage); }
void glFramebufferRenderbuffer(GLenum, GLenum, GLenum, GLuint) {
    note(GlCall::FramebufferRenderbuffer);
}
GLenum glCheckFramebufferStatus(GLenum) {
    note(GlCall::CheckFramebufferStatus);
    return GL_FRAMEBUFFER_COMPLETE;
}
void glDeleteFramebuffers(GLsizei, const GLuint*) { note(GlCall::DeleteFramebuffers); }
void glDeleteRenderbuffers(GLsizei, const GLuint*) { note(GlCall::DeleteRenderbuffers); }
void glBlitFramebuffer(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLbitfield, GLenum) {
    note(GlCall::BlitFramebuffer);
}
void glClearBufferfv(GLenum, GLint, const GLfloat*) { note(GlCall::ClearBufferfv); }
GLboolean glIsEnabled(GLenum) {
    note(GlCall::IsEnabled);
    return GL_FALSE;
}
void glGetIntegerv(GLenum, GLint* values) {
    note(GlCall::GetIntegerv);
    values[0] = values[1] = values[2] = values[3] = 0;
}

// ---- textures and the scaling pass's shader program (never compiled here) ----
void glGenTextures(GLsizei n, GLuint* names) {
    note(GlCall::GenTextures);
    for (GLsizei i = 0; i < n; ++i)
        names[i] = GLuint(i + 1);
}
void glBindTexture(GLenum, GLuint) { note(GlCall::BindTexture); }
void glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*) {
    note(GlCall::TexImage2D);
}
void glTexParameteri(GLenum, GLenum, GLint) { note(GlCall::TexParameteri); }
void glFramebufferTexture2D(GLenum, GLenum, GLenum, GLuint, GLint) {
    note(GlCall::FramebufferTexture2D);
}
void glDeleteTextures(GLsizei, const GLuint*) { note(GlCall::DeleteTextures); }
GLuint glCreateShader(GLenum) {
    note(GlCall::CreateShader);
    return 1;
}
void glShaderSource(GLuint, GLsizei, const GLchar* const*, const GLint*) {
    note(GlCall::ShaderSource);
}
void glCompileShader(GLuint) { note(GlCall::CompileShader); }
void glGetShaderiv(GLuint, GLenum, GLint* value) {
    note(GlCall::GetShaderiv);
    *value = GL_FALSE;
}
void glDeleteShader(GLuint) { note(GlCall::DeleteShader); }
GLuint glCreateProgram() {
    note(GlCall::CreateProgram);
    return 1;
}
void glAttachShader(GLuint, GLuint) { note(GlCall::AttachShader); }
void glLinkProgram(GLuint) { note(GlCall::LinkProgram); }
void glGetProgramiv(GLuint, GLenum, GLint* value) {
    note(GlCall::GetProgramiv);
    *value = GL_FALSE;
}
GLint glGetUniformLocation(GLuint, const GLchar*) {
    note(GlCall::GetUniformLocation);
    return -1;
}
void glUseProgram(GLuint) { note(GlCall::UseProgram); }
void glUniform1f(GLint, GLfloat) { note(GlCall::Uniform1f); }
void glUniform1i(GLint, GLint) { note(GlCall::Uniform1i); }
void glActiveTexture(GLenum) { note(GlCall::ActiveTexture); }
void glUniform2f(GLint, GLfloat, GLfloat) { note(GlCall::Uniform2f); }
void glDeleteProgram(GLuint) { note(GlCall::DeleteProgram); }
void glPushAttrib(GLbitfield) { note(GlCall::PushAttrib); }
void glPopAttrib() { note(GlCall::PopAttrib); }
