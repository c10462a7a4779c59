// The music layer in the browser: the BASSMOD_* calls of music/player.h,
// answered by the page's song player (web/song_player.js, which plays the
// module with libopenmpt in an AudioWorklet).
//
// What differs from the desktop's layer:
//   - the browser's audio context chooses the output rate: BASSMOD_Init's
//     freq is not used;
//   - the position is the one the song player estimates is being heard: its
//     reports are the position of the audio just rendered, and it looks back
//     over them by the context's output latency;
//   - playing, stopping and freeing are messages to the worklet, which
//     carries them out a moment later; the calls never wait;
//   - a module that libopenmpt cannot read is known only when the worklet
//     has tried it: the page checks the song once when it loads.
// BASS_MUSIC_LOOP is honoured (played once without it), BASS_MUSIC_RAMP and
// BASS_MUSIC_POSRESET are libopenmpt's defaults there.
#include <emscripten/emscripten.h>

#include <string>
#include <vector>

#include "music/module_file.h"
#include "music/player.h"
#include "music/position.h"

// The page's song player, as Module.songPlayer.
EM_JS(int, songPlayerReady, (), { return Module.songPlayer && Module.songPlayer.ready ? 1 : 0; });
EM_JS(void, songPlayerLoad, (const void* bytes, int length, int loop),
      { Module.songPlayer.load(HEAPU8.slice(bytes, bytes + length), loop != 0); });
EM_JS(void, songPlayerPlay, (), { Module.songPlayer.play(); });
EM_JS(void, songPlayerStop, (), { Module.songPlayer.stop(); });
EM_JS(void, songPlayerFree, (), { Module.songPlayer.free(); });
EM_JS(int, songPlayerPosition, (), { return Module.songPlayer.heardPosition(); });

using demo::noModulePosition;
using demo::readModuleFile;

namespace {

bool deviceOpen = false, loaded = false;
std::string lastError;

int fail(const char* why) {
    lastError = why;
    return 0;
}

}  // namespace

int BASSMOD_Init(int, std::uint32_t, std::uint32_t) {
    if (deviceOpen) return fail("the audio device is already open");
    if (!songPlayerReady()) return fail("the browser's audio worklet has not started");
    deviceOpen = true;
    return 1;
}

int BASSMOD_MusicLoad(int mem, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t flags) {
    BASSMOD_MusicFree();
    if (!deviceOpen) return fail("the audio device is not open");
    std::vector<unsigned char> data;
    if (mem) {
        const auto* bytes = static_cast<const unsigned char*>(file) + offset;
        data.assign(bytes, bytes + length);
    } else {
        std::string why;
        if (!readModuleFile(static_cast<const char*>(file), offset, length, data, why))
            return fail(why.c_str());
    }
    if (data.empty()) return fail("the file is empty");
    songPlayerLoad(data.data(), int(data.size()), (flags & BASS_MUSIC_LOOP) != 0);
    loaded = true;
    return 1;
}

int BASSMOD_MusicPlay() {
    if (!loaded) return fail("no module is loaded");
    songPlayerPlay();
    return 1;
}

std::uint32_t BASSMOD_MusicGetPosition() {
    return loaded ? std::uint32_t(songPlayerPosition()) : noModulePosition;
}

int BASSMOD_MusicStop() {
    if (!loaded) return fail("no module is loaded");
    songPlayerStop();
    return 1;
}

void BASSMOD_MusicFree() {
    if (!loaded) return;
    songPlayerFree();
    loaded = false;
}

void BASSMOD_Free() {
    BASSMOD_MusicFree();
    deviceOpen = false;
}

const char* musicErrorText() { return lastError.c_str(); }
