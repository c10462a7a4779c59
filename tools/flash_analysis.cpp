// The flash analysis. See flash_analysis.h.
#include "tools/flash_analysis.h"

#include <algorithm>
#include <cmath>

namespace demo {

namespace {

// An 8-bit sRGB code's linear value (WCAG 2.2, "relative luminance").
struct LinearTable {
    float value[256];
    LinearTable() {
        for (int code = 0; code < 256; ++code) {
            const double c = code / 255.0;
            value[code] = float(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
    }
};
const LinearTable linear;

// Summed-area table entry (x, y) holds the sum over the pixels left of x and
// above y.
template <typename T>
T sumOver(const std::vector<T>& table, int stride, int x, int y, int w, int h) {
    return table[std::size_t(y + h) * stride + x + w] - table[std::size_t(y) * stride + x + w] -
           table[std::size_t(y + h) * stride + x] + table[std::size_t(y) * stride + x];
}

// Adds one frame's change of a field's mean to its run; true when it makes a
// transition. more and less: the share of the field's pixels that went up
// and down.
bool addChange(FieldRun& run, float mean, double more, double less, double step,
               bool needsDarkState) {
    float change = mean - run.previousMean;
    const float before = run.previousMean;
    run.previousMean = mean;
    const double share = change > 0 ? more : less;
    if (change == 0 || share < flashAreaShare) return false;
    const std::int8_t direction = change > 0 ? 1 : -1;
    if (direction != run.runDirection) {
        run.runDirection = direction;
        run.runStartMean = before;
        run.runChange = 0;
    }
    run.runChange += change;
    if (std::fabs(run.runChange) < step || direction == run.lastTransition) return false;
    // NOTE: the red rule has no darker-state condition; the saturation of
    // the pixels that changed stands for it (see analyseFrame).
    if (needsDarkState && std::min(run.runStartMean, mean) >= flashDarkerBelow) return false;
    run.lastTransition = direction;
    return true;
}

}  // namespace

void startFlashAnalysis(FlashAnalysis& a, int width, int height, int fps) {
    a = FlashAnalysis{};
    a.width = width;
    a.height = height;
    a.fps = fps;
    a.fieldWidth = std::max(1, (width + fieldsAcross / 2) / fieldsAcross);
    a.fieldHeight = std::max(1, (height + fieldsAcross / 2) / fieldsAcross);
    const std::size_t pixels = std::size_t(width) * height;
    a.luminance.assign(pixels, 0);
    a.red.assign(pixels, 0);
    a.saturated.assign(pixels, 0);
    const std::size_t table = std::size_t(width + 1) * (height + 1);
    a.sumLuminance.assign(table, 0);
    a.sumRed.assign(table, 0);
    for (auto* counts : {&a.lighter, &a.darker, &a.redder, &a.lessRed})
        counts->assign(table, 0);
    const std::size_t fields =
        std::size_t(width - a.fieldWidth + 1) * std::size_t(height - a.fieldHeight + 1);
    a.general.assign(fields, FieldRun{});
    a.redRuns.assign(fields, FieldRun{});
    a.generalAt.assign(std::size_t(fps), {});
    a.redAt.assign(std::size_t(fps), {});
}

void analyseFrame(FlashAnalysis& a, const std::uint8_t* rgb, std::size_t rowBytes) {
    const int w = a.width, h = a.height, stride = w + 1;
    const bool first = a.frame == 0;

    // Per pixel: luminance and red quantity, their changes, into the tables.
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = rgb + std::size_t(y) * rowBytes;
        double rowLuminance = 0, rowRed = 0;
        std::int32_t rowLighter = 0, rowDarker = 0, rowRedder = 0, rowLessRed = 0;
        for (int x = 0; x < w; ++x, p += 3) {
            const std::size_t i = std::size_t(y) * w + x;
            const float r = linear.value[p[0]], g = linear.value[p[1]], b = linear.value[p[2]];
            const float l = 0.2126f * r + 0.7152f * g + 0.0722f * b;
            const float q = std::max(0.0f, r - g - b);
            const bool saturated = r > 0 && r >= float(saturatedRedRatio) * (r + g + b);
            const float dl = l - a.luminance[i], dq = q - a.red[i];
            const bool redChange = saturated || a.saturated[i];
            rowLighter += dl > stillPixel;
            rowDarker += dl < -stillPixel;
            rowRedder += redChange && dq > stillPixel;
            rowLessRed += redChange && dq < -stillPixel;
            a.luminance[i] = l;
            a.red[i] = q;
            a.saturated[i] = saturated;
            rowLuminance += l;
            rowRed += q;
            const std::size_t t = std::size_t(y + 1) * stride + x + 1, above = t - stride;
            a.sumLuminance[t] = a.sumLuminance[above] + rowLuminance;
            a.sumRed[t] = a.sumRed[above] + rowRed;
            a.lighter[t] = a.lighter[above] + rowLighter;
            a.darker[t] = a.darker[above] + rowDarker;
            a.redder[t] = a.redder[above] + rowRedder;
            a.lessRed[t] = a.lessRed[above] + rowLessRed;
        }
    }

    // The window moves on: the transitions of a second ago leave it.
    const std::size_t slot = std::size_t(a.frame % a.fps);
    for (std::int32_t field : a.generalAt[slot])
        --a.general[std::size_t(field)].inWindow;
    for (std::int32_t field : a.redAt[slot])
        --a.redRuns[std::size_t(field)].inWindow;
    a.generalAt[slot].clear();
    a.redAt[slot].clear();

    // Every field.
    const int fw = a.fieldWidth, fh = a.fieldHeight;
    const double area = double(fw) * fh;
    const std::size_t second = std::size_t(a.frame / a.fps);
    if (a.seconds.size() <= second) a.seconds.resize(second + 1);
    SecondFigures& figures = a.seconds[second];
    std::int32_t field = 0;
    for (int y = 0; y + fh <= h; ++y) {
        for (int x = 0; x + fw <= w; ++x, ++field) {
            FieldRun& general = a.general[std::size_t(field)];
            FieldRun& red = a.redRuns[std::size_t(field)];
            const float meanLuminance = float(sumOver(a.sumLuminance, stride, x, y, fw, fh) / area);
            const float meanRed = float(sumOver(a.sumRed, stride, x, y, fw, fh) / area);
            if (first) {
                general.previousMean = meanLuminance;
                red.previousMean = meanRed;
                continue;
            }
            if (addChange(general, meanLuminance, sumOver(a.lighter, stride, x, y, fw, fh) / area,
                          sumOver(a.darker, stride, x, y, fw, fh) / area, flashLuminanceStep,
                          true)) {
                a.generalAt[slot].push_back(field);
                figures.generalTransitions =
                    std::max(figures.generalTransitions, int(++general.inWindow));
            }
            // NOTE: the red step is strict ("more than 20"); the float sum
            // of exact steps may land a hair above, so the step is nudged.
            if (addChange(red, meanRed, sumOver(a.redder, stride, x, y, fw, fh) / area,
                          sumOver(a.lessRed, stride, x, y, fw, fh) / area, redStep * (1 + 1e-6),
                          false)) {
                a.redAt[slot].push_back(field);
                figures.redTransitions = std::max(figures.redTransitions, int(++red.inWindow));
            }
        }
    }
    ++a.frame;
}

}  // namespace demo
