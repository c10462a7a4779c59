// Reading a module file. See module_file.h.
#include "music/module_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

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

// Little-endian fields of an Impulse Tracker module, 0 past the end.
std::uint64_t field(const unsigned char* data, std::size_t size, std::uint64_t at, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | (at + std::uint64_t(i) < size ? data[at + std::uint64_t(i)] : 0);
    return value;
}

// Where a sample's data ends: at + its bytes, or for a compressed sample the
// end of its last block (each block a 16-bit byte count and the bytes;
// 0x8000 samples of 8 bits or 0x4000 of 16 a block, channel by channel).
// Stops walking at the end of the bytes.
std::uint64_t sampleDataEnd(const unsigned char* data, std::size_t size, std::uint64_t at,
                            std::uint64_t length, unsigned flags) {
    const bool sixteen = (flags & 2) != 0, stereo = (flags & 4) != 0;
    if ((flags & 8) == 0) return at + length * (sixteen ? 2 : 1) * (stereo ? 2 : 1);
    const std::uint64_t perBlock = sixteen ? 0x4000 : 0x8000;
    for (int channel = 0; channel < (stereo ? 2 : 1); ++channel) {
        for (std::uint64_t left = length; left > 0 && at <= size;) {
            at += 2 + field(data, size, at, 2);
            left -= left < perBlock ? left : perBlock;
        }
    }
    return at;
}

}  // namespace

bool moduleComplete(const unsigned char* data, std::size_t size, std::string& why) {
    if (size < 4 || std::memcmp(data, "IMPM", 4) != 0) return true;
    const auto at = [&](std::uint64_t offset, int bytes) {
        return field(data, size, offset, bytes);
    };
    // the header and its tables: orders, then the offsets of the instruments,
    // the sample headers and the patterns
    const std::uint64_t orders = at(0x20, 2), instruments = at(0x22, 2), samples = at(0x24, 2),
                        patterns = at(0x26, 2);
    const std::uint64_t tables = 0xC0 + orders;
    std::uint64_t end = tables + 4 * (instruments + samples + patterns);
    const char* part = "header";
    const auto reaches = [&](std::uint64_t partEnd, const char* name) {
        if (partEnd > end) {
            end = partEnd;
            part = name;
        }
    };
    for (std::uint64_t i = 0; end <= size && i < instruments; ++i) {
        const std::uint64_t offset = at(tables + 4 * i, 4);
        if (offset != 0) reaches(offset + 554, "instruments");
    }
    for (std::uint64_t i = 0; end <= size && i < samples; ++i) {
        const std::uint64_t offset = at(tables + 4 * (instruments + i), 4);
        if (offset == 0) continue;
        reaches(offset + 0x50, "sample headers");
        const unsigned flags = unsigned(at(offset + 0x12, 1));
        const std::uint64_t length = at(offset + 0x30, 4);
        if ((flags & 1) != 0 && length > 0)
            reaches(sampleDataEnd(data, size, at(offset + 0x48, 4), length, flags), "sample data");
    }
    for (std::uint64_t i = 0; end <= size && i < patterns; ++i) {
        const std::uint64_t offset = at(tables + 4 * (instruments + samples + i), 4);
        if (offset != 0) reaches(offset + 8 + at(offset, 2), "patterns");
    }
    if (end <= size) return true;
    why =
        "the file is cut short: it has " + std::to_string(size) + " bytes, too few for its " + part;
    return false;
}

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
    if (ok && !moduleComplete(data.data(), data.size(), why)) {
        data.clear();
        return false;
    }
    return ok;
}

}  // namespace demo
