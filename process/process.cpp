// Standard streams. See process.h.
#include "process/process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace demo {

void openStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() returns the lowest free descriptor: this one.
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd && opened >= 0) close(opened);
    }
}

static std::string name = "demo";

void setProgramName(const char* argv0, const char* fallback) {
    const std::string given = argv0 != nullptr ? argv0 : "";
    name = given.substr(given.find_last_of('/') + 1);
    if (name.empty()) name = fallback;
}

const char* programName() { return name.c_str(); }

}  // namespace demo
