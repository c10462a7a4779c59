// The five-lobed shell's sample loop, on its own so that tests can run it
// apart from the rest of scene 2's frame.
//
// It takes 240,000 rand() calls (d1, d2, d3 of 80,000 samples) and draws one
// rotated box, turned back by the frame's angle, per sample whose radius
// lies in the shell's thin band. Every sine and cosine comes from tables of
// the 100 values a draw can take, made on the first call. GL state: expects
// GL_MODELVIEW current with the shell's frame on it; leaves the matrix as
// found.
#pragma once

namespace demo {

void sampleLobedShell(int elapsedMs);

}  // namespace demo
