// The capture: the show rendered deterministically, frame by frame, on a
// virtual clock, with its music rendered offline in lockstep.
//
// It runs what the demo runs (the scene table and its sequencer step, the
// scenes, the generator from state 1, the font) in a 640x480 GLUT window on
// the current X display, drawing into the picture target
// (shell/picture_target.h) that it reads back, scaled first where the
// options ask for another size. Before frame n the music is rendered through the audio frame at
// time n / fps, and the order and row reached there drive the sequencer; the scene's clock is n *
// 1000 / fps milliseconds, truncated. The capture stops at the quit row (frame q: frames 0 to q - 1
// exist) or at the end of the range, whichever comes first.
#pragma once

#include "capture/options.h"

namespace demo {

// Runs the capture; returns the exit status: 0 when everything asked for was
// written, 1 after printing one line "demo-capture: ..." to standard error.
// Call once per process: the show's state (generator, particles, sequencer)
// starts where the process started it.
int runCapture(const CaptureOptions& options);

}  // namespace demo
