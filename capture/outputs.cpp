// The capture's output files and interrupts. See outputs.h.
#include "capture/outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "process/signals.h"

namespace demo {

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

// Outputs reserved and not yet committed.
static std::vector<PendingOutput> pending;

static std::string folderOf(const std::string& path) {
    std::string folder, name;
    splitPath(path, folder, name);
    return folder;
}

std::string hiddenBeside(const std::string& path, const std::string& suffix) {
    std::string folder, name;
    splitPath(path, folder, name);
    return folder + "/." + name + suffix;
}

// Where a symbolic link at path leads, followed link after link (relative
// ones from their own folder), for a link whose target does not exist yet;
// path itself when it is no link.
static std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0) return path;
        target[length] = '\0';
        path = target[0] == '/' ? std::string(target) : folderOf(path) + "/" + target;
    }
    return path;
}

bool reserveOutput(const std::string& path, PendingOutput& output, std::string& error) {
    output = PendingOutput{path, path, "", false, -1};
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "cannot write " + path + ": it is a folder";
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            // A device or a pipe (also behind /dev/stdout or /dev/fd/N):
            // written as it is, never replaced.
            if (access(path.c_str(), W_OK) != 0) {
                error = "cannot write " + path + ": " + std::strerror(errno);
                return false;
            }
            output.temporaryPath = path;
            output.direct = true;
            return true;
        }
        // A regular file, perhaps behind links: the file itself is replaced.
        if (char* real = realpath(path.c_str(), nullptr)) {
            output.target = real;
            std::free(real);
        }
    } else {
        output.target = followLinks(path);
    }
    std::string temporary = hiddenBeside(output.target, ".part-XXXXXX");
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
    output.temporaryPath = temporary;
    output.scratch = registerScratch(temporary);
    pending.push_back(output);
    return true;
}

static void forget(const PendingOutput& output) {
    forgetScratch(output.scratch);
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [&](const PendingOutput& p) {
                                     return p.temporaryPath == output.temporaryPath;
                                 }),
                  pending.end());
}

bool commitOutput(PendingOutput& output, std::string& error) {
    if (output.direct) return true;
    if (std::rename(output.temporaryPath.c_str(), output.target.c_str()) != 0) {
        error = "cannot write " + output.path + ": " + std::strerror(errno);
        return false;
    }
    forget(output);
    return true;
}

void discardOutputs() {
    for (const PendingOutput& output : pending) {
        std::remove(output.temporaryPath.c_str());
        forgetScratch(output.scratch);
    }
    pending.clear();
}

}  // namespace demo
