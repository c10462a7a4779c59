// The six scenes of the show, in play order. Each is a SceneFn: it draws one
// complete frame for elapsedMs (see scenes/frame.h).
#pragma once

namespace demo {

void scene1(int elapsedMs);  // cube cluster with block signature (orders 0-1)
void scene2(int elapsedMs);  // five-lobed shell of cubes (orders 2-3)
void scene3(int elapsedMs);  // cube tunnel (orders 4-5)
void scene4(int elapsedMs);  // particle fountain (orders 6-7)
void scene5(int elapsedMs);  // greetings over a blob shell (orders 8-9)
void scene6(int elapsedMs);  // rippling sphere shell (orders 10-11)

}  // namespace demo
