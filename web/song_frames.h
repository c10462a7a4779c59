// The song's frames: where the music is at each frame of the show played at
// seekFps frames a second from the top, as the capture plays it. A native
// build writes them to songFramesFileName (web/native/song_frames.cpp, with
// the capture's offline music); the page reads them to step the show to any
// frame exactly (web_shell.cpp's seeking).
//
// The file: one little-endian 32-bit packed position (music/position.h) per
// frame, frame 0 first, up to and including the first frame at the quit
// order; the frames before that one are the show's.
#pragma once

#include <cstdint>

namespace demo {

constexpr int seekFps = 60;
constexpr char songFramesFileName[] = "songframes.bin";

// The show's clock at frame n, in whole milliseconds (truncated).
// NOTE: the capture's virtual clock (capture/options.h, frameClockMs): the
// browser tests hold the page's seeks against the capture's frames.
inline int seekFrameClockMs(std::int64_t frame) { return static_cast<int>(frame * 1000 / seekFps); }

}  // namespace demo
