// The WebGL2 device of our layer. See webgl_device.h.
//
// NOTE: the show's own glEnable, glClear, ... are our layer's (gl_layer.cpp);
// WebGL is reached here through Emscripten's emscripten_gl* aliases of its
// WebGL functions, declared below, so that the two never meet.
#include "web/webgl_device.h"

#include <GLES3/gl3.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <vector>

#include "picture/flash_filter_shader.h"
#include "picture/picture_target.h"
#include "picture/sharp_scaling.h"
#include "scenes/frame.h"
#include "show/platform.h"

extern "C" {
void emscripten_glActiveTexture(GLenum);
void emscripten_glAttachShader(GLuint, GLuint);
void emscripten_glBindAttribLocation(GLuint, GLuint, const GLchar*);
void emscripten_glBindBuffer(GLenum, GLuint);
void emscripten_glBindFramebuffer(GLenum, GLuint);
void emscripten_glBindRenderbuffer(GLenum, GLuint);
void emscripten_glBindTexture(GLenum, GLuint);
void emscripten_glBindVertexArray(GLuint);
void emscripten_glBlendFunc(GLenum, GLenum);
void emscripten_glBlitFramebuffer(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint,
                                  GLbitfield, GLenum);
void emscripten_glBufferData(GLenum, GLsizeiptr, const void*, GLenum);
void emscripten_glBufferSubData(GLenum, GLintptr, GLsizeiptr, const void*);
GLenum emscripten_glCheckFramebufferStatus(GLenum);
void emscripten_glClear(GLbitfield);
void emscripten_glClearColor(GLfloat, GLfloat, GLfloat, GLfloat);
void emscripten_glCompileShader(GLuint);
GLuint emscripten_glCreateProgram();
GLuint emscripten_glCreateShader(GLenum);
void emscripten_glDisable(GLenum);
void emscripten_glDrawArrays(GLenum, GLint, GLsizei);
void emscripten_glDrawElements(GLenum, GLsizei, GLenum, const void*);
void emscripten_glEnable(GLenum);
void emscripten_glEnableVertexAttribArray(GLuint);
void emscripten_glFramebufferRenderbuffer(GLenum, GLenum, GLenum, GLuint);
void emscripten_glFramebufferTexture2D(GLenum, GLenum, GLenum, GLuint, GLint);
void emscripten_glGenBuffers(GLsizei, GLuint*);
void emscripten_glGenFramebuffers(GLsizei, GLuint*);
void emscripten_glGenRenderbuffers(GLsizei, GLuint*);
void emscripten_glGenTextures(GLsizei, GLuint*);
void emscripten_glGenVertexArrays(GLsizei, GLuint*);
void emscripten_glGetProgramiv(GLuint, GLenum, GLint*);
void emscripten_glGetShaderiv(GLuint, GLenum, GLint*);
void emscripten_glGetShaderInfoLog(GLuint, GLsizei, GLsizei*, GLchar*);
GLint emscripten_glGetUniformLocation(GLuint, const GLchar*);
void emscripten_glLinkProgram(GLuint);
void emscripten_glReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
void emscripten_glRenderbufferStorage(GLenum, GLenum, GLsizei, GLsizei);
void emscripten_glScissor(GLint, GLint, GLsizei, GLsizei);
void emscripten_glShaderSource(GLuint, GLsizei, const GLchar* const*, const GLint*);
void emscripten_glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                             const void*);
void emscripten_glTexParameteri(GLenum, GLenum, GLint);
void emscripten_glUniform1f(GLint, GLfloat);
void emscripten_glUniform1i(GLint, GLint);
void emscripten_glUniform2f(GLint, GLfloat, GLfloat);
void emscripten_glUseProgram(GLuint);
void emscripten_glVertexAttribPointer(GLuint, GLint, GLenum, GLboolean, GLsizei, const void*);
void emscripten_glViewport(GLint, GLint, GLsizei, GLsizei);
}

namespace demo {

namespace {

// Clip coordinates in, the quad's colour out. NOTE: flat, so that a quad's
// two triangles, (0, 1, 3) and (1, 2, 3), both take the colour of vertex 3,
// the quad's last: GL's provoking vertex for quads.
const char* const vertexShader = R"(
in vec4 position;
in vec4 colour;
flat out vec4 quadColour;
void main() {
    gl_Position = position;
    quadColour = colour;
})";

const char* const fragmentShader = R"(
flat in vec4 quadColour;
out vec4 fragColour;
void main() { fragColour = quadColour; })";

// GLSL ES 3.00: each stage's version line and precision, and for the sharp
// scaling program (picture/sharp_scaling.h) the names it leaves to us.
const char* const vertexPrologue = "#version 300 es\n";
const char* const fragmentPrologue = "#version 300 es\nprecision highp float;\n";
const char* const scalingVertexPrologue =
    "#version 300 es\nin vec2 corner;\n#define CORNER corner\n#define VERTEX_OUT out\n";
const char* const scalingFragmentPrologue =
    "#version 300 es\nprecision highp float;\n#define FRAGMENT_IN in\n"
    "#define PICTURE_AT(uv) texture(picture, uv)\nout vec4 scaledColour;\n"
    "#define FRAGMENT_OUT scaledColour\n";
const char* const filterFragmentPrologue =
    "#version 300 es\nprecision highp float;\n#define FRAGMENT_IN in\n"
    "#define SAMPLE(s, uv) texture(s, uv)\nout vec4 shownColour;\n"
    "#define FRAGMENT_OUT shownColour\n";

constexpr int indicesPerQuad = 6;
constexpr GLsizeiptr vertexBytesPerQuad = 4 * sizeof(ClipVertex);

GLuint quadProgram = 0, vertexArray = 0, vertexBuffer = 0, indexBuffer = 0;
int vertexCapacity = 0, indexCapacity = 0;  // in quads

// The sharp scaling program, its uniforms, and the one quad it draws.
GLuint scalingProgram = 0, scalingArray = 0, scalingCorners = 0;
GLint rectSizeUniform = -1, wholeScaleUniform = -1;

// The offscreen picture: a colour texture, sampled by the scaling, and depth.
GLuint picture = 0, pictureColour = 0, pictureDepth = 0;

// Reduced flashing (picture/flash_filter_shader.h): its program, the shown
// picture and the one before it (trading places every frame), and the clock
// of the last frame shown through it. While it is on, every frame is drawn
// offscreen and the shown picture is what is scaled.
struct ReducedFlashing {
    bool on = false;
    GLuint program = 0;
    GLint shareUniform = -1;
    GLuint shown[2] = {0, 0}, shownColour[2] = {0, 0};
    int current = 0;
    bool started = false;
    int lastClockMs = 0;
};
ReducedFlashing reduced;

int canvasWidth = pictureWidth, canvasHeight = pictureHeight;
bool frameBound = false;     // this frame's target is bound for drawing
bool drawingDirect = false;  // this frame is drawn straight into the canvas

// The state last set on WebGL.
DrawState applied;
bool appliedKnown = false;

GLuint compile(GLenum kind, const char* prologue, const char* source, std::string& problem) {
    const GLuint shader = emscripten_glCreateShader(kind);
    const char* const parts[2] = {prologue, source};
    emscripten_glShaderSource(shader, 2, parts, nullptr);
    emscripten_glCompileShader(shader);
    GLint ok = 0;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = "";
        emscripten_glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        problem = std::string("its WebGL2 cannot compile our shader: ") + log;
    }
    return shader;
}

// A linked program of the two stages, each a prologue and a source, with
// the attributes named at locations 0 and 1; 0 with the reason in problem.
GLuint makeProgram(const char* const vertex[2], const char* const fragment[2],
                   const char* attribute0, const char* attribute1, std::string& problem) {
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, vertex[0], vertex[1], problem));
    emscripten_glAttachShader(program,
                              compile(GL_FRAGMENT_SHADER, fragment[0], fragment[1], problem));
    if (!problem.empty()) return 0;
    emscripten_glBindAttribLocation(program, 0, attribute0);
    if (attribute1 != nullptr) emscripten_glBindAttribLocation(program, 1, attribute1);
    emscripten_glLinkProgram(program);
    GLint ok = 0;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        problem = "its WebGL2 cannot link our shaders";
        return 0;
    }
    return program;
}

// The programs: the quads' (left in use) and the sharp scaling, with the
// scaling's quad in a vertex array of its own.
bool makePrograms(std::string& problem) {
    const char* const quadVertex[2] = {vertexPrologue, vertexShader};
    const char* const quadFragment[2] = {fragmentPrologue, fragmentShader};
    const char* const scalingVertex[2] = {scalingVertexPrologue, sharpScalingVertex};
    const char* const scalingFragment[2] = {scalingFragmentPrologue, sharpScalingFragment};
    quadProgram = makeProgram(quadVertex, quadFragment, "position", "colour", problem);
    if (quadProgram == 0) return false;
    scalingProgram = makeProgram(scalingVertex, scalingFragment, "corner", nullptr, problem);
    if (scalingProgram == 0) return false;
    const char* const filterFragment[2] = {filterFragmentPrologue, flashFilterFragment};
    const char* const filterVertex[2] = {scalingVertexPrologue, flashFilterVertex};
    reduced.program = makeProgram(filterVertex, filterFragment, "corner", nullptr, problem);
    if (reduced.program == 0) return false;
    reduced.shareUniform = emscripten_glGetUniformLocation(reduced.program, "share");
    emscripten_glUseProgram(reduced.program);
    emscripten_glUniform1i(emscripten_glGetUniformLocation(reduced.program, "shown"), 1);
    rectSizeUniform = emscripten_glGetUniformLocation(scalingProgram, "rectSize");
    wholeScaleUniform = emscripten_glGetUniformLocation(scalingProgram, "wholeScale");
    // NOTE: the sampler "picture" is not set: it starts at texture unit 0,
    // where the pass binds the picture.

    static const float corners[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    emscripten_glGenVertexArrays(1, &scalingArray);
    emscripten_glBindVertexArray(scalingArray);
    emscripten_glGenBuffers(1, &scalingCorners);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, scalingCorners);
    emscripten_glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    emscripten_glEnableVertexAttribArray(0);
    emscripten_glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);

    emscripten_glUseProgram(quadProgram);
    return true;
}

// A 640x480 framebuffer with an RGBA8 colour texture, sampled nearest with
// its edges clamped, left bound.
void makeColourTarget(GLuint& framebuffer, GLuint& colour) {
    emscripten_glGenFramebuffers(1, &framebuffer);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    emscripten_glGenTextures(1, &colour);
    emscripten_glBindTexture(GL_TEXTURE_2D, colour);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, pictureWidth, pictureHeight, 0, GL_RGBA,
                            GL_UNSIGNED_BYTE, nullptr);
    for (GLenum name : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER})
        emscripten_glTexParameteri(GL_TEXTURE_2D, name, GL_NEAREST);
    for (GLenum name : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T})
        emscripten_glTexParameteri(GL_TEXTURE_2D, name, GL_CLAMP_TO_EDGE);
    emscripten_glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour,
                                      0);
}

// The picture's framebuffer: a colour target and a 24-bit depth
// renderbuffer; then the reduced-flashing filter's two colour targets.
bool makePicture() {
    for (int i = 0; i < 2; ++i) {
        makeColourTarget(reduced.shown[i], reduced.shownColour[i]);
        if (emscripten_glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            return false;
    }
    makeColourTarget(picture, pictureColour);
    emscripten_glGenRenderbuffers(1, &pictureDepth);
    emscripten_glBindRenderbuffer(GL_RENDERBUFFER, pictureDepth);
    emscripten_glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, pictureWidth,
                                     pictureHeight);
    emscripten_glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                         pictureDepth);
    return emscripten_glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// Index buffer for quads 0 .. quads - 1: two triangles each, both ending in
// the quad's last vertex.
void growIndices(int quads) {
    indexCapacity = std::max(quads, 2 * indexCapacity);
    std::vector<GLuint> indices(std::size_t(indexCapacity) * indicesPerQuad);
    for (int q = 0; q < indexCapacity; ++q) {
        const GLuint v = GLuint(q) * 4;
        const GLuint quad[indicesPerQuad] = {v, v + 1, v + 3, v + 1, v + 2, v + 3};
        std::copy(quad, quad + indicesPerQuad,
                  indices.begin() + std::ptrdiff_t(q) * indicesPerQuad);
    }
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(GLuint)),
                            indices.data(), GL_STATIC_DRAW);
}

void setCapability(GLenum cap, bool on) {
    if (on)
        emscripten_glEnable(cap);
    else
        emscripten_glDisable(cap);
}

// The frame's target, chosen at its first draw or clear.
void bindPicture() {
    if (frameBound) return;
    drawingDirect = !reduced.on && canvasWidth == pictureWidth && canvasHeight == pictureHeight;
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, drawingDirect ? 0 : picture);
    frameBound = true;
}

// Sets on WebGL what differs between state and what was last set.
void apply(const DrawState& state) {
    bindPicture();
    const DrawState& was = applied;
    const bool all = !appliedKnown;
    if (all || state.depthTest != was.depthTest) setCapability(GL_DEPTH_TEST, state.depthTest);
    if (all || state.blend != was.blend) setCapability(GL_BLEND, state.blend);
    if (all || state.scissorTest != was.scissorTest)
        setCapability(GL_SCISSOR_TEST, state.scissorTest);
    if (all || state.blendSrc != was.blendSrc || state.blendDst != was.blendDst)
        emscripten_glBlendFunc(state.blendSrc, state.blendDst);
    if (all || !std::equal(state.scissor, state.scissor + 4, was.scissor))
        emscripten_glScissor(state.scissor[0], state.scissor[1], state.scissor[2],
                             state.scissor[3]);
    if (all || !std::equal(state.viewport, state.viewport + 4, was.viewport))
        emscripten_glViewport(state.viewport[0], state.viewport[1], state.viewport[2],
                              state.viewport[3]);
    applied = state;
    appliedKnown = true;
}

}  // namespace

bool openDevice(const char* canvasSelector, std::string& problem) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;  // for frames drawn straight into the canvas
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.preserveDrawingBuffer = false;
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(canvasSelector, &attributes);
    if (context <= 0) {
        problem = "it gives no WebGL2";
        return false;
    }
    emscripten_webgl_make_context_current(context);
    if (!makePrograms(problem)) return false;

    // one vertex array: clip coordinates and colour bytes, interleaved
    emscripten_glGenVertexArrays(1, &vertexArray);
    emscripten_glBindVertexArray(vertexArray);
    emscripten_glGenBuffers(1, &vertexBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    emscripten_glEnableVertexAttribArray(0);
    emscripten_glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(ClipVertex), nullptr);
    emscripten_glEnableVertexAttribArray(1);
    emscripten_glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ClipVertex),
                                     reinterpret_cast<const void*>(4 * sizeof(float)));
    emscripten_glGenBuffers(1, &indexBuffer);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    growIndices(1 << 16);

    if (!makePicture()) {
        problem = "its WebGL2 cannot make a 640x480 picture to draw into";
        return false;
    }
    // Defined contents to start from, as GL's default clear values give.
    emscripten_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void drawQuads(const DrawState& state, const ClipVertex* vertices, int firstQuad, int quadCount) {
    apply(state);
    const int end = firstQuad + quadCount;
    if (end > indexCapacity) growIndices(end);
    if (end > vertexCapacity) {
        vertexCapacity = std::max(end, 2 * vertexCapacity);
        emscripten_glBufferData(GL_ARRAY_BUFFER, vertexCapacity * vertexBytesPerQuad, nullptr,
                                GL_STREAM_DRAW);
        // NOTE: new storage loses the quads this frame sent before; send them again.
        if (firstQuad > 0) {
            emscripten_glBufferSubData(GL_ARRAY_BUFFER, 0, firstQuad * vertexBytesPerQuad,
                                       vertices - std::ptrdiff_t(firstQuad) * 4);
        }
    }
    emscripten_glBufferSubData(GL_ARRAY_BUFFER, firstQuad * vertexBytesPerQuad,
                               quadCount * vertexBytesPerQuad, vertices);
    emscripten_glDrawElements(
        GL_TRIANGLES, quadCount * indicesPerQuad, GL_UNSIGNED_INT,
        reinterpret_cast<const void*>(std::size_t(firstQuad) * indicesPerQuad * sizeof(GLuint)));
}

void clearPicture(const DrawState& state, unsigned mask, const float colour[4]) {
    apply(state);
    if (mask & GL_COLOR_BUFFER_BIT)
        emscripten_glClearColor(colour[0], colour[1], colour[2], colour[3]);
    emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

void setCanvasSize(int width, int height) {
    canvasWidth = width;
    canvasHeight = height;
}

namespace {

// The reduced-flashing pass: the shown picture moved towards the frame just
// drawn. Returns the shown picture's framebuffer and colour texture.
void filterPicture(GLuint& framebuffer, GLuint& colour) {
    const int clockMs = platformClockMs();
    const float share =
        flashFilterShare((clockMs - reduced.lastClockMs) / 1000.0, !reduced.started);
    reduced.started = true;
    reduced.lastClockMs = clockMs;
    const int next = 1 - reduced.current;
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, reduced.shown[next]);
    for (GLenum test : {GL_DEPTH_TEST, GL_BLEND, GL_SCISSOR_TEST})
        emscripten_glDisable(test);
    emscripten_glViewport(0, 0, pictureWidth, pictureHeight);
    emscripten_glUseProgram(reduced.program);
    emscripten_glUniform1f(reduced.shareUniform, share);
    emscripten_glActiveTexture(GL_TEXTURE1);
    emscripten_glBindTexture(GL_TEXTURE_2D, reduced.shownColour[reduced.current]);
    emscripten_glActiveTexture(GL_TEXTURE0);
    emscripten_glBindTexture(GL_TEXTURE_2D, pictureColour);
    emscripten_glBindVertexArray(scalingArray);
    emscripten_glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    emscripten_glBindVertexArray(vertexArray);
    emscripten_glUseProgram(quadProgram);
    reduced.current = next;
    framebuffer = reduced.shown[next];
    colour = reduced.shownColour[next];
}

}  // namespace

void setReducedFlashing(bool on) {
    if (on && !reduced.on) reduced.started = false;  // the first frame as it is
    reduced.on = on;
}

void presentPicture() {
    bindPicture();
    frameBound = false;
    if (drawingDirect) return;
    GLuint source = picture, sourceColour = pictureColour;
    if (reduced.on) filterPicture(source, sourceColour);

    // the largest 4:3 rectangle the canvas holds, centred, as on the desktop
    const PictureFit fit = fitPicture(canvasWidth, canvasHeight);
    const bool whole =
        fit.width == fit.wholeScale * pictureWidth && fit.height == fit.wholeScale * pictureHeight;

    // black bars: the whole canvas cleared, then the picture over it
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, 0);
    emscripten_glDisable(GL_SCISSOR_TEST);
    emscripten_glClearColor(0, 0, 0, 1);
    emscripten_glClear(GL_COLOR_BUFFER_BIT);
    if (whole) {
        // a whole scale is nearest-neighbour alone: one blit
        emscripten_glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        emscripten_glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, fit.x, fit.y,
                                     fit.x + fit.width, fit.y + fit.height, GL_COLOR_BUFFER_BIT,
                                     GL_NEAREST);
    } else {
        // any other in one pass of the desktop's sharp scaling program
        for (GLenum test : {GL_DEPTH_TEST, GL_BLEND})
            emscripten_glDisable(test);
        emscripten_glViewport(fit.x, fit.y, fit.width, fit.height);
        emscripten_glUseProgram(scalingProgram);
        emscripten_glUniform2f(rectSizeUniform, GLfloat(fit.width), GLfloat(fit.height));
        emscripten_glUniform1f(wholeScaleUniform, GLfloat(fit.wholeScale));
        emscripten_glActiveTexture(GL_TEXTURE0);
        emscripten_glBindTexture(GL_TEXTURE_2D, sourceColour);
        emscripten_glBindVertexArray(scalingArray);
        emscripten_glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
        emscripten_glBindVertexArray(vertexArray);
        emscripten_glUseProgram(quadProgram);
    }
    // The pass changed what the next frame's first draw sets again.
    appliedKnown = false;
}

void readCanvas(int width, int height, std::uint8_t* rgba) {
    emscripten_glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    emscripten_glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

}  // namespace demo
