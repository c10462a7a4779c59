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

// Opens the window and the targets for pictures of width x height; false
// with a one-line reason in error. freeglut's own fatal errors (no display,
// no GLX visual) end the process with status 1 after one line naming the
// window.
bool openFrameReader(int width, int height, std::string& error);

// Binds the picture target: the next frame's target.
void bindFrameTarget();

// Reads the frame just drawn back into pixels, width x height rows bottom
// first (glReadPixels' order), scaled first when the size is not 640x480:
// RGB for a picture file, RGBA when withAlpha (the video encoder's input,
// which the driver reads back without a conversion: a third of the time).
void readFrame(std::uint8_t* pixels, bool withAlpha);

// Releases the targets, the window and GLUT, so that the GL driver frees
// what it holds before the process ends. Does nothing when not open.
void closeFrameReader();

}  // namespace demo
