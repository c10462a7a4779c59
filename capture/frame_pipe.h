// The frames' way from the GL driver to their files: read back from the
// picture target (scaled first onto the output target for a size other than
// 640x480), then written on a thread of its own, so that drawing the next
// frame overlaps encoding this one: a PNG picture (under a temporary name,
// then moved into place) or a frame sent to the video encoder
// (capture/video.h).
//
// The read-back runs a frame behind, so that the driver draws the next frame
// while it copies this one: sendFrame asks for the frame just drawn into one
// of two pixel buffer objects and hands the one before it, read by now, to
// the writer. The drawing thread takes a free buffer of the writer's, reads
// a frame into it and queues it; the writer writes the frames in order and
// hands the buffers back. A few buffers are in use at most, so a slow writer
// holds the drawing back rather than piling frames up. After a failed write
// the writer writes no more, and the error is kept for the drawing thread to
// report.
//
// The writer thread blocks the termination signals: they reach the drawing
// thread, which stops the writer (and ends the encoder, so that a write
// blocked on it returns).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/options.h"
#include "capture/video.h"
#include "picture/picture_target.h"

namespace demo {

struct FramePipe {
    // Set by openFramePipe, read-only after.
    const CaptureOptions* options = nullptr;
    FrameFormat format;
    VideoEncoder* encoder = nullptr;  // the MP4's; none for pictures

    // The GL side (the drawing thread's): the target the picture is scaled
    // onto for another size, and two pixel buffer objects, the frame being
    // read and the one before it, with the frame number each holds (-1:
    // none).
    bool open = false;
    OffscreenTarget output;
    unsigned readBuffers[2] = {0, 0};
    std::int64_t readFrames[2] = {-1, -1};
    int nextReadBuffer = 0;

    // The writer's buffers: one being written, one queued, one being read
    // into; the one handed out to the drawing thread.
    static constexpr int bufferCount = 3;
    std::vector<std::uint8_t> buffers[bufferCount];
    int handedOut = -1;
    std::thread writer;

    // Shared with the writer thread, under lock.
    std::mutex lock;
    std::condition_variable changed;
    std::deque<int> freeBuffers;
    std::deque<std::pair<int, std::int64_t>> queue;  // (buffer, frame)
    bool stopping = false, abandoned = false, failed = false;
    std::string failure;
};

// Opens the targets and read buffers for frames of format, going where
// options say (to encoder for an MP4), and starts the writer when there are
// pictures or a video to write; false with a one-line reason in error. The
// GL context must be current (capture/gl_window.h).
bool openFramePipe(FramePipe& pipe, const CaptureOptions& options, const FrameFormat& format,
                   VideoEncoder* encoder, std::string& error);

// The frame just drawn into the picture target, numbered frame, asked to be
// read back; the one before it goes to the writer. False with the reason once
// a write has failed, or when the driver could not hand a frame over.
bool sendFrame(FramePipe& pipe, std::int64_t frame, std::string& error);

// After the last frame of a run that ended as it should: the frame still
// being read back goes to the writer. False as sendFrame.
bool flushFramePipe(FramePipe& pipe, std::string& error);

// Stops the writer (waiting until every queued frame is written, or, with
// abandon, at once: the frames not yet written are dropped and a running
// encoder is ended) and releases the targets. False with the first write's
// error when one failed. Does nothing when not open.
bool closeFramePipe(FramePipe& pipe, bool abandon, std::string& error);

}  // namespace demo
