// The capture's output files and interrupts. See outputs.h.
#include "capture/outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace demo {

// --- interrupts ---------------------------------------------------------------

static volatile std::sig_atomic_t interruptedBy = 0;
static volatile std::sig_atomic_t outputsProtected = 0;

static void onInterrupt(int signal) {
    if (!outputsProtected) _exit(128 + signal);
    interruptedBy = signal;
}

void installInterruptHandlers() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // NOTE: no SA_RESTART: a blocked call returns with EINTR
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void protectOutputs() { outputsProtected = 1; }

int interruption() { return interruptedBy; }

// --- paths --------------------------------------------------------------------

static void splitPath(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.find_last_of('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with its folder resolved (links, "..", the working directory),
// when the folder exists; the path as given otherwise.
static std::string resolvedPath(const std::string& path) {
    std::string folder, name;
    splitPath(path, folder, name);
    char* real = realpath(folder.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string out = real;
    std::free(real);
    return out == "/" ? "/" + name : out + "/" + name;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return resolvedPath(a) == resolvedPath(b);
}

bool checkOutputsApart(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs,
                       std::string& error) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const NamedFile& out = outputs[i];
        for (const NamedFile& in : inputs) {
            if (sameFile(out.path, in.path)) {
                error = out.option + " " + out.path + " is the file the capture reads for " +
                        in.option + "; writing it would destroy it";
                return false;
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (sameFile(out.path, outputs[j].path)) {
                error = out.option + " and " + outputs[j].option + " both name " + out.path +
                        "; give each output a file of its own";
                return false;
            }
        }
    }
    return true;
}

// --- pending outputs ----------------------------------------------------------

// Temporary files reserved and not yet committed.
static std::vector<std::string> pending;

bool reserveOutput(const std::string& path, PendingOutput& output, std::string& error) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = "cannot write " + path + ": it is a folder";
        return false;
    }
    std::string folder, name;
    splitPath(path, folder, name);
    std::string temporary = folder + "/." + name + ".part-XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; the output gets the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    pending.push_back(temporary);
    output = {path, temporary};
    return true;
}

bool commitOutput(PendingOutput& output, std::string& error) {
    if (std::rename(output.temporaryPath.c_str(), output.path.c_str()) != 0) {
        error = "cannot write " + output.path + ": " + std::strerror(errno);
        return false;
    }
    pending.erase(std::remove(pending.begin(), pending.end(), output.temporaryPath), pending.end());
    return true;
}

void discardOutputs() {
    for (const std::string& path : pending)
        std::remove(path.c_str());
    pending.clear();
}

}  // namespace demo
