// The flash analysis on made-up sequences whose answers are known: 90x90
// frames (10-degree fields of 30x30) for two seconds at 60 fps.
#include "tools/flash_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int side = 90, fps = 60;

struct Rgb {
    std::uint8_t r, g, b;
};
const Rgb black{0, 0, 0}, white{255, 255, 255};

// The sRGB code of a linear value.
std::uint8_t code(double linear) {
    const double c =
        linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return std::uint8_t(std::lround(c * 255));
}

// Which of two states frame n shows when it changes `changes` times a second.
bool onAt(int frame, int changes) { return (frame * changes / fps) % 2 == 1; }

struct Sequence {
    const char* name;
    std::function<Rgb(int frame, int x, int y)> pixel;
    int generalTransitions, redTransitions;  // the worst one-second window
};

// A patch of the frame's top left, w x h pixels, black and white changes
// times a second, over black.
std::function<Rgb(int, int, int)> patch(int w, int h, int changes) {
    return [=](int frame, int x, int y) {
        return x < w && y < h && onAt(frame, changes) ? white : black;
    };
}

TEST(FlashAnalysis, FindsTheFlashesOfKnownSequences) {
    const Sequence sequences[] = {
        {"whole picture at 2 flashes a second", patch(side, side, 4), 4, 0},
        {"whole picture at 3 flashes a second", patch(side, side, 6), 6, 0},
        {"whole picture at 4 flashes a second", patch(side, side, 8), 8, 0},
        // 30x30 fields: 216 pixels are 24% of one, 234 are 26%.
        {"patch of 24% of a field", patch(12, 18, 10), 0, 0},
        {"patch of 26% of a field", patch(13, 18, 10), 10, 0},
        {"flicker between 0.85 and 1.0",
         [](int frame, int, int) {
             const std::uint8_t grey = onAt(frame, 10) ? code(0.85) : 255;
             return Rgb{grey, grey, grey};
         },
         0, 0},
        // Steps of 0.05 a frame, under the threshold, that add up to 0.5.
        {"ramps of 10 frames between 0 and 0.5",
         [](int frame, int, int) {
             const int phase = frame % 20;
             const std::uint8_t grey = code(0.05 * (phase <= 10 ? phase : 20 - phase));
             return Rgb{grey, grey, grey};
         },
         6, 0},
        // 0.5 s to 1.5 s only: four flashes in each whole second, eight in
        // the second around 1 s.
        {"4 flashes a second across two seconds",
         [](int frame, int, int) {
             return frame >= 30 && frame < 90 && onAt(frame, 8) ? white : black;
         },
         8, 0},
        {"saturated red and black at 4 flashes a second",
         [](int frame, int, int) {
             return onAt(frame, 8) ? Rgb{255, 0, 0} : black;
         },
         8, 8},
        // R / (R + G + B) = 0.7 in linear terms: not a saturated red.
        {"pink and black at 4 flashes a second",
         [](int frame, int, int) {
             return onAt(frame, 8) ? Rgb{255, 128, 128} : black;
         },
         8, 0},
    };
    std::vector<std::uint8_t> frame(side * side * 3);
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        demo::FlashAnalysis analysis;
        demo::startFlashAnalysis(analysis, side, side, fps);
        for (int n = 0; n < 2 * fps; ++n) {
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) {
                    const Rgb rgb = sequence.pixel(n, x, y);
                    std::uint8_t* p = &frame[std::size_t(y * side + x) * 3];
                    p[0] = rgb.r;
                    p[1] = rgb.g;
                    p[2] = rgb.b;
                }
            demo::analyseFrame(analysis, frame.data(), side * 3);
        }
        int general = 0, red = 0;
        for (const demo::SecondFigures& second : analysis.seconds) {
            general = std::max(general, second.generalTransitions);
            red = std::max(red, second.redTransitions);
        }
        EXPECT_EQ(general, sequence.generalTransitions);
        EXPECT_EQ(red, sequence.redTransitions);
    }
}

TEST(FlashAnalysis, FailsAboveThreeFlashesInASecond) {
    EXPECT_FALSE(demo::failsRule(6));
    EXPECT_TRUE(demo::failsRule(7));
    EXPECT_EQ(demo::flashesOf(7), 3.5);
}

}  // namespace
