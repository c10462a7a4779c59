// The capture's output files, made safely: each is written under a
// temporary name beside it and moved into place only once complete, so that
// a failed or interrupted run never leaves a partial file under a name the
// user asked for; and a run is refused up front when an output would land on
// an input or on another output.
//
// Interrupts: SIGINT, SIGTERM and SIGHUP only set a flag that the capture
// checks between frames and while it waits for ffmpeg; before anything is
// written (and so nothing is to clean up) they end the process at once,
// whatever it is waiting for.
#pragma once

#include <string>
#include <vector>

namespace demo {

// Installs the interrupt handlers (without SA_RESTART, so that a blocked
// read, write or wait returns). Until protectOutputs() the handlers end the
// process at once with 128 + the signal's number.
void installInterruptHandlers();
// From now on an interrupt only sets the flag: there are files to clean up.
void protectOutputs();
// The signal that interrupted the run, or 0.
int interruption();

// Whether two paths name the same file: the same file on disc when both
// exist, else the same absolute path once the folders are resolved.
bool sameFile(const std::string& a, const std::string& b);

// A file the capture reads or writes, as the command line named it.
struct NamedFile {
    std::string option;  // "--wav", "-o", ...
    std::string path;
};

// Refuses an output that names an input or another output: false with a
// one-line reason ("--wav demosong.it is the module the capture reads").
bool checkOutputsApart(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs,
                       std::string& error);

// A file output: reserved before the first frame under a temporary name in
// the folder of path (".<name>.part-XXXXXX"), created at once, which proves
// the folder exists and can be written. Written at temporaryPath, then
// committed (renamed to path) or discarded.
struct PendingOutput {
    std::string path;
    std::string temporaryPath;
};

// Reserves path; false with a reason ("cannot write <path>: ...") when the
// temporary file cannot be made. Every reserved file is removed by
// discardOutputs unless committed.
bool reserveOutput(const std::string& path, PendingOutput& output, std::string& error);
// Moves a finished output into place; false with a reason.
bool commitOutput(PendingOutput& output, std::string& error);
// Removes every reserved file not yet committed.
void discardOutputs();

}  // namespace demo
