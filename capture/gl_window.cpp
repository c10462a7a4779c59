// The capture's window and GL context. See gl_window.h.
#include "capture/gl_window.h"

#include <GL/freeglut.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "process/display.h"
#include "process/process.h"
#include "scenes/frame.h"

namespace demo {

namespace {

// The GLUT window holding the GL context, 0 while none is open. NOTE:
// file-scope because GLUT has one per process (gl_window.h).
int window = 0;

// freeglut's fatal errors (no display, no GLX visual) end the process; say
// so in our own words first.
void onGlutError(const char* format, va_list arguments) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    quietDisplayErrors();
    printError(std::string("cannot open the 640x480 window: ") + text + memoryLimitNote());
    std::exit(1);
}

// Quiet freeglut's warnings: standard error belongs to the progress bar.
void onGlutWarning(const char*, va_list) {}

}  // namespace

bool openCaptureWindow(std::string& error) {
    if (window != 0) return true;
    if (std::getenv("DISPLAY") == nullptr) {
        error = "no X display (DISPLAY is not set); run it under Xvfb, e.g. with xvfb-run";
        return false;
    }
    // NOTE: GLUT gets a command line of its own: ours is not its to read.
    int argc = 1;
    char name[] = "demo-capture";
    char* argv[] = {name, nullptr};
    glutInitErrorFunc(onGlutError);
    glutInitWarningFunc(onGlutWarning);
    quietStandardError();  // the GL driver's complaints: onGlutError says why
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(pictureWidth, pictureHeight);
    window = glutCreateWindow("demo-capture");
    restoreStandardError();
    return true;
}

void closeCaptureWindow() {
    if (window == 0) return;
    glutDestroyWindow(window);
    glutExit();
    window = 0;
}

}  // namespace demo
