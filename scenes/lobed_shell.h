// The five-lobed shell's sample loop, in two forms that issue exactly the
// same calls.
//
// scene2 draws its shell with sampleLobedShell, which looks every sine and
// cosine up in tables of the 100 lattice values per draw, filled once per
// run (none of them depends on the time). sampleLobedShellReference is the
// loop written straight from the shell's definition; tests run both from the
// same generator state and compare the recorded calls.
//
// Both take 240,000 rand() calls (d1, d2, d3 of 80,000 samples) and draw one
// rotated box, turned back by the frame's angle, per accepted sample. GL
// state: expects GL_MODELVIEW current with the shell's frame on it; leaves
// the matrix as found.
#pragma once

namespace demo {

void sampleLobedShell(int elapsedMs);
void sampleLobedShellReference(int elapsedMs);

}  // namespace demo
