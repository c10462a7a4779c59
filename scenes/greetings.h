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

}  // namespace demo
