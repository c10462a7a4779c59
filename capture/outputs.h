// The capture's output files, made safely: a regular file is written under
// a temporary name beside it and moved into place only once complete, so
// that a failed or interrupted run never leaves a partial file under a name
// the user asked for; and a run is refused up front when an output would
// land on an input or on another output.
//
// An output that exists and is not a regular file (a device, a named pipe,
// /dev/stdout, /dev/fd/N) is written to directly and never replaced. A
// symbolic link is followed: its target is written, under a temporary name
// beside the target, and the link stays.
//
// Temporary files are registered as scratch (process/signals.h), so that a
// process ended by a signal while blocked still removes them.
#pragma once

#include <string>
#include <vector>

namespace demo {

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
// the folder of its target (".<name>.part-XXXXXX", the name shortened when
// it would not fit a file name), created at once, which proves the folder
// exists and can be written. Written at temporaryPath, then committed
// (renamed to target) or discarded. A direct output (see above) is written
// at its own path: temporaryPath is target, and commit and discard leave it
// as it is.
struct PendingOutput {
    std::string path;           // as given
    std::string target;         // the file written: path with its links followed
    std::string temporaryPath;  // where it is written meanwhile; empty: not reserved
    bool direct = false;
    int scratch = -1;
};

// A hidden name beside path, in its folder: ".<name><suffix>", with as much
// of the name as keeps it within the longest file name (255 bytes).
std::string hiddenBeside(const std::string& path, const std::string& suffix);

// Reserves path; false with a reason ("cannot write <path>: ...") when the
// temporary file cannot be made, or a direct output cannot be written.
bool reserveOutput(const std::string& path, PendingOutput& output, std::string& error);

// Moves finished outputs into place, all or none as far as the file system
// allows: the file each replaces is kept aside under a hidden name until
// every rename has succeeded, and put back when one fails. The termination
// signals are held meanwhile (process/signals.h), so that a signal comes
// after a commit, never inside it. False with a reason naming the output
// that failed, and what is left of the others when one could not be put
// back.
bool commitOutputs(const std::vector<PendingOutput*>& outputs, std::string& error);
// Removes a reserved file not committed. Does nothing when none is.
void discardOutput(PendingOutput& output);

// Folders a run made, shallowest first, each registered as scratch.
struct MadeFolders {
    std::vector<std::string> paths;
    std::vector<int> scratch;
};
// The folder at path and any missing parents, like mkdir -p; those it makes
// are added to made. False with a reason.
bool makeFolders(const std::string& path, MadeFolders& made, std::string& error);
// Forgets the folders made; with remove, first removes those still empty,
// deepest first.
void releaseFolders(MadeFolders& made, bool remove);

// The MP4's intermediate files: a hidden folder beside the video
// (".show.mp4.parts-XXXXXX") holding the video without sound, its sound
// (unless --wav is that sound), and, for a video written to a device or a
// pipe, the finished file before it is copied there. For such a video the folder is
// made in TMPDIR (or /tmp) instead. Each is scratch (process/signals.h).
struct ScratchFolder {
    std::string path;   // empty: none made
    std::string where;  // for messages: "beside show.mp4", "in TMPDIR (/tmp/x)"
    int handles[4] = {-1, -1, -1, -1};
};
enum ScratchFile { scratchVideo, scratchAudio, scratchMuxed };
bool makeScratchFolder(ScratchFolder& scratch, const PendingOutput& video, std::string& error);
std::string scratchFile(const ScratchFolder& scratch, ScratchFile file);
// Removes the folder and the files in it. Does nothing when none was made.
void removeScratchFolder(ScratchFolder& scratch);

// Copies the finished file at from into the device or pipe at to.
bool copyInto(const std::string& from, const PendingOutput& to, std::string& error);

}  // namespace demo
