// The capture's output files and interrupts. See outputs.h.
#include "capture/outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <algorithm>
#include <cerrno>
#include <cstdio>
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

static std::string folderOf(const std::string& path) {
    std::string folder, name;
    splitPath(path, folder, name);
    return folder;
}

std::string hiddenBeside(const std::string& path, const std::string& suffix) {
    std::string folder, name;
    splitPath(path, folder, name);
    // NOTE: NAME_MAX, not pathconf's answer: the file systems that allow
    // longer names are rare, and a shorter hidden name costs nothing.
    const std::size_t room = NAME_MAX - 1 - std::min<std::size_t>(suffix.size(), NAME_MAX - 1);
    if (name.size() > room) {
        std::size_t cut = room;
        // Not inside a UTF-8 character: its continuation bytes are 10xxxxxx.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
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
    return true;
}

// A second name for the file at target, beside it, so that it survives being
// replaced; empty when it cannot have one (no file there, or a file system
// without hard links).
static std::string keepAside(const std::string& target) {
    struct stat info;
    if (lstat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return "";
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string kept = hiddenBeside(target, ".old-XXXXXX");
        const int fd = mkstemp(&kept[0]);
        if (fd < 0) return "";
        close(fd);
        unlink(kept.c_str());
        if (link(target.c_str(), kept.c_str()) == 0) return kept;
        if (errno != EEXIST) return "";
    }
    return "";
}

bool commitOutputs(const std::vector<PendingOutput*>& outputs, std::string& error) {
    struct Step {
        PendingOutput* output;
        std::string kept;  // the file it replaced, under its second name; empty: none
        bool replaced;     // whether a file was there before
    };
    std::vector<Step> done;
    holdTerminationSignals();
    bool ok = true;
    for (PendingOutput* output : outputs) {
        if (output->direct || output->temporaryPath.empty()) continue;
        struct stat info;
        const bool replaced = lstat(output->target.c_str(), &info) == 0;
        const std::string kept = replaced ? keepAside(output->target) : "";
        if (std::rename(output->temporaryPath.c_str(), output->target.c_str()) != 0) {
            error = "cannot write " + output->path + ": " + std::strerror(errno);
            if (!kept.empty()) unlink(kept.c_str());
            ok = false;
            break;
        }
        done.push_back({output, kept, replaced});
    }
    // All in place: the earlier files go. Else each one committed is undone,
    // the last first: the earlier file put back, or the new one removed.
    std::string notBack;
    for (auto step = done.rbegin(); step != done.rend(); ++step) {
        PendingOutput& output = *step->output;
        if (ok) {
            if (!step->kept.empty()) unlink(step->kept.c_str());
        } else if (!step->kept.empty() ? std::rename(step->kept.c_str(), output.target.c_str()) == 0
                                       : !step->replaced && unlink(output.target.c_str()) == 0) {
            continue;
        } else {
            notBack += (notBack.empty() ? "" : ", ") + output.path;
            if (!step->kept.empty()) unlink(step->kept.c_str());
        }
        forgetScratch(output.scratch);
        output.scratch = -1;
        output.temporaryPath.clear();
    }
    if (!notBack.empty()) error += "; already replaced, and left so: " + notBack;
    releaseTerminationSignals();
    return ok;
}

void discardOutput(PendingOutput& output) {
    if (output.direct || output.temporaryPath.empty()) return;
    std::remove(output.temporaryPath.c_str());
    forgetScratch(output.scratch);
    output.scratch = -1;
    output.temporaryPath.clear();
}

// --- folders ------------------------------------------------------------------

bool makeFolders(const std::string& path, MadeFolders& made, std::string& error) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) == 0) {
            made.paths.push_back(part);
            made.scratch.push_back(registerScratch(part, true));
        } else if (errno != EEXIST) {
            error = "cannot make the folder " + part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) break;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = path + " is not a folder";
        return false;
    }
    return true;
}

void releaseFolders(MadeFolders& made, bool remove) {
    for (std::size_t i = made.paths.size(); i-- > 0;) {
        if (remove) rmdir(made.paths[i].c_str());
        forgetScratch(made.scratch[i]);
    }
    made = MadeFolders{};
}

bool makeScratchFolder(ScratchFolder& scratch, const PendingOutput& video, std::string& error) {
    std::string pattern;
    if (video.direct) {
        const char* tmp = std::getenv("TMPDIR");
        const bool named = tmp != nullptr && *tmp != '\0';
        const std::string folder = named ? tmp : "/tmp";
        pattern = folder + "/demo-capture-XXXXXX";
        scratch.where = named ? "in TMPDIR (" + folder + ")" : "in " + folder;
    } else {
        pattern = hiddenBeside(video.target, ".parts-XXXXXX");
        scratch.where = "beside " + video.path;
    }
    if (mkdtemp(&pattern[0]) == nullptr) {
        error = "cannot make a folder for the video's intermediate files " + scratch.where + ": " +
                std::strerror(errno);
        return false;
    }
    scratch.path = pattern;
    scratch.handles[3] = registerScratch(scratch.path, true);
    for (ScratchFile file : {scratchVideo, scratchAudio, scratchMuxed})
        scratch.handles[file] = registerScratch(scratchFile(scratch, file));
    return true;
}

std::string scratchFile(const ScratchFolder& scratch, ScratchFile file) {
    static const char* const names[3] = {"video.mp4", "audio.wav", "muxed.mp4"};
    return scratch.path + "/" + names[file];
}

void removeScratchFolder(ScratchFolder& scratch) {
    if (scratch.path.empty()) return;
    for (ScratchFile file : {scratchVideo, scratchAudio, scratchMuxed})
        std::remove(scratchFile(scratch, file).c_str());
    rmdir(scratch.path.c_str());
    for (int& handle : scratch.handles) {
        forgetScratch(handle);
        handle = -1;
    }
    scratch.path.clear();
}

bool copyInto(const std::string& from, const PendingOutput& to, std::string& error) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = in != nullptr ? std::fopen(to.target.c_str(), "wb") : nullptr;
    bool ok = out != nullptr;
    char block[1 << 16];
    while (ok) {
        const std::size_t got = std::fread(block, 1, sizeof block, in);
        if (got > 0 && std::fwrite(block, 1, got, out) != got) ok = false;
        if (got < sizeof block) break;
    }
    ok = ok && !std::ferror(in);
    const int cause = errno;
    if (out != nullptr && std::fclose(out) != 0) ok = false;
    if (in != nullptr) std::fclose(in);
    if (!ok) error = "cannot write " + to.path + ": " + std::strerror(cause ? cause : errno);
    return ok;
}

}  // namespace demo
