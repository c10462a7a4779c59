// Offline rendering of the show's music. See offline.h.
#include "music/offline.h"

#include <algorithm>
#include <string>
#include <vector>

#include "music/module.h"

namespace demo {

namespace {

openmpt_module* offlineModule = nullptr;
std::string offlineError;
// A module that does not loop has played to its end, and where it was when
// the last chunk began (libopenmpt reports order 0 again after the end).
bool offlineEnded = false;
std::uint32_t offlineEndPosition = 0;

}  // namespace

bool openOfflineMusic(const char* fileName, std::uint32_t flags) {
    closeOfflineMusic();
    std::vector<unsigned char> data;
    if (!readModuleFile(fileName, 0, 0, data, offlineError)) return false;
    offlineModule = openModule(data.data(), data.size(), flags, offlineError);
    return offlineModule != nullptr;
}

std::size_t renderOfflineMusic(std::int16_t* samples, std::size_t frames) {
    if (offlineModule == nullptr || offlineEnded) {
        std::fill(samples, samples + 2 * frames, std::int16_t(0));
        return 0;
    }
    const std::uint32_t before = modulePosition(offlineModule);
    const std::size_t rendered = renderModule(offlineModule, offlineRate, samples, frames);
    if (rendered < frames) {
        offlineEnded = true;
        offlineEndPosition = before;
    }
    return rendered;
}

std::uint32_t offlineMusicPosition() {
    if (offlineModule == nullptr) return noModulePosition;
    return offlineEnded ? offlineEndPosition : modulePosition(offlineModule);
}

void closeOfflineMusic() {
    if (offlineModule != nullptr) openmpt_module_destroy(offlineModule);
    offlineModule = nullptr;
    offlineEnded = false;
}

const char* offlineMusicErrorText() { return offlineError.c_str(); }

}  // namespace demo
