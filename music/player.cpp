// The music layer: a libopenmpt module played through an SDL2 audio device.
// See player.h.
//
// SDL's audio thread calls audioCallback for each buffer; it decodes the
// module under moduleLock and publishes the position of the buffer it is
// about to hand over. The main thread takes moduleLock whenever it changes the
// module (load, play, stop, free). The position is an atomic that only the
// thread holding moduleLock writes and anyone reads.
#include "music/player.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "music/module.h"

namespace demo {

namespace {

// --- state, owned by the main thread unless noted -----------------------------
SDL_AudioDeviceID device = 0;  // 0: not open
std::int32_t outputRate = 0;
std::string lastError;

// Guards playback, playing and started against the audio thread.
std::mutex moduleLock;
ModulePlayback playback;
bool playing = false;
bool started = false;  // anything rendered since the load

std::atomic<std::uint32_t> position{noModulePosition};

constexpr Uint16 bufferFrames = 1024;

int fail(std::string why) {
    lastError = std::move(why);
    return 0;
}

// Standard error sent to /dev/null for as long as it lives. Opening a device
// through SDL can make ALSA's library print a paragraph of its own (a card
// it cannot find, a PCM it does not know) before SDL returns the error that
// the caller reports in one line.
class QuietStandardError {
public:
    QuietStandardError() {
        saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~QuietStandardError() {
        if (saved < 0) return;
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved = -1;
};

// --- the audio thread ---------------------------------------------------------
void SDLCALL audioCallback(void*, Uint8* stream, int bytes) {
    std::int16_t* samples = reinterpret_cast<std::int16_t*>(stream);
    const std::size_t frames = std::size_t(bytes) / (2 * sizeof(std::int16_t));
    std::lock_guard<std::mutex> hold(moduleLock);
    if (playback.module == nullptr || !playing || playback.ended) {
        SDL_memset(stream, 0, std::size_t(bytes));
        return;
    }
    // NOTE: the position is taken before decoding, not after: this buffer is
    // the audio heard next, so where the module stands now (the last frame
    // handed over) is where the listener is when it starts to play, and it
    // stays at most one buffer behind the sound until the next call. Once
    // the module has ended it stays where the last buffer began.
    position.store(playbackPosition(playback), std::memory_order_release);
    renderPlayback(playback, outputRate, samples, frames);
    started = true;
}

// Stops callbacks, then drops the module (the device stays open).
void dropModule() {
    SDL_PauseAudioDevice(device, 1);
    std::lock_guard<std::mutex> hold(moduleLock);
    if (playback.module != nullptr) openmpt_module_destroy(playback.module);
    playback = ModulePlayback{};
    playing = false;
    started = false;
    position.store(noModulePosition, std::memory_order_release);
}

}  // namespace

}  // namespace demo

// The calls keep their published names, outside the namespace.
using namespace demo;

// --- device -------------------------------------------------------------------
int BASSMOD_Init(int deviceNumber, std::uint32_t freq, std::uint32_t) {
    if (device != 0) return fail("the audio device is already open");
    if (freq < 8000 || freq > 192000)
        return fail("unsupported output rate " + std::to_string(freq) + " Hz (8000 to 192000)");
    // NOTE: the show handles SIGINT and SIGTERM itself; SDL must not take them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const QuietStandardError quiet;
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        fail(SDL_GetError());
        SDL_Quit();
        return 0;
    }

    // which device
    const char* name = nullptr;
    if (deviceNumber != -1) {
        const int count = SDL_GetNumAudioDevices(0);
        if (deviceNumber < 1 || deviceNumber > count) {
            fail("there is no audio device number " + std::to_string(deviceNumber) + " (" +
                 std::to_string(count) + " known)");
            SDL_Quit();
            return 0;
        }
        name = SDL_GetAudioDeviceName(deviceNumber - 1, 0);
    }

    // NOTE: no changes allowed: SDL converts to whatever the hardware takes,
    // so the callback always gets the rate and format asked for here.
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = int(freq);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = bufferFrames;
    want.callback = audioCallback;
    SDL_AudioSpec have;
    outputRate = std::int32_t(freq);
    device = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    if (device == 0) {
        // Name the driver: without SDL_AUDIODRIVER, SDL chose it.
        const char* driver = SDL_GetCurrentAudioDriver();
        fail(std::string(SDL_GetError()) + ", using SDL's " + (driver ? driver : "unknown") +
             " driver");
        SDL_Quit();
        return 0;
    }
    return 1;
}

void BASSMOD_Free() {
    if (device == 0) return;
    dropModule();
    SDL_CloseAudioDevice(device);
    device = 0;
    SDL_Quit();
}

// --- module -------------------------------------------------------------------
int BASSMOD_MusicLoad(int mem, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t flags) {
    if (device == 0) return fail("the audio device is not open");
    dropModule();

    // the bytes, then the module made from them
    std::string why;
    openmpt_module* loaded = nullptr;
    if (mem != 0) {
        if (file == nullptr) return fail("no module data (a null pointer)");
        if (length == 0) return fail("no module data (length 0)");
        const auto* bytes = static_cast<const unsigned char*>(file) + offset;
        if (moduleComplete(bytes, length, why)) loaded = openModule(bytes, length, flags, why);
    } else {
        std::vector<unsigned char> data;
        if (readModuleFile(static_cast<const char*>(file), offset, length, data, why))
            loaded = openModule(data.data(), data.size(), flags, why);
    }
    if (loaded == nullptr) return fail(why);

    std::lock_guard<std::mutex> hold(moduleLock);
    playback.module = loaded;
    position.store(playbackPosition(playback), std::memory_order_release);
    return 1;
}

int BASSMOD_MusicPlay() {
    if (device == 0) return fail("the audio device is not open");
    {
        std::lock_guard<std::mutex> hold(moduleLock);
        if (playback.module == nullptr) return fail("no module is loaded");
        if (started) openmpt_module_set_position_order_row(playback.module, 0, 0);
        started = false;
        playback.ended = false;
        playing = true;
        position.store(playbackPosition(playback), std::memory_order_release);
    }
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

std::uint32_t BASSMOD_MusicGetPosition() { return position.load(std::memory_order_acquire); }

int BASSMOD_MusicStop() {
    if (device == 0) return fail("the audio device is not open");
    SDL_PauseAudioDevice(device, 1);
    std::lock_guard<std::mutex> hold(moduleLock);
    if (playback.module == nullptr) return fail("no module is loaded");
    playing = false;
    return 1;
}

void BASSMOD_MusicFree() {
    if (device != 0) dropModule();
}

const char* musicErrorText() { return lastError.c_str(); }
