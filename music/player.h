// The music layer: plays a tracker module on an audio device and reports
// where in the module the audio being heard is.
//
// libopenmpt decodes (module.h holds the settings, shared with the offline
// renderer of offline.h); SDL2's audio plays, 16-bit stereo at the rate given
// to BASSMOD_Init (the show asks for 44100 Hz), in buffers of 1024 frames
// (23 ms at 44100 Hz).
//
// Threads: every call is made from one thread (the show's main thread). SDL's
// audio thread decodes the module under a lock that the calls which change
// the module take too, and publishes the position atomically; reading the
// position never waits.
//
// Results: non-zero means success. A failed call leaves its reason for
// musicErrorText(). Calls made in the wrong state (no device, no module,
// twice) fail or do nothing; none crashes.
//
// Life cycle: Init -> MusicLoad -> MusicPlay -> (MusicStop / MusicPlay)* ->
// MusicFree -> Free. BASSMOD_Free may come at any point and releases it all.
#pragma once

#include <cstdint>

// Flags of BASSMOD_MusicLoad.
constexpr std::uint32_t BASS_MUSIC_RAMP = 1;        // ramp volumes to avoid clicks
constexpr std::uint32_t BASS_MUSIC_LOOP = 4;        // start over when the module ends
constexpr std::uint32_t BASS_MUSIC_POSRESET = 256;  // stop all notes when the position moves

// Opens the output device, paused until a module plays. device -1 is SDL's
// default device (the SDL_AUDIODRIVER variable picks the driver: pulseaudio,
// pipewire, alsa, or "dummy", which plays silently in real time); device
// n >= 1 is SDL's n-th output device. freq is the output rate in Hz, 8000 to
// 192000. flags are accepted and ignored. Fails when the device is already
// open, the rate is out of range or SDL cannot open the device.
int BASSMOD_Init(int device, std::uint32_t freq, std::uint32_t flags);

// Loads a module, from the file named by file (a NUL-terminated path) when
// mem is 0, else from length bytes of memory at (const char*)file + offset;
// from a file, offset bytes are skipped and length 0 reads to the end. Any
// module loaded before is freed first, also when this load fails. flags: the
// BASS_MUSIC_* values above; see module.h for what each one does. Needs
// BASSMOD_Init first. The position is 0 (order 0, row 0) after a load.
int BASSMOD_MusicLoad(int mem, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t flags);

// Starts the loaded module from its beginning (also when it is playing or
// was stopped). Fails without a module.
int BASSMOD_MusicPlay();

// The position of the audio being heard: order in the low 16 bits, row in
// the high 16 bits. It is taken as SDL asks for each buffer, before that
// buffer is decoded, so it is at most one buffer (23 ms) behind the sound.
// A driver that queues audio of its own beyond SDL's buffer (a sound server's
// latency) plays that much later than SDL asks, and the position leads the
// sound by as much. After a module that does not loop has ended, it stays
// where the last buffer began. noModulePosition (music/position.h)
// when no module is loaded.
// Lock-free; never waits.
std::uint32_t BASSMOD_MusicGetPosition();

// Stops playback; the module and its position stay. Fails without a module.
int BASSMOD_MusicStop();

// Stops and frees the loaded module; does nothing without one.
void BASSMOD_MusicFree();

// Frees the module, closes the output device and shuts SDL down; does
// nothing when the device is not open.
void BASSMOD_Free();

// Why the last failed call failed, in words that follow "cannot open the
// audio device: " or "cannot load <file>: " (SDL's or libopenmpt's text
// where they give one). Successful calls leave it as it was; "" until the
// first failure. Valid until the next call of the layer.
const char* musicErrorText();
