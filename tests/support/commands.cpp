// Shell commands, files and scratch folders for tests. See commands.h.
#include "tests/support/commands.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace testsupport {

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    if (status != -1 && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

int runIntoGonePipe(const std::string& command, int fd) {
    int ends[2];
    if (pipe(ends) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        dup2(ends[1], fd);
        close(ends[1]);
        std::signal(SIGPIPE, SIG_DFL);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[0]);
    close(ends[1]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string commandOutput(const std::string& command) {
    std::string out = runCommand(command).output;
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

bool haveCommand(const char* name) {
    return runCommand(std::string("command -v ") + name + " >/dev/null 2>&1").status == 0;
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string makeTemporaryFolder(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return mkdtemp(name.data()) != nullptr ? std::string(name.data()) : std::string();
}

void removeFolder(const std::string& folder) {
    // Only what makeTemporaryFolder made.
    if (folder.compare(0, 5, "/tmp/") == 0 && folder.find("'") == std::string::npos &&
        folder.find("/..") == std::string::npos)
        runCommand("rm -rf '" + folder + "'");
}

}  // namespace testsupport
