// The X display as the tests' programs see it: always there, never lost,
// and Xwayland's when a test says so. Stands in for process/display.h.
#pragma once

namespace fakedisplay {

// What probeDisplay reports next; false after reset.
extern bool xwayland;
void reset();

}  // namespace fakedisplay
