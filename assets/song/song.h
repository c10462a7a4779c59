// The show's music, composed in code: the song the viewer hears and a short
// module with the same order layout for end-to-end tests.
//
// Both follow the order layout the sequencer relies on: orders 0..11 carry
// the six scenes, two orders each, and order 12 ends the show the moment it
// is reached; after order 12 the module starts over from order 0.
#pragma once

#include "assets/song/module_writer.h"
#include "show/show_facts.h"

namespace demo {

// Orders of the show: six scenes of two orders, then the closing order.
constexpr int kSceneOrders = quitOrder;
constexpr int kShowOrders = quitOrder + 1;

// The show's song, "demosong.it".
Module composeSong();

// A module of one short tone per order, for tests and tools that need an
// order layout without the song: order k is one pattern of rows rows that
// strikes a 0.25 s sine tone (faded in and out over 5 ms) of note 48 + 2k at
// its first row, so audio alone tells the orders apart.
struct ToneModuleLayout {
    const char* name;
    int orders;
    int rows;
    int speed;
    int tempo;
    double amplitude;  // of the tone's sample, out of 32767
    int volume;        // of each note, 0..64
};
Module composeToneModule(const ToneModuleLayout& layout);

// A short module of kShowOrders orders lasting 0.5 s each (32 rows at speed
// 1, tempo 160), so the whole show passes in 6.5 s. Order k strikes one
// short tone of note 48 + 2k at its first row, so audio alone tells the
// orders apart.
Module composeTestModule();

}  // namespace demo
