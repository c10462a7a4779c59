// Test support for the capture program. See capture_support.h.
#include "tests/capture/capture_support.h"

#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace capturetest {

std::string programPath() { return std::string(DEMO_BINARY_DIR) + "/demo-capture"; }
std::string testModulePath() { return std::string(DEMO_BINARY_DIR) + "/testdata/demosong.it"; }
std::string fontPath() { return std::string(DEMO_BINARY_DIR) + "/fontpre.tga"; }
std::string referencesFolder() {
    return std::string(DEMO_SOURCE_DIR) + "/tests/capture/references";
}
std::string failureFolder() {
    const std::string folder = std::string(DEMO_BINARY_DIR) + "/tests/capture/failures";
    testsupport::commandOutput("mkdir -p '" + folder + "'");
    return folder;
}

std::string testInputs() {
    return "--module '" + testModulePath() + "' --font '" + fontPath() + "'";
}

bool fileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

RunResult runCapture(const std::string& folder, const std::string& arguments,
                     const std::string& environment) {
    const std::string errorFile = folder + "/.stderr";
    const std::string command = "cd '" + folder + "' && " + environment + " '" + programPath() +
                                "' " + arguments + " 2>'" + errorFile + "' >/dev/null";
    const int status = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.errorText = testsupport::readFileBytes(errorFile);
    std::remove(errorFile.c_str());
    return result;
}

bool readPicture(const std::string& path, Picture& picture, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        error = image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) == 0) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

PictureDifference comparePictures(const Picture& actual, const Picture& reference, int tolerance,
                                  const std::string& diffPath) {
    PictureDifference d;
    std::vector<std::uint8_t> diff(reference.rgb.size());
    for (std::size_t i = 0; i + 2 < reference.rgb.size(); i += 3) {
        int worst = 0;
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(int(actual.rgb[i + c]) - int(reference.rgb[i + c])));
        d.largest = std::max(d.largest, worst);
        if (worst > tolerance) ++d.differing;
        // The reference dimmed to grey, differing pixels red.
        const int grey = (reference.rgb[i] + reference.rgb[i + 1] + reference.rgb[i + 2]) / 6 + 64;
        diff[i] = worst > tolerance ? 255 : std::uint8_t(grey);
        diff[i + 1] = worst > tolerance ? 0 : std::uint8_t(grey);
        diff[i + 2] = worst > tolerance ? 0 : std::uint8_t(grey);
    }
    if (d.largest > 0) {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(reference.width);
        image.height = static_cast<png_uint_32>(reference.height);
        image.format = PNG_FORMAT_RGB;
        png_image_write_to_file(&image, diffPath.c_str(), 0, diff.data(), 0, nullptr);
    }
    return d;
}

std::vector<TimelineFrame> readTimeline(const std::string& path) {
    std::vector<TimelineFrame> frames;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        TimelineFrame f{};
        std::istringstream s(line);
        s >> f.frame >> f.clockMs >> f.order >> f.row >> f.scene >> f.elapsedMs;
        frames.push_back(f);
    }
    return frames;
}

static std::uint32_t le32(const std::string& b, std::size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 |
           std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

static int le16(const std::string& b, std::size_t at) {
    return int(std::uint8_t(b[at])) | int(std::uint8_t(b[at + 1])) << 8;
}

WavFile readWav(const std::string& path) {
    WavFile w;
    const std::string b = testsupport::readFileBytes(path);
    if (b.size() < 44 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 8, "WAVEfmt ") != 0 ||
        b.compare(36, 4, "data") != 0)
        return w;
    w.riffSize = le32(b, 4);
    w.format = le16(b, 20);
    w.channels = le16(b, 22);
    w.rate = long(le32(b, 24));
    w.bits = le16(b, 34);
    w.dataSize = le32(b, 40);
    w.samples.resize((b.size() - 44) / 2);
    if (!w.samples.empty()) std::memcpy(w.samples.data(), b.data() + 44, w.samples.size() * 2);
    w.valid = true;
    return w;
}

std::string probeVideo(const std::string& path, const std::string& entries,
                       const std::string& streams) {
    return testsupport::commandOutput(
        "ffprobe -v error -of default=noprint_wrappers=1 -show_entries " + entries +
        (streams.empty() ? "" : " -select_streams " + streams) + " '" + path + "'");
}

// The value of key in ffprobe's "key=value" lines; "" without it.
static std::string probedValue(const std::string& lines, const std::string& key) {
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
    return "";
}

bool decodeVideoFrame(const std::string& path, int index, Picture& picture, std::string& error) {
    const std::string tags = probeVideo(path, "stream=width,height,color_space,color_range", "v");
    const std::string space = probedValue(tags, "color_space");
    const std::string range = probedValue(tags, "color_range");
    // Untagged, a player takes HD for BT.709 and smaller video for BT.601.
    const int height = std::atoi(probedValue(tags, "height").c_str());
    const std::string matrix = space == "smpte170m" || space == "bt470bg" ? "bt601"
                               : space == "bt709" || height >= 720        ? "bt709"
                                                                          : "bt601";
    const std::string levels = range == "pc" ? "pc" : "tv";
    // NOTE: raw pixels, not a PNG: ffmpeg writes the video's transfer into a
    // PNG as its gamma, which libpng would then convert.
    const std::string raw = path + ".frame.rgb";
    const std::string command =
        "ffmpeg -v error -y -i '" + path + "' -vf 'select=eq(n\\," + std::to_string(index) +
        "),scale=in_color_matrix=" + matrix + ":in_range=" + levels +
        ":flags=bicubic+full_chroma_int+accurate_rnd' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" +
        raw + "' 2>&1";
    const testsupport::CommandResult r = testsupport::runCommand(command);
    const std::string bytes = testsupport::readFileBytes(raw);
    std::remove(raw.c_str());
    picture.width = std::atoi(probedValue(tags, "width").c_str());
    picture.height = height;
    if (r.status != 0 || bytes.size() != std::size_t(picture.width) * picture.height * 3) {
        error = "ffmpeg could not decode frame " + std::to_string(index) + " of " + path + ": " +
                r.output;
        return false;
    }
    picture.rgb.assign(bytes.begin(), bytes.end());
    return true;
}

std::vector<std::int16_t> decodeVideoSound(const std::string& path) {
    const std::string raw = path + ".sound.raw";
    testsupport::commandOutput("ffmpeg -v error -y -i '" + path +
                               "' -map 0:a -c:a pcm_s16le -f s16le '" + raw + "'");
    const std::string bytes = testsupport::readFileBytes(raw);
    std::remove(raw.c_str());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

int soundOffset(const std::vector<std::int16_t>& wanted, const std::vector<std::int16_t>& decoded,
                std::size_t at, std::size_t count, int range) {
    int best = 0;
    double bestError = -1;
    for (int offset = -range; offset <= range; ++offset) {
        double error = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            const std::int64_t j = std::int64_t(i) + offset;
            const double miss = j >= 0 && std::size_t(j) < decoded.size() / 2
                                    ? double(wanted[2 * i]) - decoded[2 * std::size_t(j)]
                                    : 65536.0;
            error += miss * miss;
        }
        if (bestError < 0 || error < bestError) {
            bestError = error;
            best = offset;
        }
    }
    return best;
}

}  // namespace capturetest
