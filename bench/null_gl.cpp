// The do-nothing GL sink. See null_gl.h.
#define GL_GLEXT_PROTOTYPES
#include "bench/null_gl.h"

#include <GL/glut.h>
#include <GL/glext.h>

namespace nullgl {

std::uint64_t counts[kindCount];

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

}  // namespace nullgl

using nullgl::counts;

// ---- OpenGL ----
void glEnable(GLenum) { ++counts[nullgl::Enable]; }
void glDisable(GLenum) { ++counts[nullgl::Disable]; }
void glShadeModel(GLenum) { ++counts[nullgl::ShadeModel]; }
void glViewport(GLint, GLint, GLsizei, GLsizei) { ++counts[nullgl::Viewport]; }
void glMatrixMode(GLenum) { ++counts[nullgl::MatrixMode]; }
void glLoadIdentity() { ++counts[nullgl::LoadIdentity]; }
void glPushMatrix() { ++counts[nullgl::PushMatrix]; }
void glPopMatrix() { ++counts[nullgl::PopMatrix]; }
void glTranslatef(GLfloat, GLfloat, GLfloat) { ++counts[nullgl::Translatef]; }
void glScalef(GLfloat, GLfloat, GLfloat) { ++counts[nullgl::Scalef]; }
void glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) { ++counts[nullgl::Rotatef]; }
void glBegin(GLenum) { ++counts[nullgl::Begin]; }
void glEnd() { ++counts[nullgl::End]; }
void glColor3f(GLfloat, GLfloat, GLfloat) { ++counts[nullgl::Color3f]; }
void glVertex3f(GLfloat, GLfloat, GLfloat) { ++counts[nullgl::Vertex3f]; }
void glScissor(GLint, GLint, GLsizei, GLsizei) { ++counts[nullgl::Scissor]; }
void glClearColor(GLfloat, GLfloat, GLfloat, GLfloat) { ++counts[nullgl::ClearColor]; }
void glClear(GLbitfield) { ++counts[nullgl::Clear]; }
void glBlendFunc(GLenum, GLenum) { ++counts[nullgl::BlendFunc]; }

// ---- GLU ----
void gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) { ++counts[nullgl::Perspective]; }
void gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
               GLdouble) {
    ++counts[nullgl::LookAt];
}

// ---- GLUT ----
void glutInit(int*, char**) { ++counts[nullgl::Glut]; }
void glutInitDisplayMode(unsigned int) { ++counts[nullgl::Glut]; }
void glutInitWindowSize(int, int) { ++counts[nullgl::Glut]; }
int glutCreateWindow(const char*) {
    ++counts[nullgl::Glut];
    return 1;
}
void glutGameModeString(const char*) { ++counts[nullgl::Glut]; }
int glutGameModeGet(GLenum) {
    ++counts[nullgl::Glut];
    return -1;
}
int glutEnterGameMode() {
    ++counts[nullgl::Glut];
    return 0;
}
void glutLeaveGameMode() { ++counts[nullgl::Glut]; }
void glutDisplayFunc(void (*)()) { ++counts[nullgl::Glut]; }
void glutReshapeFunc(void (*)(int, int)) { ++counts[nullgl::Glut]; }
void glutIdleFunc(void (*)()) { ++counts[nullgl::Glut]; }
void glutKeyboardFunc(void (*)(unsigned char, int, int)) { ++counts[nullgl::Glut]; }
void glutSetCursor(int) { ++counts[nullgl::Glut]; }
void glutMainLoop() { ++counts[nullgl::Glut]; }
void glutPostRedisplay() { ++counts[nullgl::Glut]; }
int glutGet(GLenum) {
    ++counts[nullgl::Glut];
    return 0;
}
void glutSwapBuffers() { ++counts[nullgl::SwapBuffers]; }
void glutInitWindowPosition(int, int) { ++counts[nullgl::Glut]; }
void glutFullScreen() { ++counts[nullgl::Glut]; }

// ---- OpenGL 3.0 framebuffer objects and queries ----
void glGenFramebuffers(GLsizei n, GLuint* names) {
    ++counts[nullgl::Offscreen];
    for (GLsizei i = 0; i < n; ++i)
        names[i] = GLuint(i + 1);
}
void glBindFramebuffer(GLenum, GLuint) { ++counts[nullgl::Offscreen]; }
void glGenRenderbuffers(GLsizei n, GLuint* names) {
    ++counts[nullgl::Offscreen];
    for (GLsizei i = 0; i < n; ++i)
        names[i] = GLuint(i + 1);
}
void glBindRenderbuffer(GLenum, GLuint) { ++counts[nullgl::Offscreen]; }
void glRenderbufferStorage(GLenum, GLenum, GLsizei, GLsizei) { ++counts[nullgl::Offscreen]; }
void glFramebufferRenderbuffer(GLenum, GLenum, GLenum, GLuint) { ++counts[nullgl::Offscreen]; }
GLenum glCheckFramebufferStatus(GLenum) {
    ++counts[nullgl::Offscreen];
    return GL_FRAMEBUFFER_COMPLETE;
}
void glDeleteFramebuffers(GLsizei, const GLuint*) { ++counts[nullgl::Offscreen]; }
void glDeleteRenderbuffers(GLsizei, const GLuint*) { ++counts[nullgl::Offscreen]; }
void glBlitFramebuffer(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLbitfield, GLenum) {
    ++counts[nullgl::Offscreen];
}
void glClearBufferfv(GLenum, GLint, const GLfloat*) { ++counts[nullgl::Offscreen]; }
GLboolean glIsEnabled(GLenum) {
    ++counts[nullgl::Offscreen];
    return GL_FALSE;
}
void glGetIntegerv(GLenum, GLint* values) {
    ++counts[nullgl::Offscreen];
    values[0] = values[1] = values[2] = values[3] = 0;
}
