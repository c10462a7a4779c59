// PNG and WAV files of the capture program. See image_files.h.
#include "capture/image_files.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "music/offline.h"

namespace demo {

// PNG pictures

bool writePng(const char* path, const std::uint8_t* bottomUpRgb, int width, int height,
              std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // NOTE: a negative row stride tells libpng that the rows run bottom up:
    // it turns the picture upright as it writes, without a copy.
    const png_int_32 stride = -3 * width;
    // NOTE: our own FILE rather than libpng's, so that a failed write reports
    // the system's reason ("No space left on device") and not libpng's
    // "Write Error".
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    errno = 0;
    const bool written = png_image_write_to_stdio(&image, file, 0, bottomUpRgb, stride, nullptr);
    const int writeErrno = errno;
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    const int flushErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && flushed && closed) return true;
    const int cause = !flushed ? flushErrno : writeErrno != 0 ? writeErrno : errno;
    error = cause != 0 ? std::strerror(cause) : image.message;
    png_image_free(&image);
    return false;
}

// WAV file

static constexpr std::uint64_t wavHeaderBytes = 44;
static constexpr std::uint64_t wavLargestData =
    std::numeric_limits<std::uint32_t>::max() - (wavHeaderBytes - 8);

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "WAV samples are written straight from memory as little-endian int16");

static void put16(unsigned char* at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

static void put32(unsigned char* at, std::uint32_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}

// The 44-byte canonical header for dataBytes of 16-bit stereo samples at
// rate Hz.
static void makeHeader(unsigned char* header, std::uint32_t rate, std::uint32_t dataBytes) {
    const std::uint32_t channels = 2, bits = 16;
    std::memcpy(header, "RIFF", 4);
    put32(header + 4, dataBytes + 36);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    put32(header + 16, 16);  // the format chunk's size
    put16(header + 20, 1);   // PCM
    put16(header + 22, channels);
    put32(header + 24, rate);
    put32(header + 28, rate * channels * bits / 8);  // bytes per second
    put16(header + 32, channels * bits / 8);         // bytes per sample pair
    put16(header + 34, bits);
    std::memcpy(header + 36, "data", 4);
    put32(header + 40, dataBytes);
}

static bool failWav(std::string& error) {
    error = std::strerror(errno);
    return false;
}

bool openWav(WavWriter& wav, const char* path, std::int32_t rate, std::uint64_t expectedFrames,
             std::string& error) {
    closeWav(wav, error);
    wav.file = std::fopen(path, "wb");
    if (wav.file == nullptr) return failWav(error);
    wav.rate = std::uint32_t(rate);
    wav.dataBytes = 0;
    wav.headerDataBytes = std::min(4 * expectedFrames, wavLargestData);
    unsigned char header[wavHeaderBytes];
    makeHeader(header, wav.rate, static_cast<std::uint32_t>(wav.headerDataBytes));
    if (std::fwrite(header, 1, sizeof header, wav.file) != sizeof header) return failWav(error);
    return true;
}

bool appendWav(WavWriter& wav, const std::int16_t* samples, std::size_t frames,
               std::string& error) {
    if (wav.file == nullptr) {
        error = "no WAV file is open";
        return false;
    }
    if (wav.dataBytes + 4 * std::uint64_t(frames) > wavLargestData) {
        error = "a WAV file cannot hold more than 4 GiB of samples";
        return false;
    }
    if (std::fwrite(samples, 4, frames, wav.file) != frames) return failWav(error);
    wav.dataBytes += 4 * std::uint64_t(frames);
    return true;
}

bool closeWav(WavWriter& wav, std::string& error) {
    if (wav.file == nullptr) return true;
    bool ok = true;
    if (wav.dataBytes != wav.headerDataBytes) {
        unsigned char header[wavHeaderBytes];
        makeHeader(header, wav.rate, static_cast<std::uint32_t>(wav.dataBytes));
        ok = std::fseek(wav.file, 0, SEEK_SET) == 0 &&
             std::fwrite(header, 1, sizeof header, wav.file) == sizeof header;
        if (!ok) failWav(error);
    }
    if (std::fclose(wav.file) != 0 && ok) ok = failWav(error);
    wav.file = nullptr;
    return ok;
}

}  // namespace demo
