// The show's fixed facts, each written down once: the picture, the music's
// timeline, how the music is loaded and the names of the data files. Every
// program of the project (the show, the capture, the song generator, the
// benchmarks and the tests) takes them from here.
#pragma once

#include <cstdint>

#include "music/player.h"

namespace demo {

// The picture every scene draws, in pixels: the 640x480 screen.
constexpr int pictureWidth = 640;
constexpr int pictureHeight = 480;

// The music is the clock: each of the six scenes plays for two orders of the
// module, and the show ends when the music reaches the quit order.
constexpr int scenesShown = 6;
constexpr std::uint32_t ordersPerScene = 2;
constexpr std::uint32_t quitOrder = scenesShown * ordersPerScene;  // 12

// The music: output rate in Hz, and the load flags (volume ramping, looping,
// all notes stopped when the position moves: 261).
constexpr std::uint32_t musicRate = 44100;
constexpr std::uint32_t musicLoadFlags = BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET;

// The data files, read from the working directory.
constexpr char songFileName[] = "demosong.it";
constexpr char fontFileName[] = "fontpre.tga";

}  // namespace demo
