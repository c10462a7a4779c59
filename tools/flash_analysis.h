// The flash analysis: how often a sequence of frames flashes, by the
// general-flash and red-flash rules of the web accessibility guidelines.
//
// Sources of the figures (each constant below names its own):
//   - WCAG 2.2, success criterion 2.3.1 "Three Flashes or Below Threshold",
//     and its definitions of "general flash and red flash thresholds",
//     "relative luminance" and "pair of opposing transitions involving a
//     saturated red";
//   - ITU-R BT.1702, the broadcast guidance those definitions follow.
//
// What is judged: every 10-degree field of the screen, a rectangle a third
// of the frame's width and height (341x256 on a 1024x768 screen, as the
// guidelines put it), at every pixel position. For each field and frame the
// field's mean relative luminance (and mean red quantity) is compared with
// the previous frame's. A change counts only where the pixels that changed
// in its direction cover at least a quarter of the field; counted changes in
// one direction add up over frames, so a ramp over several frames is one
// change, as area-averaging analysers add them. When a run of changes in one
// direction reaches the threshold (and, for luminance, the darker of its two
// ends is below 0.8), and the last transition counted went the other way, a
// transition is counted. A flash is a pair of opposing transitions; a window
// of one second with more than six transitions (more than three flashes)
// fails.
//
// Frames are 8-bit sRGB, 3 bytes a pixel, rows top to bottom or bottom to
// top alike. Costs: a few operations per pixel and per field a frame.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

// A general flash: opposing changes of relative luminance of at least 0.1
// (of the maximum, 1.0) where the darker state is below 0.8 (WCAG 2.2,
// "general flash and red flash thresholds").
constexpr double flashLuminanceStep = 0.1;
constexpr double flashDarkerBelow = 0.8;
// A red flash: a change to or from a saturated red, whose R / (R + G + B) is
// at least 0.8, where (R - G - B) x 320, negatives taken as 0, changes by
// more than 20 (WCAG 2.2, "pair of opposing transitions involving a
// saturated red"; R, G and B linear, as in "relative luminance").
constexpr double saturatedRedRatio = 0.8;
constexpr double redStep = 20.0 / 320.0;
// Flashing over at least a quarter of any 10-degree field counts (WCAG 2.2:
// 0.006 steradians, "25% of any 10 degree visual field"; ITU-R BT.1702: a
// quarter of the screen's area at the usual viewing distance), a field being
// 341x256 pixels of a 1024x768 screen: a third of each side.
constexpr double flashAreaShare = 0.25;
constexpr int fieldsAcross = 3;
// More than three flashes in any one second fails (WCAG 2.2, 2.3.1; ITU-R
// BT.1702): more than six transitions.
constexpr int transitionsAllowed = 6;
// A pixel whose luminance moves by less than this is taken as still: below
// what one step of an 8-bit code changes in the mid tones.
constexpr double stillPixel = 0.002;

// One rule's state for one field.
struct FieldRun {
    float previousMean = 0;
    float runStartMean = 0;  // the mean where the current run began
    float runChange = 0;     // the run's change so far, signed
    std::int8_t runDirection = 0;
    std::int8_t lastTransition = 0;  // direction of the last transition counted
    std::uint16_t inWindow = 0;      // transitions in the last second
};

// The worst field's transitions in any one-second window ending in each
// second of the frames, for the general and the red rule.
struct SecondFigures {
    int generalTransitions = 0;
    int redTransitions = 0;
};

// The analysis of one sequence: made by startFlashAnalysis, fed every frame
// in order by analyseFrame, read through seconds.
struct FlashAnalysis {
    int width = 0, height = 0, fps = 0;
    int fieldWidth = 0, fieldHeight = 0;
    std::int64_t frame = 0;
    // The last frame's luminance and red quantity per pixel, and whether it
    // was saturated red.
    std::vector<float> luminance, red;
    std::vector<std::uint8_t> saturated;
    // Summed-area tables of this frame (width + 1 by height + 1): the
    // luminance, the red quantity, and the pixels that went up and down.
    std::vector<double> sumLuminance, sumRed;
    std::vector<std::int32_t> lighter, darker, redder, lessRed;
    std::vector<FieldRun> general, redRuns;  // one per field position
    // The fields that made a transition, by frame of the last second (a
    // ring of fps lists), to take them out of the window again.
    std::vector<std::vector<std::int32_t>> generalAt, redAt;
    std::vector<SecondFigures> seconds;
};

void startFlashAnalysis(FlashAnalysis& analysis, int width, int height, int fps);

// Judges the next frame: width x height pixels, 3 bytes each (sRGB),
// rowBytes apart.
void analyseFrame(FlashAnalysis& analysis, const std::uint8_t* rgb, std::size_t rowBytes);

// Flashes from transitions: a flash is a pair of them.
inline double flashesOf(int transitions) { return transitions / 2.0; }
inline bool failsRule(int transitions) { return transitions > transitionsAllowed; }

}  // namespace demo
