// The capture program's files: PNG pictures (libpng) and the WAV file of the
// music, written as the frames are made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace demo {

// Writes a width x height 8-bit RGB picture whose rows are stored bottom row
// first, as glReadPixels gives them, so that the file is upright. The bytes
// depend only on the pixels (no time stamp). On failure returns false with a
// reason in error.
bool writePng(const char* path, const std::uint8_t* bottomUpRgb, int width, int height,
              std::string& error);

// A WAV file being written: 16-bit stereo PCM at rate Hz. openWav
// writes a header for expectedFrames sample pairs; appendWav adds
// interleaved (left, right) sample pairs; closeWav closes, first writing the
// header again when the count came out otherwise (so that a file written to
// a pipe, where nothing can be written again, needs the right count up
// front). Each returns false with a reason in error on failure (a full disc,
// a file past 4 GiB); after a failure only closeWav is useful, and it leaves
// the file as far as it got.
struct WavWriter {
    std::FILE* file = nullptr;
    std::uint32_t rate = 0;             // samples per second, in the header
    std::uint64_t dataBytes = 0;        // sample bytes written so far
    std::uint64_t headerDataBytes = 0;  // the data size the header was written with
};
bool openWav(WavWriter& wav, const char* path, std::int32_t rate, std::uint64_t expectedFrames,
             std::string& error);
bool appendWav(WavWriter& wav, const std::int16_t* samples, std::size_t frames, std::string& error);
bool closeWav(WavWriter& wav, std::string& error);

}  // namespace demo
