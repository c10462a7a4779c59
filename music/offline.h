// Offline rendering of the show's music, for a capture tool that writes the
// show to video: the same module, opened with exactly the same settings as
// the player (module.h), rendered as fast as the caller asks instead of in
// real time, with no audio device.
//
// Output: interleaved stereo int16 (left, right) at the rate the module was
// opened with: offlineRate Hz, the desktop program's own, unless asked. The
// position reported is that of the last frame rendered (order 0, row 0
// before the first), packed like BASSMOD_MusicGetPosition's (order low 16
// bits, row high 16 bits): a caller that reads it before rendering each chunk
// sees what the player reports while that chunk is heard.
//
// One module at a time, kept in this file; main thread only, independent of
// the player's state.
#pragma once

#include <cstddef>
#include <cstdint>

namespace demo {

constexpr std::int32_t offlineRate = 44100;
// The rates a module may be rendered at.
constexpr std::int32_t lowestOfflineRate = 8000, highestOfflineRate = 192000;

// Opens the module file fileName with the load flags of BASSMOD_MusicLoad
// (the show passes BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET),
// closing any module opened before, to be rendered at rate Hz (from
// lowestOfflineRate to highestOfflineRate). On failure returns false, with
// the reason in offlineMusicErrorText().
bool openOfflineMusic(const char* fileName, std::uint32_t flags, std::int32_t rate = offlineRate);

// Renders frames frames into samples (room for 2 * frames values). Returns
// the frames of module sound rendered: frames, or fewer once a module that
// does not loop has ended, the rest being silence. Without an open module it
// writes silence and returns 0.
std::size_t renderOfflineMusic(std::int16_t* samples, std::size_t frames);

// Order (low 16 bits) and row (high 16 bits) of the last frame rendered;
// once a module that does not loop has ended, where its last chunk began;
// noModulePosition (music/position.h) without an open module.
std::uint32_t offlineMusicPosition();

// How long the module plays from its start until it ends or comes back to
// a point it has played (a loop): libopenmpt's own reckoning, in seconds;
// 0 without an open module.
double offlineMusicSeconds();

// Frees the module; does nothing without one.
void closeOfflineMusic();

// Why openOfflineMusic last failed; "" if it never has.
const char* offlineMusicErrorText();

}  // namespace demo
