// Standard streams. See process.h.
#include "process/process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace demo {

void openStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() returns the lowest free descriptor: this one.
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd && opened >= 0) close(opened);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

static std::string name = "demo";
// Standard error while quieted; -1 when it is not.
static int savedStandardError = -1;

void setProgramName(const char* argv0, const char* fallback) {
    const std::string given = argv0 != nullptr ? argv0 : "";
    name = given.substr(given.find_last_of('/') + 1);
    if (name.empty()) name = fallback;
}

const char* programName() { return name.c_str(); }

void printError(const std::string& message) {
    std::string line;
    for (const char c : message) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7f) {
            line += c;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", u);
        line += c == '\n' ? "\\n" : c == '\t' ? "\\t" : escaped;
    }
    restoreStandardError();
    std::fprintf(stderr, "%s: %s\n", programName(), line.c_str());
}

std::string memoryLimitNote() {
    rlimit limit;
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return "";
    return "; memory may have run out (ulimit -v lets the process have " +
           std::to_string(limit.rlim_cur >> 20) + " MiB)";
}

void quietStandardError() {
    if (savedStandardError >= 0) return;
    std::fflush(stderr);
    savedStandardError = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedStandardError >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
}

void restoreStandardError() {
    if (savedStandardError < 0) return;
    std::fflush(stderr);
    dup2(savedStandardError, STDERR_FILENO);
    close(savedStandardError);
    savedStandardError = -1;
}

int printAnswer(const std::string& text, const char* what) {
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    printError(std::string("cannot write the ") + what + " text: " + std::strerror(errno));
    return 1;
}

}  // namespace demo
