// Opening, configuring and rendering a module. See module.h.
#include "music/module.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "music/player.h"

namespace demo {

namespace {

// Larger files are refused before anything is read: no module comes near
// this, and reading e.g. a disk image whole would only exhaust memory.
constexpr std::uint64_t maxModuleBytes = std::uint64_t(1) << 30;

// readModuleFile on an open descriptor, which the caller closes.
bool readOpenFile(int fd, std::uint32_t offset, std::uint32_t length,
                  std::vector<unsigned char>& data, std::string& why) {
    // size and kind of file
    struct stat info;
    if (fstat(fd, &info) != 0) {
        why = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        why = std::strerror(EISDIR);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        why = "not a regular file";
        return false;
    }
    const std::uint64_t fileSize = std::uint64_t(info.st_size);
    if (offset > fileSize) {
        why = "the file is shorter than the offset given";
        return false;
    }
    const std::uint64_t available = fileSize - offset;
    const std::uint64_t wanted = length != 0 ? length : available;
    if (wanted > available) {
        why = "the file ends before offset + length";
        return false;
    }
    if (wanted == 0) {
        why = "the file is empty";
        return false;
    }
    if (wanted > maxModuleBytes) {
        why = "the file is too large to be a module (over 1 GiB)";
        return false;
    }

    // the bytes themselves
    try {
        data.resize(std::size_t(wanted));
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        return false;
    }
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t got = pread(fd, data.data() + done, data.size() - done, off_t(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            why = got < 0 ? std::strerror(errno) : "the file became shorter while being read";
            data.clear();
            return false;
        }
        done += std::size_t(got);
    }
    return true;
}

}  // namespace

bool readModuleFile(const char* fileName, std::uint32_t offset, std::uint32_t length,
                    std::vector<unsigned char>& data, std::string& why) {
    data.clear();
    if (fileName == nullptr) {
        why = "no file name given";
        return false;
    }
    // NOTE: without O_NONBLOCK, opening a FIFO would wait for a writer; the
    // read refuses anything but a regular file.
    const int fd = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    const bool ok = readOpenFile(fd, offset, length, data, why);
    close(fd);
    return ok;
}

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

std::size_t renderModule(openmpt_module* module, std::int32_t rate, std::int16_t* samples,
                         std::size_t frames) {
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t got =
            openmpt_module_read_interleaved_stereo(module, rate, frames - done, samples + 2 * done);
        if (got == 0) break;  // the end of a module that does not loop
        done += got;
    }
    std::fill(samples + 2 * done, samples + 2 * frames, std::int16_t(0));
    return done;
}

std::uint32_t modulePosition(openmpt_module* module) {
    const std::uint32_t order = std::uint32_t(openmpt_module_get_current_order(module)) & 0xFFFFu;
    const std::uint32_t row = std::uint32_t(openmpt_module_get_current_row(module)) & 0xFFFFu;
    return order | row << 16;
}

}  // namespace demo
