// The do-nothing GL sink. See null_gl.h.
#define GL_GLEXT_PROTOTYPES
#include "bench/null_gl.h"

#include <GL/glut.h>
#include <GL/glext.h>

#include <cstdarg>

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

// One more call of a kind; the arguments are ignored.
template <demo::GlCall kind, typename... Arguments>
void note(Arguments...) {
    ++counts[static_cast<int>(kind)];
}

}  // namespace nullgl

using demo::GlCall;
using nullgl::note;

// NOTE: freeglut's own, outside the list (see the recorder): not counted.
extern "C" void glutInitErrorFunc(void (*)(const char*, va_list)) {}

// The calls that answer: a window, a status, names or values written back.
// No shader compiles and no game mode is possible here.
int glutCreateWindow(const char*) {
    note<GlCall::CreateWindow>();
    return 1;
}
int glutGameModeGet(GLenum) {
    note<GlCall::GameModeGet>();
    return -1;
}
int glutEnterGameMode() {
    note<GlCall::EnterGameMode>();
    return 0;
}
int glutGet(GLenum) {
    note<GlCall::Get>();
    return 0;
}

// glGen*: the names 1 to n.
static void giveNames(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; i < n; ++i)
        names[i] = GLuint(i + 1);
}
void glGenFramebuffers(GLsizei n, GLuint* names) {
    note<GlCall::GenFramebuffers>();
    giveNames(n, names);
}
void glGenRenderbuffers(GLsizei n, GLuint* names) {
    note<GlCall::GenRenderbuffers>();
    giveNames(n, names);
}
void glGenTextures(GLsizei n, GLuint* names) {
    note<GlCall::GenTextures>();
    giveNames(n, names);
}
GLenum glCheckFramebufferStatus(GLenum) {
    note<GlCall::CheckFramebufferStatus>();
    return GL_FRAMEBUFFER_COMPLETE;
}
GLboolean glIsEnabled(GLenum) {
    note<GlCall::IsEnabled>();
    return GL_FALSE;
}
void glGetIntegerv(GLenum, GLint* values) {
    note<GlCall::GetIntegerv>();
    values[0] = values[1] = values[2] = values[3] = 0;
}
GLuint glCreateShader(GLenum) {
    note<GlCall::CreateShader>();
    return 1;
}
void glGetShaderiv(GLuint, GLenum, GLint* value) {
    note<GlCall::GetShaderiv>();
    *value = GL_FALSE;
}
GLuint glCreateProgram() {
    note<GlCall::CreateProgram>();
    return 1;
}
void glGetProgramiv(GLuint, GLenum, GLint* value) {
    note<GlCall::GetProgramiv>();
    *value = GL_FALSE;
}
GLint glGetUniformLocation(GLuint, const GLchar*) {
    note<GlCall::GetUniformLocation>();
    return -1;
}

// Every other call of the list (its plain and pointer calls) only counts.
#define NULLGL_COUNT_ONLY(enumerator, returns, entryPoint, parameters, arguments) \
    returns entryPoint parameters { note<GlCall::enumerator> arguments; }
#define NULLGL_DEFINE_plain NULLGL_COUNT_ONLY
#define NULLGL_DEFINE_pointer NULLGL_COUNT_ONLY
#define NULLGL_DEFINE_answer(...)
#define NULLGL_DEFINE(enumerator, shape, ...) NULLGL_DEFINE_##shape(enumerator, __VA_ARGS__)
DEMO_GL_CALLS(NULLGL_DEFINE)
