// Writing the frames the capture reads back, on a thread of its own, so that
// drawing the next frame overlaps encoding this one: a PNG picture (under a
// temporary name, then moved into place) or a frame sent to the video
// encoder (capture/video.h).
//
// The drawing thread takes a free buffer, reads a frame into it and queues
// it; the writer writes the frames in order and hands the buffers back. A
// few buffers are in use at most, so a slow writer holds the drawing back
// rather than piling frames up. After a failed write the writer writes no
// more: the next buffer asked for is refused, and the error is kept for the
// drawing thread to report.
//
// The writer thread blocks the termination signals: they reach the drawing
// thread, which stops the writer (and ends the encoder, so that a write
// blocked on it returns).
#pragma once

#include <cstdint>
#include <string>

#include "capture/options.h"

namespace demo {

// Starts the writer for the frames of options (their size, and where they
// go).
void startFrameWriter(const CaptureOptions& options);

// The bytes of a pixel the writer takes: 3 (RGB) for pictures, 4 (RGBA) for
// the video encoder.
int framePixelBytes(const CaptureOptions& options);

// A buffer for the next frame (width x height pixels of framePixelBytes,
// rows bottom first), waiting while the writer holds them all; nullptr once
// a write has failed.
std::uint8_t* frameBuffer();

// Queues the buffer last handed out, holding frame number frame, to be
// written.
void queueFrame(std::int64_t frame);

// Waits until every queued frame is written (or, with abandon, stops at
// once: the frames not yet written are dropped and a running encoder is
// ended), and ends the thread. False with the first write's error in error
// when one failed. Does nothing when not started.
bool stopFrameWriter(bool abandon, std::string& error);

}  // namespace demo
