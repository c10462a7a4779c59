// Opening, configuring and rendering a module. See module.h.
#include "music/module.h"

#include <algorithm>

#include "music/player.h"

namespace demo {

openmpt_module* openModule(const void* data, std::size_t size, std::uint32_t flags,
                           std::string& why) {
    if (data == nullptr || size == 0) {
        why = "no module data (empty)";
        return nullptr;
    }

    // NOTE: libopenmpt dithers its 16-bit output with a randomly seeded
    // generator by default; without dithering the same module gives the same
    // samples on every run, which the offline renderer relies on.
    const openmpt_module_initial_ctl ctls[] = {{"dither", "0"}, {nullptr, nullptr}};
    int error = OPENMPT_ERROR_OK;
    const char* message = nullptr;
    openmpt_module* module = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent,
                                                                nullptr, openmpt_error_func_store,
                                                                nullptr, &error, &message, ctls);
    if (module == nullptr) {
        if (error == OPENMPT_ERROR_OUT_OF_MEMORY) {
            why = "out of memory";
        } else {
            why = "not a module libopenmpt can read";
            if (message != nullptr && message[0] != '\0')
                why += std::string(" (libopenmpt: ") + message + ")";
        }
        openmpt_free_string(message);
        return nullptr;
    }
    openmpt_free_string(message);

    // the load flags
    if ((flags & BASS_MUSIC_LOOP) != 0) {
        openmpt_module_set_repeat_count(module, -1);
    } else {
        openmpt_module_set_repeat_count(module, 0);
        openmpt_module_ctl_set_text(module, "play.at_end", "stop");
    }
    if ((flags & BASS_MUSIC_RAMP) == 0)
        openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, 0);
    return module;
}

static std::uint32_t modulePosition(openmpt_module* module) {
    return MusicPosition{std::uint32_t(openmpt_module_get_current_order(module)),
                         std::uint32_t(openmpt_module_get_current_row(module))}
        .packed();
}

std::size_t renderPlayback(ModulePlayback& playback, std::int32_t rate, std::int16_t* samples,
                           std::size_t frames) {
    std::size_t done = 0;
    if (playback.module != nullptr && !playback.ended) {
        playback.lastChunkStart = modulePosition(playback.module);
        while (done < frames) {
            const std::size_t got = openmpt_module_read_interleaved_stereo(
                playback.module, rate, frames - done, samples + 2 * done);
            if (got == 0) break;  // the end of a module that does not loop
            done += got;
        }
        playback.ended = done < frames;
    }
    std::fill(samples + 2 * done, samples + 2 * frames, std::int16_t(0));
    return done;
}

std::uint32_t playbackPosition(const ModulePlayback& playback) {
    if (playback.module == nullptr) return noModulePosition;
    return playback.ended ? playback.lastChunkStart : modulePosition(playback.module);
}

}  // namespace demo
