// The picture target and the sharp scaler. See picture_target.h.
#define GL_GLEXT_PROTOTYPES
#include "shell/picture_target.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdint>

#include "shell/show_facts.h"

namespace demo {

namespace {

OffscreenTarget picture;
// The picture scaled by a whole number, 640k x 480k; made when first needed
// and again when k changes.
OffscreenTarget intermediate;

// Clears a bar of the output black through the scissor box, without touching
// the clear colour. The caller has enabled the scissor test.
void clearBar(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    static const GLfloat black[4] = {0, 0, 0, 1};
    glScissor(x, y, width, height);
    glClearBufferfv(GL_COLOR, 0, black);
}

// The intermediate at 640k x 480k; false when the driver cannot make it.
bool intermediateOfScale(int k) {
    const int width = pictureWidth * k, height = pictureHeight * k;
    if (intermediate.framebuffer != 0 && intermediate.width == width &&
        intermediate.height == height)
        return true;
    releaseOffscreenTarget(intermediate);
    return makeOffscreenTarget(intermediate, width, height, false);
}

}  // namespace

bool makeOffscreenTarget(OffscreenTarget& target, int width, int height, bool withDepth) {
    target.width = width;
    target.height = height;
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glGenRenderbuffers(1, &target.colour);
    glBindRenderbuffer(GL_RENDERBUFFER, target.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, target.colour);
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
    glDeleteRenderbuffers(1, &target.colour);
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

void closePictureTarget() {
    releaseOffscreenTarget(intermediate);
    releaseOffscreenTarget(picture);
}

void scalePicture(unsigned output, int outputWidth, int outputHeight) {
    const PictureFit fit = fitPicture(outputWidth, outputHeight);
    const bool scissorWasOn = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    GLint scissorBox[4];
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox);

    // The intermediate first: making it binds it.
    const int k = fit.wholeScale;
    const int sharpWidth = pictureWidth * k, sharpHeight = pictureHeight * k;
    const bool exact = fit.width == sharpWidth && fit.height == sharpHeight;
    const bool viaIntermediate =
        fit.width > 0 && fit.height > 0 && !exact && k > 1 && intermediateOfScale(k);

    // The bars around the rectangle, black.
    glBindFramebuffer(GL_FRAMEBUFFER, output);
    glEnable(GL_SCISSOR_TEST);
    const int right = fit.x + fit.width, top = fit.y + fit.height;
    clearBar(0, 0, fit.x, outputHeight);
    clearBar(right, 0, outputWidth - right, outputHeight);
    clearBar(fit.x, 0, fit.width, fit.y);
    clearBar(fit.x, top, fit.width, outputHeight - top);
    glDisable(GL_SCISSOR_TEST);

    // The picture: nearest-neighbour by k, then linear for the rest.
    if (fit.width > 0 && fit.height > 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.framebuffer);
        if (exact) {
            glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, fit.x, fit.y, right, top,
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
        } else if (viaIntermediate) {
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, intermediate.framebuffer);
            glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, 0, 0, sharpWidth, sharpHeight,
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
            glBindFramebuffer(GL_READ_FRAMEBUFFER, intermediate.framebuffer);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, output);
            glBlitFramebuffer(0, 0, sharpWidth, sharpHeight, fit.x, fit.y, right, top,
                              GL_COLOR_BUFFER_BIT, GL_LINEAR);
        } else {
            // Under 2x, or no intermediate to be had: linear from the picture.
            glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, fit.x, fit.y, right, top,
                              GL_COLOR_BUFFER_BIT, GL_LINEAR);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, output);
    }

    glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    if (scissorWasOn) glEnable(GL_SCISSOR_TEST);
}

}  // namespace demo
