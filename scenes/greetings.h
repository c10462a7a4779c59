// The greetings scene's table of names and its shell band.
//
// scene5 is the only user at show time; both are declared here so that tests
// can check the table and the band's bounds.
#pragma once

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

// The blob shell's sample loop, in two forms that issue exactly the same
// calls: 240,000 rand() calls (x, y, z of 80,000 samples) and one rotated
// box per sample in the band, turned back by the frame's angle. scene5 uses
// sampleBlobShell, which computes the terms of one coordinate once per frame
// for the 100 values it can take; sampleBlobShellReference is the loop
// written straight from the field's definition, for tests to compare with.
// GL state: expects GL_MODELVIEW current with the cloud's frame on it.
void sampleBlobShell(int elapsedMs);
void sampleBlobShellReference(int elapsedMs);

// The field value at the lattice point of the draws (ix, iy, iz), 0..99 each,
// for elapsedMs, as sampleBlobShell computes it from its tables; for tests
// that check it against the field's definition at every lattice point.
double blobShellValue(int elapsedMs, int ix, int iy, int iz);

}  // namespace demo
