// How the show plays its music: the output rate and the load flags it passes
// to the music layer (music/player.h), the same for the desktop program, the
// capture and the web page.
#pragma once

#include <cstdint>

#include "music/player.h"

namespace demo {

// Output rate in Hz.
constexpr std::uint32_t musicRate = 44100;

// Volume ramping, looping, all notes stopped when the position moves (261).
constexpr std::uint32_t musicLoadFlags = BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET;

}  // namespace demo
