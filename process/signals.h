// Ending on a termination signal (SIGINT, SIGTERM, SIGHUP), however the
// program is blocked.
//
// Until the program says it has something to undo (deferTerminationSignals),
// a signal ends the process at once with status 128 + its number, as shells
// report a process a signal ended. From then on the first signal only asks
// for a clean stop, which the program makes at its next chance
// (terminationSignal() tells it). If the process has not ended within about
// a second of that signal (it is blocked: an X server that stopped
// answering, an encoder that stopped reading), or a second signal comes, it
// ends anyway: the scratch files registered below are removed, the child
// registered is killed, and the process exits with 128 + the first signal's
// number.
//
// SIGXFSZ is ignored: a file-size limit then shows as a write that fails
// with "File too large", reported and cleaned up like a full disc.
//
// The handlers are installed without SA_RESTART, so that a blocked read,
// write or wait returns with EINTR.
#pragma once

#include <sys/types.h>

#include <string>

namespace demo {

// Installs the handlers; a signal ends the process at once until the next
// call.
void catchTerminationSignals();

// From now on the first signal asks for a clean stop.
void deferTerminationSignals();

// The signal that asked for a stop, or 0.
int terminationSignal();

// Holds the termination signals over a few steps that must not be cut in
// half (putting files in place): a signal that comes meanwhile is only
// noted (terminationSignal() tells it), and whatever it would have ended at
// once, or its watchdog, waits for the release. Not nested.
void holdTerminationSignals();
void releaseTerminationSignals();

// Scratch files and folders: removed (files first, folders deepest first) when the process must
// end without its clean stop. registerScratch gives a handle, -1 when all
// its places are taken; forgetScratch(handle) when the path is gone or kept.
// Safe from any thread.
int registerScratch(const std::string& path, bool folder = false);
void forgetScratch(int handle);

// The child process killed when the process must end without its clean
// stop; -1 for none.
void registerChild(pid_t child);

// Ends the process at once, as a signal does when the clean stop cannot be
// made: the child killed, the scratch files and folders removed, exit status
// status. Only async-signal-safe calls: for the handlers of faults a program
// cannot come back from (a display that went away), so that a run's files
// go as they do on a signal.
[[noreturn]] void endWithoutCleanStop(int status);

}  // namespace demo
