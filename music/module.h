// Opening, configuring and rendering a tracker module with libopenmpt: the
// one piece of code that the player (player.cpp) and the offline renderer
// (offline.cpp) share, so that both make exactly the same sound.
//
// Internal to music/: the rest of the show calls player.h or offline.h.
// Nothing here touches SDL or keeps state; callers own the module and do
// their own locking.
#pragma once

#include <libopenmpt/libopenmpt.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "music/module_file.h"
#include "music/position.h"

namespace demo {

// Makes a module from size bytes at data (copied: the bytes may be dropped
// afterwards) and configures it for the load flags of player.h:
//   BASS_MUSIC_LOOP      repeats forever (back to the restart order, normally
//                        0); without it the module plays once and stops
//                        dead at its end (libopenmpt would fade out).
//   BASS_MUSIC_RAMP      libopenmpt's default volume ramping; without it no
//                        ramping at all.
//   BASS_MUSIC_POSRESET  accepted; nothing can move the position but
//                        BASSMOD_MusicPlay, which starts from a clean state
//                        anyway.
// Everything else is libopenmpt's default, except that dithering of the
// 16-bit output is off, so that a module renders to the same samples on every
// run. Returns nullptr on failure with the reason in why. Log messages are
// dropped.
openmpt_module* openModule(const void* data, std::size_t size, std::uint32_t flags,
                           std::string& why);

// A module played from its start by one renderer (the player's audio thread,
// or the offline renderer): the module, and how far it got.
struct ModulePlayback {
    openmpt_module* module = nullptr;
    bool ended = false;  // a module that does not loop has played to its end
    std::uint32_t lastChunkStart = noModulePosition;  // where the last chunk rendered began
};

// Renders the next frames frames of interleaved stereo int16 at rate Hz into
// samples (2 * frames values). Once a module that does not loop has ended,
// or without a module, the rest is silence. Returns the number of frames of
// module sound (frames unless it ended).
std::size_t renderPlayback(ModulePlayback& playback, std::int32_t rate, std::int16_t* samples,
                           std::size_t frames);

// Where the playback is, packed (music/position.h): the position of the last
// frame rendered (order 0, row 0 before the first); once a module that does
// not loop has ended, where its last chunk began, since libopenmpt reports
// order 0, row 0 again after the end. noModulePosition without a module.
// NOTE: the last frame rendered, not the next: libopenmpt moves to a new row
// only when it renders that row's first frame.
std::uint32_t playbackPosition(const ModulePlayback& playback);

}  // namespace demo
