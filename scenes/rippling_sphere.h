// The rippling sphere's shell: the band, the per-frame tables of the
// rippled squared distance and the sample loop.
//
// scene6 is the only user at show time; they are declared here so that tests
// can check each on its own.
#pragma once

#include "scenes/lattice.h"

namespace demo {

// Whether a value of the rippled squared distance lies in the band that draws
// a cube: at elapsedMs 0 the shell between the radii 0.9487 and 1.0488.
// NOTE: both bounds are strict: exactly 0.9 or 1.1 draws nothing.
inline bool inSphereShellBand(double v) { return 0.9 < v && v < 1.1; }

// The terms of the rippled squared distance at one frame that depend on one
// coordinate only, by draw: the square of the coordinate and the three
// ripples (d x 3e-12) cos(14 z + Pz), 3e-8 cos(4 y + Py), 5e-5 sin(5 x + Px).
struct SphereShellTables {
    double squareOf[drawValues];
    double zRipple[drawValues], yRipple[drawValues], xRipple[drawValues];
};

// The tables for the frame at elapsedMs: the ripple phases computed once,
// then every term for the 100 draws.
void fillSphereShellTables(int elapsedMs, SphereShellTables& tables);

// The rippled squared distance at the lattice point of the draws (ix, iy,
// iz), for the frame at d = elapsedMs. NOTE: the definition's sums and
// products in the definition's order, each one-coordinate term looked up, so
// the value is bit-identical to computing it outright.
inline double sphereField(const SphereShellTables& t, double d, int ix, int iy, int iz) {
    return t.squareOf[ix] + t.squareOf[iy] + t.squareOf[iz] +
           d * (d * (t.zRipple[iz] + t.yRipple[iy]) + t.xRipple[ix]);
}

// The shell's sample loop: 240,000 rand() calls (x, y, z of 80,000 samples)
// and one rotated box per sample in the band, turned back by the frame's
// angle. GL state: expects GL_MODELVIEW current with the cloud's frame on it.
void sampleSphereShell(int elapsedMs);

}  // namespace demo
