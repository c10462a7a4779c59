// The soak run's module: the show's six scenes' twelve orders and no order
// 12, so the show never reaches its quit row and plays until a key.
//
// Each order is 64 rows at speed 3, tempo 107 (4.49 s), so the six scenes
// take about 9 s each and all of them have been shown within the run's first
// minute, when the soak run starts to watch the memory (a scene's first
// frames raise the driver's buffers to what that scene needs). The looping
// module then keeps the last scene on screen, its elapsedMs growing, for the
// rest of the run. Order k strikes one soft tone of note 48 + 2k at its first
// row.
#pragma once

#include "assets/song/module_writer.h"
#include "show/show_facts.h"

namespace bench {

// Every order of the six scenes, and not the quit order.
constexpr int soakOrders = demo::quitOrder;
constexpr double soakOrderSeconds = 64 * 3 * 2.5 / 107;

demo::Module composeSoakSong();

}  // namespace bench
