// The MP4 output through ffmpeg. See video.h.
#include "capture/video.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "process/process.h"
#include "process/signals.h"

extern char** environ;

namespace demo {

// The samples of silence ffmpeg's AAC encoder puts before the sound (one
// AAC frame).
constexpr int aacPriming = 1024;

bool findOnPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    const std::string folders = path;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = folders.find(':', start);
        std::string folder = folders.substr(start, colon - start);
        if (folder.empty()) folder = ".";
        const std::string candidate = folder + "/" + program;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return true;
        if (colon == std::string::npos) return false;
        start = colon + 1;
    }
}

// NOTE: every path goes to ffmpeg as "file:path", so that a name beginning
// with '-' or holding a ':' is never read as an option or a protocol.

// Starts ffmpeg with arguments, its standard input the read end of a new pipe
// when input is given (else /dev/null). Its standard output goes to
// /dev/null; its standard error, quieted to errors by -loglevel, to errors:
// an anonymous file in memory (-1 when none could be made), read by
// waitFfmpeg when ffmpeg has ended, which a full disc cannot stop.
static bool spawnFfmpeg(const std::vector<std::string>& arguments, int* input, pid_t& pid,
                        int& errors, std::string& error) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("ffmpeg"));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (input != nullptr && pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input != nullptr)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    errors = memfd_create("ffmpeg-errors", MFD_CLOEXEC);
    if (errors >= 0) posix_spawn_file_actions_adddup2(&actions, errors, STDERR_FILENO);
    // NOTE: a process group of its own, so that Ctrl+C in the terminal reaches
    // only the capture, which then ends ffmpeg itself and removes what it
    // wrote; ffmpeg would otherwise finish a shortened file on its own.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int status = posix_spawnp(&pid, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (input != nullptr) close(pipeEnds[0]);
    if (status != 0) {
        if (input != nullptr) close(pipeEnds[1]);
        if (errors >= 0) close(errors);
        errors = -1;
        error = std::string("cannot run ffmpeg: ") + std::strerror(status);
        return false;
    }
    if (input != nullptr) *input = pipeEnds[1];
    registerChild(pid);
    return true;
}

// The first line ffmpeg wrote to its standard error, quoted, after a space;
// "" when it wrote none. NOTE: ffmpeg says what went wrong in several lines
// (a full disc: the failed write, the trailer, the close, each naming our
// intermediate file); the first names the cause, and the capture's message
// stays one line.
static std::string ffmpegSaid(int errors) {
    if (errors < 0) return "";
    char text[512] = {};
    const ssize_t got = pread(errors, text, sizeof text - 1, 0);
    std::string line(text, got > 0 ? std::size_t(got) : 0);
    line = line.substr(0, line.find('\n'));
    // "[mov,mp4 @ 0x55...] " names the part of ffmpeg that spoke
    if (!line.empty() && line[0] == '[' && line.find("] ") != std::string::npos)
        line = line.substr(line.find("] ") + 2);
    if (line.size() > 160) line = line.substr(0, 157) + "...";
    return line.empty() ? "" : " (\"" + line + "\")";
}

// Waits for ffmpeg; true when it exited with status 0 and reported no error.
// An interrupt of the capture ends it. Closes errors (spawnFfmpeg's).
static bool waitFfmpeg(pid_t pid, int& errors, std::string& error) {
    int status = 0;
    bool ended = false;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            error = std::string("lost ffmpeg: ") + std::strerror(errno);
            if (errors >= 0) close(errors);
            errors = -1;
            return false;
        }
        if (terminationSignal() != 0 && !ended) {
            kill(pid, SIGKILL);
            ended = true;
        }
    }
    registerChild(-1);
    if (ended) {
        error = "interrupted";
        return false;
    }
    // NOTE: with -loglevel error ffmpeg writes only errors; it may still exit
    // with 0 after failing to finish its file.
    const std::string said = ffmpegSaid(errors);
    if (errors >= 0) close(errors);
    errors = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && said.empty()) return true;
    error = !WIFEXITED(status) ? "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status)) +
                                     " (" + strsignal(WTERMSIG(status)) + ")"
            : WEXITSTATUS(status) != 0
                ? "ffmpeg failed with status " + std::to_string(WEXITSTATUS(status)) + said
                : "ffmpeg reported an error" + said;
    return false;
}

bool startVideoEncoder(VideoEncoder& encoder, const std::string& videoPath, int fps, int width,
                       int height, const std::string& preset, std::string& error) {
    // NOTE: BT.709 at limited range, converted so and tagged so in the
    // stream and the container: what players assume of HD, and untagged
    // video is decoded differently by each. The colour's 2x2 blocks are
    // averaged (area), which keeps the edges of coloured shapes closest. Every preset is lifted to
    // High (CABAC, 8x8 transforms) with at most 2 B-frames in a row; a closed GOP of half a second.
    // The picture's first frame is shown at time 0 without an edit list (negative composition
    // offsets instead).
    // clang-format off
    const std::vector<std::string> arguments = {
        "-hide_banner", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pixel_format", "rgba", "-video_size",
        std::to_string(width) + "x" + std::to_string(height),
        "-framerate", std::to_string(fps), "-i", "pipe:0",
        "-vf", "vflip,scale=out_color_matrix=bt709:out_range=tv:flags=area+accurate_rnd,format=yuv420p", "-an",
        "-c:v", "libx264", "-preset", preset, "-crf", "17",
        "-g", std::to_string(std::max(1, fps / 2)), "-bf", "2", "-flags", "+cgop",
        "-x264-params", "cabac=1:8x8dct=1",
        "-color_range", "tv", "-colorspace", "bt709", "-color_primaries", "bt709",
        "-color_trc", "bt709",
        "-use_editlist", "0", "-movflags", "+negative_cts_offsets",
        "file:" + videoPath};
    // clang-format on
    pid_t pid = -1;
    if (!spawnFfmpeg(arguments, &encoder.input, pid, encoder.errors, error)) return false;
    encoder.pid = pid;
    return true;
}

void interruptVideoEncoder(VideoEncoder& encoder) {
    const pid_t pid = encoder.pid;
    if (pid > 0) kill(pid, SIGKILL);
}

bool writeVideoFrame(VideoEncoder& encoder, const std::uint8_t* bottomUpRgba, std::string& error) {
    std::size_t left = encoder.frameBytes;
    const std::uint8_t* at = bottomUpRgba;
    while (left > 0) {
        // NOTE: checked before every part of a frame, so that an interrupt
        // ends a write the encoder takes piece by piece.
        if (terminationSignal() != 0) {
            error = "interrupted";
            return false;
        }
        const ssize_t n = write(encoder.input, at, left);
        if (n < 0 && errno == EINTR && terminationSignal() == 0) continue;
        if (n < 0 && errno == EPIPE) {
            // ffmpeg has gone: its exit status says more than the pipe.
            std::string status;
            error = finishVideoEncoder(encoder, status) ? "ffmpeg stopped reading frames" : status;
            return false;
        }
        if (n <= 0) {
            error = std::string("cannot send a frame to ffmpeg: ") + std::strerror(errno);
            return false;
        }
        at += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool finishVideoEncoder(VideoEncoder& encoder, std::string& error) {
    if (encoder.input >= 0) close(encoder.input);
    encoder.input = -1;
    const pid_t pid = encoder.pid.exchange(-1);
    if (pid < 0) return true;
    // An interrupted capture keeps nothing of the video: ffmpeg need not
    // finish encoding the frames it holds.
    if (terminationSignal() != 0) kill(pid, SIGKILL);
    return waitFfmpeg(pid, encoder.errors, error);
}

bool muxVideo(const std::string& videoPath, const std::string& wavPath,
              const std::string& outputPath, std::string& error) {
    // NOTE: the AAC encoder puts aacPriming samples of its own before the
    // sound; without an edit list to hide them, the sound's first samples are
    // left out instead, so that every later one is heard at its own time.
    // The metadata holds nothing that changes from run to run (bitexact: no
    // encoder's version, no creation time).
    const std::string comment = std::string(programName()) + " " + DEMO_VERSION;
    // clang-format off
    const std::vector<std::string> arguments = {
        "-hide_banner", "-loglevel", "error", "-y",
        "-i", "file:" + videoPath, "-i", "file:" + wavPath, "-map", "0:v", "-map", "1:a",
        "-c:v", "copy",
        "-af", "atrim=start_sample=" + std::to_string(aacPriming) + ",asetpts=PTS-STARTPTS",
        "-c:a", "aac", "-b:a", "384k",
        "-map_metadata", "-1", "-metadata", std::string("title=") + videoTitle,
        "-metadata", "comment=" + comment, "-fflags", "+bitexact",
        "-use_editlist", "0", "-movflags", "+faststart+negative_cts_offsets",
        "-f", "mp4", "file:" + outputPath};
    // clang-format on
    pid_t pid = -1;
    int errors = -1;
    return spawnFfmpeg(arguments, nullptr, pid, errors, error) && waitFfmpeg(pid, errors, error);
}

}  // namespace demo
