// The scaling rule worked out on the CPU. See sharp_scaling.h.
#include "tests/support/sharp_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace testsupport {

namespace {

constexpr int pictureWidth = 640, pictureHeight = 480;

int wholeScale(Rect rect) {
    return std::max(1, std::min(rect.width / pictureWidth, rect.height / pictureHeight));
}

// Along one axis: the two picture pixels an output pixel mixes, and the
// weight of the second. Output pixel i of the rectangle's count samples the
// k-times image at its centre.
struct Tap {
    int first, second;
    double weight;
};

Tap tapAt(int i, int count, int picturePixels, int k, bool exact) {
    if (exact) return {i / k, i / k, 0};
    const int sharp = picturePixels * k;
    const double u = (i + 0.5) * sharp / count - 0.5;
    const int a = int(std::floor(u));
    const double weight = u - a;
    const int first = std::clamp(a, 0, sharp - 1), second = std::clamp(a + 1, 0, sharp - 1);
    return {first / k, second / k, weight};
}

}  // namespace

RgbImage sharpScaled(const RgbImage& picture, int width, int height, Rect rect) {
    RgbImage out(width, height);
    if (rect.width <= 0 || rect.height <= 0) return out;
    const int k = wholeScale(rect);
    const bool exact = rect.width == pictureWidth * k && rect.height == pictureHeight * k;
    std::vector<Tap> columns, rows;
    for (int x = 0; x < rect.width; ++x)
        columns.push_back(tapAt(x, rect.width, pictureWidth, k, exact));
    for (int y = 0; y < rect.height; ++y)
        rows.push_back(tapAt(y, rect.height, pictureHeight, k, exact));
    for (int y = 0; y < rect.height; ++y) {
        const Tap& r = rows[y];
        for (int x = 0; x < rect.width; ++x) {
            const Tap& c = columns[x];
            std::uint8_t* o = out.at(rect.x + x, rect.y + y);
            for (int ch = 0; ch < 3; ++ch) {
                const double low = picture.at(c.first, r.first)[ch] * (1 - c.weight) +
                                   picture.at(c.second, r.first)[ch] * c.weight;
                const double high = picture.at(c.first, r.second)[ch] * (1 - c.weight) +
                                    picture.at(c.second, r.second)[ch] * c.weight;
                o[ch] = std::uint8_t(low * (1 - r.weight) + high * r.weight + 0.5);
            }
        }
    }
    return out;
}

RgbImage pictureShownIn(const RgbImage& output, Rect rect) {
    RgbImage picture(pictureWidth, pictureHeight);
    const int k = wholeScale(rect);
    const bool exact = rect.width == pictureWidth * k && rect.height == pictureHeight * k;
    // The output pixel whose centre samples the middle of picture pixel i's
    // k-wide block, where both of its bilinear neighbours lie in the block.
    const auto unmixed = [&](int i, int count, int picturePixels) {
        if (exact) return i * k + k / 2;
        const double middle = i * k + (k - 1) / 2.0;
        return int(std::lround((middle + 0.5) * count / (picturePixels * k) - 0.5));
    };
    for (int y = 0; y < pictureHeight; ++y) {
        const int oy = rect.y + unmixed(y, rect.height, pictureHeight);
        for (int x = 0; x < pictureWidth; ++x) {
            const int ox = rect.x + unmixed(x, rect.width, pictureWidth);
            std::copy(output.at(ox, oy), output.at(ox, oy) + 3, picture.at(x, y));
        }
    }
    return picture;
}

ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tolerance) {
    ImageDifference d;
    if (a.width != b.width || a.height != b.height) {
        d.differing = -1;
        return d;
    }
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            int largest = 0;
            for (int ch = 0; ch < 3; ++ch)
                largest = std::max(largest, std::abs(int(a.at(x, y)[ch]) - int(b.at(x, y)[ch])));
            d.largest = std::max(d.largest, largest);
            if (largest > tolerance && d.differing++ == 0) {
                d.firstX = x;
                d.firstY = y;
            }
        }
    }
    return d;
}

bool blackOutside(const RgbImage& image, Rect rect) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool inside =
                x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height;
            const std::uint8_t* p = image.at(x, y);
            if (!inside && (p[0] != 0 || p[1] != 0 || p[2] != 0)) return false;
        }
    }
    return true;
}

void writePpm(const RgbImage& image, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
    for (int y = image.height - 1; y >= 0; --y)
        std::fwrite(image.at(0, y), 3, std::size_t(image.width), f);
    std::fclose(f);
}

}  // namespace testsupport
