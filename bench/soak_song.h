// The soak run's module: the show's six scenes' twelve orders and no order
// 12, so the show never reaches its quit row and plays until a key.
//
// Each order is 64 rows at speed 6, tempo 38 (25.26 s), so the six scenes
// take about 50 s each and the looping module then keeps the last scene on
// screen (its elapsedMs growing) for the rest of the run. Order k strikes one
// soft tone of note 48 + 2k at its first row.
#pragma once

#include "assets/song/module_writer.h"

namespace bench {

constexpr int soakOrders = 12;
constexpr double soakOrderSeconds = 64 * 6 * 2.5 / 38;

demo::Module composeSoakSong();

}  // namespace bench
