// Fuzz target: module loading through the music layer, as the show loads
// "demosong.it", but from memory: BASSMOD_MusicLoad on the input, then a
// short cycle of play, position, stop, play again and free on SDL's dummy
// audio device (opened once per process). An accepted module is also opened
// and rendered for a moment on this thread with the layer's own decoding
// code (module.h), which is what the audio thread runs for every buffer.
//
// What must hold for every input: no crash, hang or sanitizer report; a
// refused input says why and leaves no module (position 0xFFFFFFFF); after
// the free there is no module either.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "music/module.h"
#include "music/player.h"

namespace {

constexpr std::uint32_t showFlags = BASS_MUSIC_RAMP | BASS_MUSIC_LOOP | BASS_MUSIC_POSRESET;
constexpr std::size_t renderFrames = 2048;
std::int16_t samples[2 * renderFrames];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!BASSMOD_Init(-1, 44100, 0)) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOTE: the layer takes a 32-bit length; anything longer is no input of ours.
    if (size > 0xFFFFFFFFu) return 0;
    if (!BASSMOD_MusicLoad(1, data, 0, std::uint32_t(size), showFlags)) {
        if (musicErrorText()[0] == '\0') std::abort();
        if (BASSMOD_MusicGetPosition() != demo::noModulePosition) std::abort();
        return 0;
    }
    if (BASSMOD_MusicGetPosition() == demo::noModulePosition) std::abort();
    if (!BASSMOD_MusicPlay()) std::abort();
    BASSMOD_MusicGetPosition();
    if (!BASSMOD_MusicStop()) std::abort();
    if (!BASSMOD_MusicPlay()) std::abort();
    BASSMOD_MusicGetPosition();
    BASSMOD_MusicFree();
    if (BASSMOD_MusicGetPosition() != demo::noModulePosition) std::abort();

    // The audio thread's decoding, here and now.
    std::string why;
    openmpt_module* module = demo::openModule(data, size, showFlags, why);
    if (module == nullptr) std::abort();  // the layer loaded these very bytes
    demo::renderModule(module, 44100, samples, renderFrames);
    demo::modulePosition(module);
    openmpt_module_destroy(module);
    return 0;
}
