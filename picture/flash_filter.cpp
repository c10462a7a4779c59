// The reduced-flashing filter. See flash_filter.h.
#define GL_GLEXT_PROTOTYPES
#include "picture/flash_filter.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "picture/flash_filter_shader.h"
#include "picture/shader_program.h"
#include "scenes/frame.h"

namespace demo {

namespace {

// The filter's state: the shown picture and the one before it (they trade
// places every frame), its program, and the clock of the last frame.
struct FlashFilter {
    OffscreenTarget shown[2];
    int current = 0;  // which of shown holds the picture shown now
    GLuint program = 0;
    GLint shareUniform = -1;
    bool started = false;
    int lastClockMs = 0;
};
FlashFilter filter;

GLuint linkedProgram() {
    return linkedShaderProgram(flashFilterVertex, "#define SAMPLE(s, uv) texture2D(s, uv)\n",
                               flashFilterFragment);
}

}  // namespace

bool openFlashFilter(std::string& error) {
    closeFlashFilter();
    const bool made = makeOffscreenTarget(filter.shown[0], pictureWidth, pictureHeight, false) &&
                      makeOffscreenTarget(filter.shown[1], pictureWidth, pictureHeight, false);
    filter.program = made ? linkedProgram() : 0;
    bindPictureTarget();
    if (filter.program == 0) {
        closeFlashFilter();
        error = made ? "the GL driver cannot make the reduced-flashing filter's GLSL 1.20 program"
                     : "the GL driver cannot make the reduced-flashing filter's framebuffers";
        return false;
    }
    const GLint pictureSampler = glGetUniformLocation(filter.program, "picture");
    const GLint shownSampler = glGetUniformLocation(filter.program, "shown");
    filter.shareUniform = glGetUniformLocation(filter.program, "share");
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(filter.program);
    glUniform1i(pictureSampler, 0);
    glUniform1i(shownSampler, 1);
    glUseProgram(GLuint(previous));
    return true;
}

void filterPicture(int clockMs) {
    if (filter.program == 0) return;
    const float share = flashFilterShare((clockMs - filter.lastClockMs) / 1000.0, !filter.started);
    filter.started = true;
    filter.lastClockMs = clockMs;
    const OffscreenTarget& before = filter.shown[filter.current];
    const OffscreenTarget& after = filter.shown[1 - filter.current];

    // One quad over the next shown picture, from the frame and the last.
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_TEXTURE_BIT);
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    for (GLenum test : {GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE, GL_SCISSOR_TEST})
        glDisable(test);
    glBindFramebuffer(GL_FRAMEBUFFER, after.framebuffer);
    glViewport(0, 0, pictureWidth, pictureHeight);
    glUseProgram(filter.program);
    glUniform1f(filter.shareUniform, share);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, before.colour);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, pictureTexture());
    drawUnitSquare();
    glUseProgram(GLuint(previous));
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glPopAttrib();
    filter.current = 1 - filter.current;

    bindPictureTarget();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, after.framebuffer);
}

const OffscreenTarget* filteredPicture() {
    return filter.program != 0 ? &filter.shown[filter.current] : nullptr;
}

void closeFlashFilter() {
    if (filter.program != 0) glDeleteProgram(filter.program);
    releaseOffscreenTarget(filter.shown[0]);
    releaseOffscreenTarget(filter.shown[1]);
    filter = FlashFilter{};
}

}  // namespace demo
