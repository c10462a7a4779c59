// The MP4 output: H.264 video and AAC audio made by the ffmpeg command-line
// program. Raw frames are piped into one ffmpeg run that encodes the video
// alone; a second run then joins that video and the WAV file into the MP4,
// so that the music, which is complete only when the last frame is known,
// never has to be streamed beside the pictures.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace demo {

// Whether program is an executable file in one of PATH's folders.
bool findOnPath(const char* program);

// A running encoder: its process, the pipe to its standard input and the
// bytes of a frame (set by the caller: FrameFormat, capture/options.h). The pid is also read by the
// drawing thread (interruptVideoEncoder) while the writer thread writes.
struct VideoEncoder {
    std::atomic<pid_t> pid{-1};
    int input = -1;
    std::size_t frameBytes = 0;
};

// Starts ffmpeg encoding frames of width x height (both even) at fps into
// videoPath (H.264 at x264's preset and constant quality 17, yuv420p, no
// audio). On failure returns false with a reason in error.
bool startVideoEncoder(VideoEncoder& encoder, const std::string& videoPath, int fps, int width,
                       int height, const std::string& preset, std::string& error);

// Sends one RGBA frame of the encoder's size (the alpha unused), rows bottom
// first as glReadPixels gives them (ffmpeg turns them upright). Fails when
// ffmpeg has gone away.
bool writeVideoFrame(VideoEncoder& encoder, const std::uint8_t* bottomUpRgba, std::string& error);

// Ends a running encoder at once (SIGKILL: what it wrote is thrown away), so
// that a write blocked on it returns; safe from another thread than the one
// writing frames.
void interruptVideoEncoder(VideoEncoder& encoder);

// Closes the pipe and waits for ffmpeg; fails when it did not succeed. Also
// used to clean up after a failure (then its own result is ignored).
bool finishVideoEncoder(VideoEncoder& encoder, std::string& error);

// Joins the video at videoPath and the WAV at wavPath into an MP4 file at
// outputPath, whatever its name (the video copied, the audio encoded as AAC).
// An interrupt of the capture ends ffmpeg and fails with "interrupted".
bool muxVideo(const std::string& videoPath, const std::string& wavPath,
              const std::string& outputPath, std::string& error);

}  // namespace demo
