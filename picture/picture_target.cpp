// The picture target and the sharp scaler. See picture_target.h.
#define GL_GLEXT_PROTOTYPES
#include "picture/picture_target.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdint>

#include "picture/flash_filter.h"
#include "picture/shader_program.h"
#include "picture/sharp_scaling.h"
#include "scenes/frame.h"

namespace demo {

namespace {

OffscreenTarget picture;

// The sharp scaling program (sharp_scaling.h); made on the first
// scale that needs it. Where the driver cannot make it, the scaling falls back
// to one linear blit.
GLuint sharpProgram = 0;
bool sharpProgramTried = false;
GLint rectSizeUniform = -1, wholeScaleUniform = -1;

// The program, made once; 0 when the driver cannot make it.
GLuint sharpScalingProgram() {
    if (sharpProgramTried) return sharpProgram;
    sharpProgramTried = true;
    sharpProgram =
        linkedShaderProgram(sharpScalingVertex, "#define PICTURE_AT(uv) texture2D(picture, uv)\n",
                            sharpScalingFragment);
    if (sharpProgram != 0) {
        rectSizeUniform = glGetUniformLocation(sharpProgram, "rectSize");
        wholeScaleUniform = glGetUniformLocation(sharpProgram, "wholeScale");
        // NOTE: the sampler "picture" is not set: a linked program's
        // uniforms start at 0, texture unit 0, where the draw binds it.
    }
    return sharpProgram;
}

// Clears a bar of the output black through the scissor box, without touching
// the clear colour. The caller has enabled the scissor test.
void clearBar(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    static const GLfloat black[4] = {0, 0, 0, 1};
    glScissor(x, y, width, height);
    glClearBufferfv(GL_COLOR, 0, black);
}

// Draws the picture sharply into fit's rectangle of the bound output with
// the program. Everything the draw changes is put back as it was: the
// enables, the viewport, the texture binding, the program.
void drawSharply(GLuint program, const PictureFit& fit, GLuint colour) {
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_TEXTURE_BIT);
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    for (GLenum test : {GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE, GL_SCISSOR_TEST})
        glDisable(test);
    glViewport(fit.x, fit.y, fit.width, fit.height);
    glUseProgram(program);
    glUniform2f(rectSizeUniform, GLfloat(fit.width), GLfloat(fit.height));
    glUniform1f(wholeScaleUniform, GLfloat(fit.wholeScale));
    glBindTexture(GL_TEXTURE_2D, colour);
    drawUnitSquare();
    glUseProgram(GLuint(previous));
    glPopAttrib();
}

}  // namespace

bool makeOffscreenTarget(OffscreenTarget& target, int width, int height, bool withDepth) {
    target.width = width;
    target.height = height;
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    // The colour as a texture, so that the scaling can sample it; the
    // binding it changes is put back.
    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGenTextures(1, &target.colour);
    glBindTexture(GL_TEXTURE_2D, target.colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    for (GLenum name : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER})
        glTexParameteri(GL_TEXTURE_2D, name, GL_NEAREST);
    for (GLenum name : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T})
        glTexParameteri(GL_TEXTURE_2D, name, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, GLuint(boundTexture));
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.colour, 0);
    if (withDepth) {
        glGenRenderbuffers(1, &target.depth);
        glBindRenderbuffer(GL_RENDERBUFFER, target.depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  target.depth);
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
    releaseOffscreenTarget(target);
    return false;
}

void releaseOffscreenTarget(OffscreenTarget& target) {
    if (target.framebuffer == 0) return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &target.framebuffer);
    glDeleteTextures(1, &target.colour);
    if (target.depth != 0) glDeleteRenderbuffers(1, &target.depth);
    target = OffscreenTarget{};
}

bool openPictureTarget(std::string& error) {
    if (!makeOffscreenTarget(picture, pictureWidth, pictureHeight, true)) {
        error = "the GL driver cannot make a 640x480 offscreen framebuffer";
        return false;
    }
    // Defined contents to start from, without changing any state a scene
    // relies on.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void bindPictureTarget() { glBindFramebuffer(GL_FRAMEBUFFER, picture.framebuffer); }

unsigned pictureFramebuffer() { return picture.framebuffer; }
unsigned pictureTexture() { return picture.colour; }

void closePictureTarget() {
    closeFlashFilter();
    if (sharpProgram != 0) glDeleteProgram(sharpProgram);
    sharpProgram = 0;
    sharpProgramTried = false;
    releaseOffscreenTarget(picture);
}

void scalePicture(unsigned output, int outputWidth, int outputHeight) {
    const PictureFit fit = fitPicture(outputWidth, outputHeight);
    const bool scissorWasOn = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    GLint scissorBox[4];
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);

    // The bars around the rectangle, black.
    glBindFramebuffer(GL_FRAMEBUFFER, output);
    glEnable(GL_SCISSOR_TEST);
    const int right = fit.x + fit.width, top = fit.y + fit.height;
    clearBar(0, 0, fit.x, outputHeight);
    clearBar(right, 0, outputWidth - right, outputHeight);
    clearBar(fit.x, 0, fit.width, fit.y);
    clearBar(fit.x, top, fit.width, outputHeight - top);
    glDisable(GL_SCISSOR_TEST);

    // The picture: a whole scale is nearest-neighbour alone, a plain blit;
    // any other is drawn sharply by the program, or linearly where there is
    // none. With reduced flashing, the filter's shown picture.
    const OffscreenTarget& source = filteredPicture() ? *filteredPicture() : picture;
    if (fit.width > 0 && fit.height > 0) {
        const bool whole = fit.width == pictureWidth * fit.wholeScale &&
                           fit.height == pictureHeight * fit.wholeScale;
        const GLuint program = whole ? 0 : sharpScalingProgram();
        if (program != 0) {
            drawSharply(program, fit, source.colour);
        } else {
            glBindFramebuffer(GL_READ_FRAMEBUFFER, source.framebuffer);
            glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, fit.x, fit.y, right, top,
                              GL_COLOR_BUFFER_BIT, whole ? GL_NEAREST : GL_LINEAR);
            glBindFramebuffer(GL_FRAMEBUFFER, output);
        }
    }

    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (scissorWasOn) glEnable(GL_SCISSOR_TEST);
}

}  // namespace demo
