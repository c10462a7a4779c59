// The X display the programs draw on, as a process sees it: whether there
// is one, what kind of server it is, and a connection to it that is lost.
//
// Both programs draw through GLUT on an X display. GLUT's own words for a
// display that cannot be opened ("failed to open display ''") and Xlib's for
// one that goes away ("XIO: fatal IO error ... on X server") do not name the
// program, and Xlib's default for a lost connection calls exit(), past every
// cleanup; these calls put the programs' own words and ending in their
// place.
#pragma once

#include <string>

namespace demo {

// What probeDisplay found.
struct DisplayFacts {
    // The server is Xwayland, the X server of a Wayland desktop: its screen
    // modes are only emulated (the compositor scales the window anyway), and
    // switching them has brought some such servers down.
    bool xwayland = false;
};

// Opens the X display name (DISPLAY's when name is null), looks at its
// server and closes it again. False with a one-line reason naming DISPLAY
// (or -display) when there is no display name, or it cannot be opened.
//
// Xwayland is told by its XWAYLAND extension (Xwayland 23.1 on) or, on older
// servers, by the names of its RandR outputs, which Xwayland alone calls
// XWAYLAND0, XWAYLAND1, ...: its vendor string is the X.Org Foundation's,
// as for any X.Org server.
bool probeDisplay(const char* name, DisplayFacts& facts, std::string& error);

// From now on a lost connection to the X display name (DISPLAY's when null;
// its server ended, a remote session closed) prints "<program>: lost the
// connection to the X display <name> (...)" and ends the process as an
// untimely signal does (endWithoutCleanStop: scratch files removed, the
// child killed), with status 1, whichever thread finds it. A thread of its
// own watches a connection of its own, so that the loss is found at once
// even by a program that draws offscreen and asks nothing of the server for
// minutes (the capture). Call once, before GLUT opens the display.
void catchDisplayLoss(const char* name);

// From now on the X server's protocol errors are not printed (Xlib's own
// handler prints several lines and exits): for a program that has said in
// its own line why it ends, and is ending.
void quietDisplayErrors();

}  // namespace demo
