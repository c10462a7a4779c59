// The capture's shell: the show rendered deterministically, frame by frame,
// on a virtual clock, with its music rendered offline in lockstep.
//
// It runs what the demo runs (the scene table and its sequencer step, the
// scenes, the generator from state 1, the font) in a 640x480 GLUT window on
// the current X display (capture/gl_window.h), drawing into the picture
// target that it reads back, scaled first where the options ask for another
// size (capture/frame_pipe.h). How the frames follow the music and where the
// capture stops: capture/session.h; what a run opens and how it ends:
// capture/capture_run.h.
#pragma once

#include "capture/options.h"

namespace demo {

// Runs a capture; returns the exit status: 0 when everything asked for was
// written, 1 after printing one line "demo-capture: ..." to standard error,
// 128 + a signal's number when one ended it. Runs may follow one another in
// one process: each starts the show from the top, and leaves the process's
// GL window open for the next (closeCaptureWindow, capture/gl_window.h).
int runCapture(const CaptureOptions& options);

}  // namespace demo
