// The offscreen render target for tests. See gl_window.h.
#define GL_GLEXT_PROTOTYPES
#include "tests/support/gl_window.h"

#include <GL/glut.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>

#include "scenes/frame.h"
#include "shell/startup.h"

namespace glwindow {

namespace {
bool opened = false;
GLuint framebuffer = 0, colour = 0, depth = 0;
}  // namespace

bool open(const char** reason) {
    if (!opened) {
        if (std::getenv("DISPLAY") == nullptr) {
            if (reason) *reason = "no X display (DISPLAY is not set)";
            return false;
        }
        int argc = 1;
        char name[] = "render-test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(640, 480);
        glutCreateWindow("render-test");

        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 640, 480);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 640, 480);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            if (reason) *reason = "the offscreen render target is incomplete";
            return false;
        }
        opened = true;
    }
    // The show's start-up state, then its projection.
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_ONE, GL_ZERO);
    demo::setScreenProjection(640, 480);
    // Scenes present their frames as in the desktop program.
    demo::usePlatform(demo::desktopPlatform);
    return true;
}

std::vector<Rgb> readPixels() {
    glFinish();
    std::vector<Rgb> pixels(640 * 480);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgb pixel(const std::vector<Rgb>& pixels, int x, int y) { return pixels[y * 640 + x]; }

void clearAll(float r, float g, float b) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void writePpm(const std::vector<Rgb>& pixels, const char* path) {
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return;
    std::fprintf(f, "P6\n640 480\n255\n");
    for (int y = 479; y >= 0; --y)
        std::fwrite(&pixels[y * 640], 3, 640, f);
    std::fclose(f);
}

}  // namespace glwindow
