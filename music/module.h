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
#include <vector>

namespace demo {

// The position value that means "no module": every bit set.
constexpr std::uint32_t noModulePosition = 0xFFFFFFFFu;

// Reads length bytes of the file at fileName, starting offset bytes in;
// length 0 means up to the end of the file. On failure returns false, leaves
// data empty and puts the reason in why ("No such file or directory", "the
// file is empty", ...), worded to follow "cannot load <file>: ".
bool readModuleFile(const char* fileName, std::uint32_t offset, std::uint32_t length,
                    std::vector<unsigned char>& data, std::string& why);

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

// Renders frames frames of interleaved stereo int16 at rate Hz into samples
// (2 * frames values). Once a module that does not loop has ended, the rest
// is silence. Returns the number of frames of module sound (frames unless it
// ended). After the end, libopenmpt reports order 0, row 0.
std::size_t renderModule(openmpt_module* module, std::int32_t rate, std::int16_t* samples,
                         std::size_t frames);

// Where the last frame rendered lies (order 0, row 0 before the first): order
// in the low 16 bits, row in the high 16 bits.
// NOTE: not the next frame: libopenmpt moves to a new row only when it
// renders that row's first frame.
std::uint32_t modulePosition(openmpt_module* module);

}  // namespace demo
