// The greetings scene's table of names and its blob shell: the band, the
// per-frame tables of the field and the sample loop.
//
// scene5 is the only user at show time; they are declared here so that tests
// can check each on its own.
#pragma once

#include "scenes/lattice.h"

namespace demo {

constexpr int greetingCount = 34;

// The greetings, one picked at random every frame: lower-case letters and
// single spaces, 2 to 16 characters. Rows 15, 26 and 27 point to the same
// strings as rows 5, 20 and 21, so those three come up twice as often; the
// other 31 rows are distinct. Every character needs a glyph in the font.
extern const char* const greetingNames[greetingCount];

// Whether a value of the three-blob field lies in the band that draws a cube.
// NOTE: both bounds are strict: exactly 2.2 or 3.3 draws nothing.
inline bool inBlobShellBand(double v) { return 2.2 < v && v < 3.3; }

// The terms of the blob field at one frame that depend on one coordinate
// only, by draw: the squared distance along each axis from each centre,
// (Ci - c)^2 for c = x, y, z, and the ripple 0.25 sin(5x + T + 1).
struct BlobShellTables {
    double dx1[drawValues], dy1[drawValues], dz1[drawValues];
    double dx2[drawValues], dy2[drawValues], dz2[drawValues];
    double dx3[drawValues], dy3[drawValues], dz3[drawValues];
    double rippleOf[drawValues];
};

// The tables for the frame at elapsedMs: the three centres and the ripple
// phase T (radians) computed once, then every term for the 100 draws.
void fillBlobShellTables(int elapsedMs, BlobShellTables& tables);

// The field 1/S1 + 1/S2 + 1/S3 + ripple at the lattice point of the draws
// (ix, iy, iz). NOTE: the definition's sums in the definition's order, each
// term looked up, so the value is bit-identical to computing it outright. A
// point on a centre makes its term infinite: never in the band.
inline double blobField(const BlobShellTables& t, int ix, int iy, int iz) {
    const double s1 = t.dx1[ix] + t.dy1[iy] + t.dz1[iz];
    const double s2 = t.dx2[ix] + t.dy2[iy] + t.dz2[iz];
    const double s3 = t.dx3[ix] + t.dy3[iy] + t.dz3[iz];
    return 1 / s1 + 1 / s2 + 1 / s3 + t.rippleOf[ix];
}

// The blob shell's sample loop: 240,000 rand() calls (x, y, z of 80,000
// samples) and one rotated box per sample in the band, turned back by the
// frame's angle. GL state: expects GL_MODELVIEW current with the cloud's
// frame on it.
void sampleBlobShell(int elapsedMs);

}  // namespace demo
