// Offline rendering of the show's music. See offline.h.
#include "music/offline.h"

#include <string>
#include <vector>

#include "music/module.h"

namespace demo {

namespace {

ModulePlayback offline;
std::int32_t renderRate = offlineRate;
std::string offlineError;

}  // namespace

bool openOfflineMusic(const char* fileName, std::uint32_t flags, std::int32_t rate) {
    closeOfflineMusic();
    renderRate = rate;
    std::vector<unsigned char> data;
    if (!readModuleFile(fileName, 0, 0, data, offlineError)) return false;
    offline.module = openModule(data.data(), data.size(), flags, offlineError);
    return offline.module != nullptr;
}

std::size_t renderOfflineMusic(std::int16_t* samples, std::size_t frames) {
    return renderPlayback(offline, renderRate, samples, frames);
}

std::uint32_t offlineMusicPosition() { return playbackPosition(offline); }

double offlineMusicSeconds() {
    return offline.module != nullptr ? openmpt_module_get_duration_seconds(offline.module) : 0;
}

void closeOfflineMusic() {
    if (offline.module != nullptr) openmpt_module_destroy(offline.module);
    offline = ModulePlayback{};
}

const char* offlineMusicErrorText() { return offlineError.c_str(); }

}  // namespace demo
