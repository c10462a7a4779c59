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

}  // namespace

bool openOfflineMusic(const char* fileName, std::uint32_t flags) {
    closeOfflineMusic();
    std::vector<unsigned char> data;
    if (!readModuleFile(fileName, 0, 0, data, offlineError)) return false;
    offlineModule = openModule(data.data(), data.size(), flags, offlineError);
    return offlineModule != nullptr;
}

std::size_t renderOfflineMusic(std::int16_t* samples, std::size_t frames) {
    if (offlineModule == nullptr) {
        std::fill(samples, samples + 2 * frames, std::int16_t(0));
        return 0;
    }
    return renderModule(offlineModule, offlineRate, samples, frames);
}

std::uint32_t offlineMusicPosition() {
    return offlineModule != nullptr ? modulePosition(offlineModule) : noModulePosition;
}

void closeOfflineMusic() {
    if (offlineModule != nullptr) openmpt_module_destroy(offlineModule);
    offlineModule = nullptr;
}

const char* offlineMusicErrorText() { return offlineError.c_str(); }

}  // namespace demo
