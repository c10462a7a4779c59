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

}  // namespace demo
