// The capture: the show rendered deterministically, frame by frame, on a
// virtual clock, with its music rendered offline in lockstep.
//
// It runs what the demo runs (the scene table and its sequencer step, the
// scenes, the generator from state 1, the font) in a 640x480 GLUT window on
// the current X display, drawing into the picture target that it reads
// back, scaled first where the options ask for another size
// (capture/frame_reader.h). How the frames follow the music and where the
// capture stops: capture/session.h.
#pragma once

#include "capture/options.h"

namespace demo {

// Runs the capture; returns the exit status: 0 when everything asked for was
// written, 1 after printing one line "demo-capture: ..." to standard error.
// Call once per process: the show's state (generator, particles, sequencer)
// starts where the process started it.
int runCapture(const CaptureOptions& options);

}  // namespace demo
