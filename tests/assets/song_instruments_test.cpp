// The song's synthesised instruments: samples free of clicks and DC, loops
// that join without a seam, and every tonal instrument in tune.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/song/instruments.h"

namespace {

using demo::Module;
using demo::ModuleSample;

const Module& songInstruments() {
    static const Module m = [] {
        Module module;
        demo::addSongInstruments(module);
        return module;
    }();
    return m;
}

constexpr double kFullScale = 32767;

// The instruments whose volume envelope starts from silence: a sample of
// theirs may start anywhere, the envelope fades it in.
bool startsFromSilence(const Module& m, int sample) {
    for (const demo::ModuleInstrument& ins : m.instruments) {
        bool uses = ins.sample == sample;
        for (int s : ins.keyboard)
            uses = uses || s == sample;
        if (uses && !ins.volumeEnvelope.points.empty() && ins.volumeEnvelope.points[0].value == 0)
            return true;
    }
    return false;
}

// ---- samples -------------------------------------------------------------------

TEST(SongSamples, PeakNearNinetyPercentOfFullScaleWithoutClipping) {
    for (const ModuleSample& s : songInstruments().samples) {
        int peak = 0;
        for (std::int16_t v : s.data)
            peak = std::max(peak, std::abs(int(v)));
        EXPECT_LE(peak, 0.9 * kFullScale + 1) << s.name;
        EXPECT_GE(peak, 0.9 * kFullScale - 1) << s.name;
    }
}

TEST(SongSamples, StartWithoutAClickAndOneShotsEndOnZero) {
    const Module& m = songInstruments();
    for (size_t i = 0; i < m.samples.size(); ++i) {
        const ModuleSample& s = m.samples[i];
        ASSERT_FALSE(s.data.empty()) << s.name;
        if (!startsFromSilence(m, int(i) + 1)) {
            EXPECT_LT(std::abs(s.data.front()), 0.01 * kFullScale) << s.name;
        }
        if (!s.loop) {
            EXPECT_EQ(s.data.back(), 0) << s.name;
        }
    }
}

TEST(SongSamples, CarryNoDcOffset) {
    for (const ModuleSample& s : songInstruments().samples) {
        // a looped sample sustains its loop, so that is where DC would sit
        const size_t from = s.loop ? size_t(s.loopBegin) : 0;
        const size_t to = s.loop ? size_t(s.loopEnd) : s.data.size();
        double sum = 0;
        for (size_t i = from; i < to; ++i)
            sum += s.data[i];
        EXPECT_LT(std::fabs(sum / (to - from)), 0.005 * kFullScale) << s.name;
    }
}

TEST(SongSamples, LoopsJoinWithoutASeam) {
    int loops = 0;
    for (const ModuleSample& s : songInstruments().samples) {
        if (!s.loop) continue;
        ++loops;
        // the step from the loop's last frame back to its first is no bigger
        // than the biggest step within the loop
        int steepest = 0;
        for (int i = s.loopBegin + 1; i < s.loopEnd; ++i)
            steepest = std::max(steepest, std::abs(s.data[i] - s.data[i - 1]));
        const int seam = std::abs(s.data[s.loopBegin] - s.data[s.loopEnd - 1]);
        EXPECT_LE(seam, steepest) << s.name;
    }
    EXPECT_GE(loops, 4) << "bass, two leads and the pad sustain on loops";
}

// ---- tuning ------------------------------------------------------------------------

// The fundamental in Hz of one note of an instrument, as libopenmpt plays it:
// the lag of the strongest autocorrelation near the expected period.
double playedFrequency(int instrument, int note, double expected) {
    Module m = songInstruments();
    m.channels = 1;
    m.orders = {0};
    demo::ModulePattern p;
    p.rows = 32;
    p.events.push_back({0, 0, note, instrument, 64});
    m.patterns.push_back(p);
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(demo::encodeModule(m, bytes, error)) << error;
    openmpt::module mod(bytes);
    std::vector<float> out(44100 / 2);
    mod.read(44100, out.size(), out.data());

    const int from = 4410;  // past the attack
    const int span = 8820;
    auto correlation = [&](int lag) {
        double sum = 0;
        for (int i = from; i < from + span; ++i)
            sum += double(out[i]) * out[i + lag];
        return sum;
    };
    const double period = 44100 / expected;
    int best = int(period * 0.9);
    for (int lag = best; lag <= int(period * 1.1) + 1; ++lag)
        if (correlation(lag) > correlation(best)) best = lag;
    // parabolic refinement between neighbouring lags
    const double a = correlation(best - 1), b = correlation(best), c = correlation(best + 1);
    const double lag = best + 0.5 * (a - c) / (a - 2 * b + c);
    return 44100 / lag;
}

double cents(double frequency, double reference) { return 1200 * std::log2(frequency / reference); }

TEST(SongTuning, EveryTonalInstrumentPlaysItsNoteInTune) {
    struct Case {
        const char* name;
        int instrument, note;
        double hz;
    };
    const Case cases[] = {
        {"bass A1", demo::kBass, 33, 55.0},    {"bass A2", demo::kBass, 45, 110.0},
        {"lead A4", demo::kLead, 69, 440.0},   {"lead A5 (high sample)", demo::kLead, 81, 880.0},
        {"pluck A4", demo::kPluck, 69, 440.0}, {"pluck A5 (high sample)", demo::kPluck, 81, 880.0},
        {"pad A3", demo::kPad, 57, 220.0},     {"pad C4", demo::kPad, 60, 261.6256},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(cents(playedFrequency(c.instrument, c.note, c.hz), c.hz), 0.0, 5.0) << c.name;
}

}  // namespace
