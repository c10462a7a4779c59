// Test support for tests that run programs and look at files: shell
// commands, whole files, scratch folders.
#pragma once

#include <string>

namespace testsupport {

struct CommandResult {
    int status = -1;     // the command's exit status; -1 when it did not exit normally
    std::string output;  // everything it wrote to standard output
};

// Runs command with /bin/sh and collects its standard output (add " 2>&1"
// to the command for its errors too).
CommandResult runCommand(const std::string& command);

// Runs command with /bin/sh, its descriptor fd (1 or 2) the write end of a
// pipe whose reader has gone (closed before the command starts), as when an
// output is piped into a program that has ended; SIGPIPE at its default, as
// a shell leaves it. Returns the exit status, 128 + n when signal n ended it.
int runIntoGonePipe(const std::string& command, int fd);

// The standard output of command, trailing newlines removed.
std::string commandOutput(const std::string& command);

// Whether a program of that name is on the PATH.
bool haveCommand(const char* name);

// The whole content of a file; "" when it cannot be read.
std::string readFileBytes(const std::string& path);

// A new empty folder /tmp/<prefix>-XXXXXX, and its removal with everything in it.
std::string makeTemporaryFolder(const std::string& prefix);
void removeFolder(const std::string& folder);

}  // namespace testsupport
