// song-frames SONG OUT: writes the song's frames (web/song_frames.h) of the
// module SONG to the file OUT. The music is rendered as the capture renders
// it at seekFps frames a second: before frame n's step, through the audio
// frame at frame n's time (floor(n * rate / fps) + 1 audio frames), then its
// position read.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "music/offline.h"
#include "music/position.h"
#include "show/show_facts.h"
#include "show/show_music.h"
#include "web/song_frames.h"

using namespace demo;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: song-frames SONG OUT\n");
        return 2;
    }
    if (!openOfflineMusic(argv[1], musicLoadFlags)) {
        std::fprintf(stderr, "song-frames: cannot load %s: %s\n", argv[1], offlineMusicErrorText());
        return 1;
    }
    // NOTE: a song that never reaches the quit order would run for ever.
    const std::int64_t longest = std::int64_t(offlineMusicSeconds() + 1) * seekFps;
    std::vector<unsigned char> bytes;
    std::vector<std::int16_t> samples;
    std::int64_t rendered = 0;
    for (std::int64_t frame = 0; frame <= longest; ++frame) {
        const std::int64_t target = frame * offlineRate / seekFps + 1;
        samples.resize(2 * std::size_t(target - rendered));
        renderOfflineMusic(samples.data(), std::size_t(target - rendered));
        rendered = target;
        const std::uint32_t position = offlineMusicPosition();
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(position >> shift));
        if (MusicPosition::unpack(position).order >= quitOrder) break;
        if (frame == longest) {
            std::fprintf(stderr, "song-frames: %s never reaches order %u\n", argv[1], quitOrder);
            return 1;
        }
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "song-frames: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
