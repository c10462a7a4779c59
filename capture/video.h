// The MP4 output: H.264 video and AAC audio made by the ffmpeg command-line
// program. Raw frames are piped into one ffmpeg run that encodes the video
// alone; a second run then joins that video and a WAV file at
// videoAudioRate into the MP4, so that the music, which is complete only
// when the last frame is known, never has to be streamed beside the
// pictures.
//
// The file is made as video sites ask of uploads: BT.709 colours at limited
// range, tagged; AAC-LC at 48000 Hz and 384 kb/s; both tracks starting at
// time 0 without edit lists; a closed GOP of half a second with at most 2
// B-frames in a row; a title, and the program and its version as a comment.
// The same frames and sound give the same bytes.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace demo {

// The sound's rate in the video, and the video's title.
constexpr int videoAudioRate = 48000;
constexpr char videoTitle[] = "boxdemo";

// Whether program is an executable file in one of PATH's folders.
bool findOnPath(const char* program);

// A running encoder: its process, the pipe to its standard input, what it
// writes to its standard error (an anonymous file, quoted in a failure's
// message) and the bytes of a frame (set by the caller: FrameFormat,
// capture/options.h). The pid is also read by the drawing thread
// (interruptVideoEncoder) while the writer thread writes.
struct VideoEncoder {
    std::atomic<pid_t> pid{-1};
    int input = -1;
    int errors = -1;
    std::size_t frameBytes = 0;
};

// Starts ffmpeg encoding frames of width x height (both even) at fps into
// videoPath (H.264 High at x264's preset and constant quality 17, yuv420p
// BT.709, no audio). On failure returns false with a reason in error.
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

// Joins the video at videoPath and the WAV at wavPath (videoAudioRate) into
// an MP4 file at outputPath, whatever its name (the video copied, the audio
// encoded as AAC; its first 21 ms, the encoder's priming, left out).
// An interrupt of the capture ends ffmpeg and fails with "interrupted".
bool muxVideo(const std::string& videoPath, const std::string& wavPath,
              const std::string& outputPath, std::string& error);

}  // namespace demo
