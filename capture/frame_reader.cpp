// The capture's window, targets and read-back. See frame_reader.h.
#define GL_GLEXT_PROTOTYPES
#include "capture/frame_reader.h"

#include <GL/freeglut.h>
#include <GL/glext.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "picture/picture_target.h"
#include "process/process.h"
#include "scenes/frame.h"

namespace demo {

namespace {

int window = 0;
// The target the picture is scaled onto for another size (the picture
// target itself is picture_target's).
OffscreenTarget output;
int outputWidth = pictureWidth, outputHeight = pictureHeight;

bool scaled() { return outputWidth != pictureWidth || outputHeight != pictureHeight; }

// freeglut's fatal errors (no display, no GLX visual) end the process; say
// so in our own words first.
void onGlutError(const char* format, va_list arguments) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    std::fprintf(stderr, "%s: cannot open the 640x480 window: %s\n", programName(), text);
    std::exit(1);
}

// Quiet freeglut's warnings: standard error belongs to the progress bar.
void onGlutWarning(const char*, va_list) {}

}  // namespace

bool openFrameReader(int width, int height, std::string& error) {
    if (std::getenv("DISPLAY") == nullptr) {
        error = "no X display (DISPLAY is not set); run it under Xvfb, e.g. with xvfb-run";
        return false;
    }
    outputWidth = width;
    outputHeight = height;

    // NOTE: GLUT gets a command line of its own: ours is not its to read.
    int argc = 1;
    char name[] = "demo-capture";
    char* argv[] = {name, nullptr};
    glutInitErrorFunc(onGlutError);
    glutInitWarningFunc(onGlutWarning);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(pictureWidth, pictureHeight);
    window = glutCreateWindow("demo-capture");

    if (scaled() && !makeOffscreenTarget(output, width, height, false)) {
        error = "the GL driver cannot make a " + std::to_string(width) + "x" +
                std::to_string(height) + " offscreen framebuffer";
        return false;
    }
    // The picture target last: it stays bound.
    if (!openPictureTarget(error)) return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    // The desktop program's start-up state, then the projection its reshape
    // callback sets.
    glShadeModel(GL_FLAT);
    glEnable(GL_CULL_FACE);
    setScreenProjection(pictureWidth, pictureHeight);
    return true;
}

void bindFrameTarget() { bindPictureTarget(); }

void readFrame(std::uint8_t* pixels, bool withAlpha) {
    if (scaled()) scalePicture(output.framebuffer, outputWidth, outputHeight);
    glReadPixels(0, 0, outputWidth, outputHeight, withAlpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                 pixels);
}

void closeFrameReader() {
    if (window == 0) return;
    closePictureTarget();
    releaseOffscreenTarget(output);
    glutDestroyWindow(window);
    glutExit();
    window = 0;
}

}  // namespace demo
