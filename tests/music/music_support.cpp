// Small modules for the music tests. See music_support.h.
#include "tests/music/music_support.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "assets/song/module_writer.h"
#include "music/player.h"

namespace musictest {

namespace {

std::vector<std::string> tempFiles;

void removeTempFiles() {
    for (const std::string& path : tempFiles)
        std::remove(path.c_str());
}

}  // namespace

std::vector<std::uint8_t> fastModule(int orderCount) {
    demo::Module module;
    module.name = "music test";
    module.channels = 1;
    module.speed = 1;
    module.tempo = 250;

    // a 100 Hz square wave at 8363 Hz for note C-5, looping
    demo::ModuleSample square;
    square.name = "square";
    for (int i = 0; i < 84; ++i)
        square.data.push_back(i < 42 ? 12000 : -12000);
    square.loop = true;
    square.loopBegin = 0;
    square.loopEnd = 84;
    module.samples.push_back(square);

    for (int k = 0; k < orderCount; ++k) {
        demo::ModulePattern pattern;
        pattern.rows = rowsPerOrder;
        demo::ModuleEvent strike;
        strike.note = 60 + k;
        strike.instrument = 1;
        pattern.events.push_back(strike);
        module.patterns.push_back(pattern);
        module.orders.push_back(k);
    }

    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!demo::encodeModule(module, bytes, error))
        throw std::runtime_error("test module refused: " + error);
    return bytes;
}

std::string writeTempFile(const std::vector<std::uint8_t>& bytes, const char* suffix) {
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir != nullptr ? dir : "/tmp") + "/musictest-XXXXXX" + suffix;
    const int fd = mkstemps(path.data(), int(std::char_traits<char>::length(suffix)));
    if (fd < 0) throw std::runtime_error("cannot make a temporary file");
    if (tempFiles.empty()) std::atexit(removeTempFiles);
    tempFiles.push_back(path);
    const bool written =
        bytes.empty() || write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    close(fd);
    if (!written) throw std::runtime_error("cannot write " + path);
    return path;
}

std::vector<Reading> playAndWatch(int ms, const std::function<bool(const Reading&)>& stop) {
    using Clock = std::chrono::steady_clock;
    std::vector<Reading> readings;
    const Clock::time_point start = Clock::now();
    if (BASSMOD_MusicPlay() == 0)
        throw std::runtime_error(std::string("cannot play: ") + musicErrorText());
    for (;;) {
        // The clock after the position: the reading cannot look early.
        const std::uint32_t position = BASSMOD_MusicGetPosition();
        const double elapsed =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (elapsed > ms) break;
        readings.push_back({elapsed, position});
        if (stop && stop(readings.back())) break;
        usleep(2000);
    }
    return readings;
}

}  // namespace musictest
