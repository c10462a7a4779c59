// Reduced flashing: the picture shown through a temporal filter.
//
// The show flickers by design (panels that jump every frame, clusters of
// cubes scattered anew every frame). For a viewer who must avoid flashing,
// the picture shown is not each new frame but a running blend: every frame
// moves it part of the way towards the new one (flash_filter_shader.h), the
// part growing with the time since the last frame, so the filter is the same
// at any frame rate. Quick reversals of brightness over large areas, which
// are what flashing is, are smoothed into gentle changes; a steady picture
// comes through unchanged and a change that stays arrives within a few
// tenths of a second.
//
// The scenes draw into the picture target as always: the filter reads the
// finished frame and writes the shown picture into a target of its own,
// which scalePicture (picture_target.h) then scales in place of the frame.
// No scene's GL calls change. Needs the picture target open and GLSL 1.20;
// one filter per process, owned by this module and closed with the picture
// target.
#pragma once

#include <string>

#include "picture/picture_target.h"

namespace demo {

// Makes the filter's two 640x480 targets and its program on the current
// context, after openPictureTarget, and leaves the picture target bound. False with a one-line
// reason in error when the driver cannot: the show must then not be shown unfiltered.
bool openFlashFilter(std::string& error);

// Moves the shown picture towards the frame in the picture target; clockMs
// is the show's clock now (only differences matter; the first frame is shown
// as it is). Leaves the picture target bound for drawing and the shown
// picture bound for reading (GL_READ_FRAMEBUFFER); only its own state
// changes otherwise, as scalePicture's.
void filterPicture(int clockMs);

// The shown picture's target while the filter is open, else nullptr.
const OffscreenTarget* filteredPicture();

// Releases the filter; closePictureTarget calls it.
void closeFlashFilter();

}  // namespace demo
