// A GLSL 1.20 program of our own shader sources. See shader_program.h.
#define GL_GLEXT_PROTOTYPES
#include "picture/shader_program.h"

#include <GL/glext.h>

#include <string>

namespace demo {

namespace {

GLuint compiledShader(GLenum kind, const char* prologue, const char* source) {
    const GLuint shader = glCreateShader(kind);
    const char* const parts[2] = {prologue, source};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return shader;
    glDeleteShader(shader);
    return 0;
}

}  // namespace

GLuint linkedShaderProgram(const char* vertexSource, const char* sampleMacro,
                           const char* fragmentSource) {
    const std::string fragmentPrologue =
        std::string("#version 120\n#define FRAGMENT_IN varying\n") + sampleMacro +
        "#define FRAGMENT_OUT gl_FragColor\n";
    const GLuint vertex = compiledShader(
        GL_VERTEX_SHADER, "#version 120\n#define CORNER gl_Vertex.xy\n#define VERTEX_OUT varying\n",
        vertexSource);
    const GLuint fragment =
        compiledShader(GL_FRAGMENT_SHADER, fragmentPrologue.c_str(), fragmentSource);
    GLuint program = 0;
    if (vertex != 0 && fragment != 0) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    // Attached shaders live on with the program; unattached ones go now.
    if (vertex != 0) glDeleteShader(vertex);
    if (fragment != 0) glDeleteShader(fragment);
    return program;
}

void drawUnitSquare() {
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glVertex3f(1, 1, 0);
    glVertex3f(0, 1, 0);
    glEnd();
}

}  // namespace demo
