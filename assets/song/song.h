// The show's music, composed in code: the song the viewer hears and a short
// module with the same order layout for end-to-end tests.
//
// Both follow the order layout the sequencer relies on: orders 0..11 carry
// the six scenes, two orders each, and order 12 ends the show the moment it
// is reached; after order 12 the module starts over from order 0.
#pragma once

#include "assets/song/module_writer.h"

namespace demo {

// Orders of the show: six scenes of two orders, then the closing order.
constexpr int kSceneOrders = 12;
constexpr int kShowOrders = 13;

// The show's song, "demosong.it".
Module composeSong();

// A short module of kShowOrders orders lasting 0.5 s each (32 rows at speed
// 1, tempo 160), so the whole show passes in 6.5 s. Order k strikes one
// short tone of note 48 + 2k at its first row, so audio alone tells the
// orders apart.
Module composeTestModule();

}  // namespace demo
