// The rippling sphere's shell band.
//
// scene6 is the only user at show time; the band is declared here so that
// tests can check its bounds.
#pragma once

namespace demo {

// Whether a value of the rippled squared distance lies in the band that draws
// a cube: at elapsedMs 0 the shell between the radii 0.9487 and 1.0488.
// NOTE: both bounds are strict: exactly 0.9 or 1.1 draws nothing.
inline bool inSphereShellBand(double v) { return 0.9 < v && v < 1.1; }

// The shell's sample loop, in two forms that issue exactly the same calls:
// 240,000 rand() calls (x, y, z of 80,000 samples) and one rotated box per
// sample in the band, turned back by the frame's angle. scene6 uses
// sampleSphereShell, which computes each ripple once per frame for the 100
// values its coordinate can take; sampleSphereShellReference is the loop
// written straight from the function's definition, for tests to compare with.
// GL state: expects GL_MODELVIEW current with the cloud's frame on it.
void sampleSphereShell(int elapsedMs);
void sampleSphereShellReference(int elapsedMs);

// The function's value at the lattice point of the draws (ix, iy, iz), 0..99
// each, for elapsedMs, as sampleSphereShell computes it from its tables; for
// tests that check it against the definition at every lattice point.
double sphereShellValue(int elapsedMs, int ix, int iy, int iz);

}  // namespace demo
