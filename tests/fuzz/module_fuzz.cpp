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
//
// libopenmpt is a system library, not built for coverage, so libFuzzer sees
// only our own few branches. Under libFuzzer the target therefore also marks
// the shape of each accepted module (counts of channels, orders, patterns,
// instruments, samples and subsongs, its length, how much it rendered) in
// counters of libFuzzer's extra-counter section, so that modules libopenmpt
// reads differently count as new and stay in the corpus.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "music/module.h"
#include "music/player.h"
#include "show/show_music.h"

namespace {

using demo::musicLoadFlags;
constexpr std::size_t renderFrames = 2048;
std::int16_t samples[2 * renderFrames];

#ifdef DEMO_LIBFUZZER
__attribute__((used, section("__libfuzzer_extra_counters"))) std::uint8_t shapeCounters[4096];

// Marks one feature: what is measured, and its value.
void markShape(std::uint32_t what, std::int64_t value) {
    const std::uint32_t v = std::uint32_t(value < 0 ? 0 : value > 255 ? 255 : value);
    shapeCounters[(what * 256 + v) % sizeof shapeCounters] = 1;
}

void markModuleShape(const demo::ModulePlayback& playback, std::size_t rendered) {
    openmpt_module* module = playback.module;
    markShape(0, openmpt_module_get_num_channels(module));
    markShape(1, openmpt_module_get_num_orders(module));
    markShape(2, openmpt_module_get_num_patterns(module));
    markShape(3, openmpt_module_get_num_instruments(module));
    markShape(4, openmpt_module_get_num_samples(module));
    markShape(5, openmpt_module_get_num_subsongs(module));
    markShape(6, std::int64_t(openmpt_module_get_duration_seconds(module)));
    markShape(7, std::int64_t(rendered * 16 / renderFrames));
    int peak = 0;
    for (std::int16_t v : samples)
        peak = v > peak ? v : -v > peak ? -v : peak;
    markShape(8, peak >> 7);
    const demo::MusicPosition position =
        demo::MusicPosition::unpack(demo::playbackPosition(playback));
    markShape(9, position.order & 0xFF);
    markShape(10, position.row);
}
#else
void markModuleShape(const demo::ModulePlayback&, std::size_t) {}
#endif

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!BASSMOD_Init(-1, 44100, 0)) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // NOTE: the layer takes a 32-bit length; anything longer is no input of ours.
    if (size > 0xFFFFFFFFu) return 0;
    if (!BASSMOD_MusicLoad(1, data, 0, std::uint32_t(size), musicLoadFlags)) {
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
    demo::ModulePlayback playback;
    playback.module = demo::openModule(data, size, musicLoadFlags, why);
    if (playback.module == nullptr) std::abort();  // the layer loaded these very bytes
    const std::size_t rendered = demo::renderPlayback(playback, 44100, samples, renderFrames);
    markModuleShape(playback, rendered);
    openmpt_module_destroy(playback.module);
    return 0;
}
