// The show's fixed facts, each written down once: the music's timeline and
// the name of the song's file. Every program of the project (the show, the
// capture, the song generator, the benchmarks and the tests) takes them from
// here. It includes nothing, so that any file may include it.
//
// Facts owned lower down stay there: the 640x480 picture every scene draws
// (scenes/frame.h), the font image's name (font/font.h), how the show plays
// its music (show/show_music.h).
#pragma once

namespace demo {

// The music is the clock: each of the six scenes plays for two orders of the
// module, and the show ends when the music reaches the quit order.
constexpr int scenesShown = 6;
constexpr unsigned ordersPerScene = 2;
constexpr unsigned quitOrder = scenesShown * ordersPerScene;  // 12

// The song, read from the working directory (or the installed data folder).
constexpr char songFileName[] = "demosong.it";

}  // namespace demo
