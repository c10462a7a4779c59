// The offscreen render target for tests. See gl_window.h.
#define GL_GLEXT_PROTOTYPES
#include "tests/support/gl_window.h"

#include <GL/glut.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "scenes/frame.h"
#include "picture/picture_target.h"
#include "desktop/desktop_shell.h"

namespace glwindow {

namespace {
bool opened = false;
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

        static std::string problem;
        if (!demo::openPictureTarget(problem)) {
            if (reason) *reason = problem.c_str();
            return false;
        }
        opened = true;
    }
    demo::bindPictureTarget();
    // GL's initial values for what a test before may have changed, then the
    // state the show starts from.
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_ONE, GL_ZERO);
    demo::setStartGlState();
    // Scenes present their frames as in the desktop program.
    demo::usePlatform(demo::desktopPlatform);
    return true;
}

std::vector<Rgb> readPixels() { return readFramebuffer(demo::pictureFramebuffer(), 640, 480); }

std::vector<Rgb> readFramebuffer(unsigned framebuffer, int width, int height) {
    glFinish();
    std::vector<Rgb> pixels(std::size_t(width) * height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
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
