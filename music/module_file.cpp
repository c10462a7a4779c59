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

}  // namespace demo
