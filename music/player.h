// The music layer: plays a tracker module on the default audio device and
// reports where in the module the audio being heard is.
//
// Decoding is done by libopenmpt and output by SDL2's audio (44100 Hz,
// stereo, 16-bit). All calls are made from the main thread; the audio thread
// only publishes the position.
//
// Results: non-zero means success. After a failure musicErrorText() says why.
#pragma once

#include <cstdint>

// Flags of BASSMOD_MusicLoad.
constexpr std::uint32_t BASS_MUSIC_RAMP = 1;        // ramp volumes to avoid clicks
constexpr std::uint32_t BASS_MUSIC_LOOP = 4;        // start over when the module ends
constexpr std::uint32_t BASS_MUSIC_POSRESET = 256;  // stop all notes when the position moves

// Opens the output device: -1 is SDL's default device (SDL_AUDIODRIVER picks
// the driver; "dummy" plays silently). freq is the output rate in Hz.
int BASSMOD_Init(int device, std::uint32_t freq, std::uint32_t flags);

// Loads a module, from the file named by file when mem is 0, else from length
// bytes of memory at file + offset. Any previously loaded module is freed.
int BASSMOD_MusicLoad(int mem, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t flags);

// Starts the loaded module from its beginning.
int BASSMOD_MusicPlay();

// The position of the audio being heard: order in the low 16 bits, row in
// the high 16 bits; 0xFFFFFFFF when no module is loaded.
std::uint32_t BASSMOD_MusicGetPosition();

// Stops playback; the module stays loaded.
int BASSMOD_MusicStop();

// Frees the loaded module.
void BASSMOD_MusicFree();

// Closes the output device and frees everything the layer holds.
void BASSMOD_Free();

// Why the last call failed, as SDL or libopenmpt put it; "" if none has.
const char* musicErrorText();
