// The music of a range at a rate of its own. See soundtrack.h.
#include "capture/soundtrack.h"

#include <algorithm>
#include <vector>

#include "capture/image_files.h"
#include "capture/session.h"
#include "music/offline.h"
#include "process/signals.h"
#include "show/show_music.h"

namespace demo {

bool writeSoundtrack(const CaptureOptions& options, std::int64_t endFrame, std::int32_t rate,
                     const std::string& path, const std::string& wavName, std::string& error) {
    if (!openOfflineMusic(options.modulePath.c_str(), musicLoadFlags, rate)) {
        error = "cannot load " + options.modulePath + ": " + offlineMusicErrorText();
        return false;
    }
    const std::int64_t start = samplesBefore(options.firstFrame, options.fps, rate);
    const std::int64_t end = samplesBefore(endFrame, options.fps, rate);
    WavWriter wav;
    bool ok = openWav(wav, path.c_str(), rate, std::uint64_t(end - start), error);
    std::vector<std::int16_t> chunk(2 * 4096);
    for (std::int64_t at = 0; ok && at < end;) {
        if (terminationSignal() != 0) {
            error = "interrupted";
            ok = false;
            break;
        }
        const std::int64_t count = std::min<std::int64_t>(4096, end - at);
        renderOfflineMusic(chunk.data(), std::size_t(count));
        // Only what lies in the range is kept; what comes before it is
        // rendered all the same, since the music's state depends on it.
        const std::int64_t from = std::max(at, start);
        if (at + count > from)
            ok = appendWav(wav, chunk.data() + 2 * (from - at), std::size_t(at + count - from),
                           error);
        at += count;
    }
    std::string closeError;
    if (!closeWav(wav, closeError) && ok) {
        ok = false;
        error = closeError;
    }
    closeOfflineMusic();
    if (!ok && error != "interrupted") error = "cannot write " + wavName + ": " + error;
    return ok;
}

}  // namespace demo
