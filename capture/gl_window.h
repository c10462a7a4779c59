// The capture's GL context: a 640x480 GLUT window on the current X display,
// never shown to anyone; the show draws into the picture target
// (picture/picture_target.h), not into the window.
//
// One per process: GLUT keeps one set of windows and one main loop for the
// process, so the window is opened by the first run that needs it and kept
// for the next, and closed once before the process ends.
#pragma once

#include <string>

namespace demo {

// Opens the window and makes its GL context current, when not open yet;
// false with a one-line reason in error (no X display). freeglut's own
// fatal errors (no GLX visual, a display that refuses us) end the process
// with status 1 after one line naming the window.
bool openCaptureWindow(std::string& error);

// Closes the window and GLUT, so that the GL driver frees what it holds
// before the process ends. Does nothing when not open.
void closeCaptureWindow();

}  // namespace demo
