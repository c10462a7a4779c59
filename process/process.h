// What the show's programs do for themselves as processes, before anything
// else: standard streams that are really open, and the name they were
// started as, for their messages.
#pragma once

#include <string>

namespace demo {

// Makes descriptors 0, 1 and 2 valid, opening /dev/null on any that is
// closed, and ignores SIGPIPE. Called first thing in main: otherwise the
// first file or connection the program opens (the X display's, say) takes a
// closed descriptor 2, and messages meant for standard error are written
// into it. With SIGPIPE ignored, a write to a pipe whose reader has gone
// (an output piped into `head`, a standard error that was a closed pipe)
// fails with EPIPE, which the program reports and cleans up after like any
// failed write, instead of ending at once with status 141 and leaving its
// temporary files. Programs it starts inherit the setting (ffmpeg reports
// a broken pipe as an error too).
void openStandardStreams();

// The program's name for its messages and help: the last part of argv[0]
// ("boxdemo" when installed, "demo" in the build folder), or fallback when
// argv[0] is empty.
void setProgramName(const char* argv0, const char* fallback);
const char* programName();

// One message on standard error, after the program's name:
// "<name>: <message>", always one line: control characters in it (a
// newline in a file's name, say) are written as C escapes ("\n", "\x1b").
void printError(const std::string& message);

// When the process's address space is limited (ulimit -v): "; memory may
// have run out (ulimit -v lets the process have N MiB)", to end a message
// about a failure that such a limit can cause (the GL driver that cannot be
// loaded or cannot make a context); "" without a limit.
std::string memoryLimitNote();

// Standard error sent to /dev/null until restoreStandardError, or the
// program's own next message (printError restores it first): for the GL
// driver's own complaints while GLUT starts and the screen opens, which the
// program's one line replaces when opening fails.
void quietStandardError();
void restoreStandardError();

// Writes an answer to a question on the command line (the help or version
// text, which what names) to standard output: 0, or 1 after a message saying
// why it could not be written (a full device, a closed pipe).
int printAnswer(const std::string& text, const char* what);

}  // namespace demo
