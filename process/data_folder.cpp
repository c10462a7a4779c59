// Finding an installed program's data folder. See data_folder.h.
#include "process/data_folder.h"

#include <filesystem>
#include <system_error>

namespace demo {

std::string dataFolderOf(const std::string& executable) {
    namespace fs = std::filesystem;
    const fs::path folder =
        (fs::path(executable).parent_path() / DEMO_DATA_FROM_BIN).lexically_normal();
    std::error_code error;
    return fs::is_directory(folder, error) ? folder.string() : std::string();
}

std::string installedDataFolder() {
    // The kernel's link names the program file itself, with every symbolic
    // link on the way resolved, whatever folder or link it was started from.
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : dataFolderOf(executable.string());
}

// The installed data folder the program looked for, and whether it is the
// working directory now.
static std::string lookedFor;
static bool entered = false;

void enterInstalledDataFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        lookedFor = (executable.parent_path() / DEMO_DATA_FROM_BIN).lexically_normal().string();
    const std::string folder = installedDataFolder();
    if (folder.empty()) return;
    // A folder that cannot be entered leaves the working directory as it is;
    // the usual messages then name the file that cannot be read.
    fs::current_path(folder, error);
    entered = !error;
}

std::string dataFilesWhere() {
    std::error_code error;
    const std::string here = std::filesystem::current_path(error).string();
    if (entered) return "in the data folder " + here;
    std::string where = "looked in the working folder " + here;
    if (!lookedFor.empty()) where += "; the data folder " + lookedFor + " does not exist";
    return where;
}

}  // namespace demo
