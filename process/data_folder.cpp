// Finding an installed program's data folder. See data_folder.h.
#include "process/data_folder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace demo {

namespace fs = std::filesystem;

// Where the data folder of the program file at executable belongs, whether
// it exists or not.
static fs::path dataFolderPlace(const std::string& executable) {
    return (fs::path(executable).parent_path() / DEMO_DATA_FROM_BIN).lexically_normal();
}

std::string dataFolderOf(const std::string& executable) {
    const fs::path folder = dataFolderPlace(executable);
    std::error_code error;
    return fs::is_directory(folder, error) ? folder.string() : std::string();
}

// The running program's file: the kernel's link names the file itself, with
// every symbolic link on the way resolved, whatever folder or link it was
// started from. "" when it cannot be read.
static std::string runningProgram() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.string();
}

std::string installedDataFolder() {
    const std::string executable = runningProgram();
    return executable.empty() ? std::string() : dataFolderOf(executable);
}

// The installed data folder the program looked for, and whether it is the
// working directory now.
static std::string lookedFor;
static bool entered = false;

void enterInstalledDataFolder() {
    const std::string executable = runningProgram();
    if (executable.empty()) return;
    lookedFor = dataFolderPlace(executable).string();
    const std::string folder = dataFolderOf(executable);
    if (folder.empty()) return;
    // A folder that cannot be entered leaves the working directory as it is;
    // the usual messages then name the file that cannot be read.
    std::error_code error;
    fs::current_path(folder, error);
    entered = !error;
}

// The working directory's name; for one that was deleted under the program,
// the name it had (the kernel's link says "<name> (deleted)").
static std::string workingFolder() {
    std::error_code error;
    const std::string here = fs::current_path(error).string();
    if (!error) return here;
    std::string had = fs::read_symlink("/proc/self/cwd", error).string();
    const std::string deleted = " (deleted)";
    if (had.size() > deleted.size() &&
        had.compare(had.size() - deleted.size(), deleted.size(), deleted) == 0)
        had.resize(had.size() - deleted.size());
    return (had.empty() ? std::string("(its name unknown)") : had) + ", which was deleted";
}

std::string dataFilesWhere() {
    if (entered) return "in the data folder " + workingFolder();
    const std::string executable = lookedFor.empty() ? runningProgram() : std::string();
    const std::string place = executable.empty() ? lookedFor : dataFolderPlace(executable).string();
    std::error_code error;
    if (!place.empty() && fs::is_directory(place, error)) return "in the data folder " + place;
    std::string where = "looked in the working folder " + workingFolder();
    if (!place.empty()) where += "; the data folder " + place + " does not exist";
    return where;
}

std::string dataFileProblem(const std::string& problem) {
    const std::string missing = std::strerror(ENOENT);
    if (problem.size() < missing.size() ||
        problem.compare(problem.size() - missing.size(), missing.size(), missing) != 0)
        return problem;
    return problem + " (" + dataFilesWhere() + ")";
}

std::string defaultDataFile(const char* name) {
    const std::string folder = installedDataFolder();
    return folder.empty() ? std::string(name) : folder + "/" + name;
}

}  // namespace demo
