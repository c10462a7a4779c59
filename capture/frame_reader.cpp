// The capture's window, targets and read-back. See frame_reader.h.
#define GL_GLEXT_PROTOTYPES
#include "capture/frame_reader.h"

#include <GL/freeglut.h>
#include <GL/glext.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "picture/picture_target.h"
#include "process/process.h"
#include "scenes/frame.h"
#include "show/platform.h"

namespace demo {

namespace {

int window = 0;
// The target the picture is scaled onto for another size (the picture
// target itself is picture_target's).
OffscreenTarget output;
int outputWidth = pictureWidth, outputHeight = pictureHeight;
GLenum readFormat = GL_RGB;
std::size_t frameBytes = 0;

// Two pixel buffer objects: the frame being read and the one before it,
// with the frame number each holds (-1: none), oldest first.
GLuint readBuffers[2] = {0, 0};
std::int64_t readFrames[2] = {-1, -1};
int nextReadBuffer = 0;

bool scaled() { return outputWidth != pictureWidth || outputHeight != pictureHeight; }

// freeglut's fatal errors (no display, no GLX visual) end the process; say
// so in our own words first.
void onGlutError(const char* format, va_list arguments) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    printError(std::string("cannot open the 640x480 window: ") + text);
    std::exit(1);
}

// Quiet freeglut's warnings: standard error belongs to the progress bar.
void onGlutWarning(const char*, va_list) {}

}  // namespace

bool openFrameReader(int width, int height, bool withAlpha, std::string& error) {
    if (std::getenv("DISPLAY") == nullptr) {
        error = "no X display (DISPLAY is not set); run it under Xvfb, e.g. with xvfb-run";
        return false;
    }
    outputWidth = width;
    outputHeight = height;
    readFormat = withAlpha ? GL_RGBA : GL_RGB;
    frameBytes = std::size_t(width) * std::size_t(height) * (withAlpha ? 4 : 3);

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
    glGenBuffers(2, readBuffers);
    for (GLuint buffer : readBuffers) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(frameBytes), nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    readFrames[0] = readFrames[1] = -1;
    nextReadBuffer = 0;

    setStartGlState();
    return true;
}

void bindFrameTarget() { bindPictureTarget(); }

void startFrameRead(std::int64_t frame) {
    if (scaled()) scalePicture(output.framebuffer, outputWidth, outputHeight);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, readBuffers[nextReadBuffer]);
    glReadPixels(0, 0, outputWidth, outputHeight, readFormat, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    readFrames[nextReadBuffer] = frame;
    nextReadBuffer = 1 - nextReadBuffer;
}

int framesBeingRead() { return (readFrames[0] >= 0) + (readFrames[1] >= 0); }

std::int64_t finishFrameRead(std::uint8_t* pixels) {
    // The oldest: the one after the next to be used, when it holds a frame.
    const int oldest = readFrames[nextReadBuffer] >= 0 ? nextReadBuffer : 1 - nextReadBuffer;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, readBuffers[oldest]);
    std::int64_t frame = readFrames[oldest];
    readFrames[oldest] = -1;
    if (const void* mapped = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY)) {
        std::memcpy(pixels, mapped, frameBytes);
        if (glUnmapBuffer(GL_PIXEL_PACK_BUFFER) != GL_TRUE) frame = -1;  // the copy may be damaged
    } else {
        frame = -1;
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    return frame;
}

void closeFrameReader() {
    if (window == 0) return;
    glDeleteBuffers(2, readBuffers);
    closePictureTarget();
    releaseOffscreenTarget(output);
    glutDestroyWindow(window);
    glutExit();
    window = 0;
}

}  // namespace demo
