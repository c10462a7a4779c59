// The capture's GL side: a 640x480 GLUT window on the current X display
// with the picture target (picture/picture_target.h) bound, the output
// target the picture is scaled onto for a size other than 640x480, and
// reading finished frames back.
//
// The window is set up as the desktop program sets its screen: flat shading,
// back faces culled, the 640x480 projection. The scenes' state passes from
// frame to frame untouched.
#pragma once

#include <cstdint>
#include <string>

namespace demo {

// Opens the window and the targets for pictures of width x height, read
// back as RGB, or RGBA when withAlpha (the video encoder's input, which the
// driver reads back without a conversion); false with a one-line reason in
// error. freeglut's own fatal errors (no display, no GLX visual) end the
// process with status 1 after one line naming the window.
bool openFrameReader(int width, int height, bool withAlpha, std::string& error);

// Binds the picture target: the next frame's target.
void bindFrameTarget();

// The read-back runs a frame behind, so that the driver draws the next
// frame while it copies this one: startFrameRead asks for the frame just
// drawn, scaled first when the size is not 640x480, and finishFrameRead
// copies the oldest frame asked for into pixels (width x height rows bottom
// first, glReadPixels' order) once the next is under way, or at the end.
// framesBeingRead says how many are waiting (0 or 1 after a finish).
void startFrameRead(std::int64_t frame);
int framesBeingRead();
// Copies the oldest frame asked for into pixels; returns its number, or -1
// when the driver could not hand it over.
std::int64_t finishFrameRead(std::uint8_t* pixels);

// Releases the targets, the window and GLUT, so that the GL driver frees
// what it holds before the process ends. Does nothing when not open.
void closeFrameReader();

}  // namespace demo
