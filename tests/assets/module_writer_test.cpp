// The module writer, checked by reading what it writes back through
// libopenmpt: settings, orders, cells, sample loops and envelopes as written,
// and malformed descriptions refused with a message that names the fault.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "assets/song/module_writer.h"
#include "tests/support/commands.h"

namespace {

using demo::Module;
using demo::ModuleEvent;
using demo::ModuleInstrument;
using demo::ModulePattern;
using demo::ModuleSample;

// A sample whose frames are all different, so a render shows which frame
// plays when.
ModuleSample markedSample(int frames) {
    ModuleSample s;
    s.name = "marked";
    s.c5Speed = 44100;
    for (int i = 0; i < frames; ++i)
        s.data.push_back(std::int16_t((i * 7919) % 2000 - 1000 + (i % 3) * 5000));
    return s;
}

// A sample of one value throughout, looped over its whole length or not.
ModuleSample steadySample(int frames, std::int16_t value, bool loop) {
    ModuleSample s;
    s.c5Speed = 44100;
    s.data.assign(frames, value);
    s.loop = loop;
    s.loopEnd = loop ? frames : 0;
    return s;
}

// A small valid module: three channels, two patterns, two samples.
Module smallModule() {
    Module m;
    m.name = "small";
    m.channels = 3;
    m.speed = 5;
    m.tempo = 150;
    m.orders = {0, 1, 0};
    ModulePattern p;
    p.rows = 32;
    p.events.push_back({0, 0, 60, 1, 64, 'T', 150});
    p.events.push_back({4, 1, demo::kNoteOff});
    p.events.push_back({5, 2, 73, 2, 130, 'H', 0x44});
    p.events.push_back({6, 2, demo::kNoteCut, 0, 100, 'D', 0x0F});
    m.patterns.push_back(p);
    ModulePattern q;
    q.rows = 48;
    q.events.push_back({47, 2, 72, 1, demo::kNoVolume, 'C', 0});
    m.patterns.push_back(q);
    m.samples.push_back(markedSample(1000));
    m.samples.push_back(markedSample(10));
    m.samples[1].name = "short";
    return m;
}

openmpt::module load(const Module& m) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(demo::encodeModule(m, bytes, error)) << error;
    return openmpt::module(bytes);
}

// Renders a module as the frames of one channel (mono) or left/right pairs,
// with nearest-frame interpolation and no volume ramps, so a played sample
// shows in the output frame for frame, only scaled.
std::vector<float> render(openmpt::module& mod, size_t frames, bool stereo = false) {
    mod.set_render_param(openmpt::module::RENDER_INTERPOLATIONFILTER_LENGTH, 1);
    mod.set_render_param(openmpt::module::RENDER_VOLUMERAMPING_STRENGTH, 0);
    std::vector<float> out(stereo ? 2 * frames : frames);
    if (stereo)
        mod.read_interleaved_stereo(44100, frames, out.data());
    else
        mod.read(44100, frames, out.data());
    return out;
}

// One pattern of 32 rows on one channel that plays note C-5 of sample or
// instrument 1 at full volume in its first row.
Module oneNote(const ModuleSample& sample) {
    Module m;
    m.channels = 1;
    m.orders = {0};
    ModulePattern p;
    p.rows = 32;
    p.events.push_back({0, 0, 60, 1, 64});
    m.patterns.push_back(p);
    m.samples.push_back(sample);
    return m;
}

// ---- reading back ------------------------------------------------------------

TEST(ModuleWriterReadBack, SongSettingsOrdersAndPatternSizesAreAsWritten) {
    openmpt::module mod = load(smallModule());
    EXPECT_EQ(mod.get_metadata("title"), "small");
    EXPECT_EQ(mod.get_metadata("type"), "it");
    EXPECT_EQ(mod.get_num_channels(), 3);
    EXPECT_EQ(mod.get_current_speed(), 5);
    EXPECT_EQ(mod.get_current_tempo(), 150);
    ASSERT_EQ(mod.get_num_orders(), 3);
    EXPECT_EQ(mod.get_order_pattern(0), 0);
    EXPECT_EQ(mod.get_order_pattern(1), 1);
    EXPECT_EQ(mod.get_order_pattern(2), 0);
    ASSERT_EQ(mod.get_num_patterns(), 2);
    EXPECT_EQ(mod.get_pattern_num_rows(0), 32);
    EXPECT_EQ(mod.get_pattern_num_rows(1), 48);
}

TEST(ModuleWriterReadBack, CellsHoldNoteInstrumentVolumeColumnAndEffect) {
    openmpt::module mod = load(smallModule());
    EXPECT_EQ(mod.format_pattern_row_channel(0, 0, 0), "C-5 01v40 T96");
    EXPECT_EQ(mod.format_pattern_row_channel(0, 4, 1), "=== .. .. ...");
    EXPECT_EQ(mod.format_pattern_row_channel(0, 5, 2), "C#6 02p02 H44");
    EXPECT_EQ(mod.format_pattern_row_channel(0, 6, 2), "^^^ ..d05 D0F");
    EXPECT_EQ(mod.format_pattern_row_channel(1, 47, 2), "C-6 01 .. C00");
    // the cells no event names stay empty
    EXPECT_EQ(mod.format_pattern_row_channel(0, 0, 1), "... .. .. ...");
    EXPECT_EQ(mod.format_pattern_row_channel(0, 31, 2), "... .. .. ...");
}

TEST(ModuleWriterReadBack, EventsNamingOneCellMergeTheirFields) {
    Module m = smallModule();
    m.patterns[0].events.push_back({9, 1, 48});
    m.patterns[0].events.push_back({9, 1, demo::kNoNote, 2});
    m.patterns[0].events.push_back({9, 1, demo::kNoNote, 0, 32, 'A', 3});
    openmpt::module mod = load(m);
    EXPECT_EQ(mod.format_pattern_row_channel(0, 9, 1), "C-4 02v20 A03");
}

TEST(ModuleWriterReadBack, RowDurationFollowsSpeedAndTempo) {
    // speed 5 at tempo 150: 5 ticks of 2.5/150 s make a row of 1/12 s
    openmpt::module mod = load(smallModule());
    EXPECT_NEAR(mod.set_position_order_row(1, 0), 32.0 / 12, 1e-6);
    EXPECT_NEAR(mod.set_position_order_row(2, 0), 80.0 / 12, 1e-6);
}

TEST(ModuleWriterReadBack, SampleAndInstrumentNamesAreAsWritten) {
    Module m = smallModule();
    m.instruments.push_back({"lead", 1});
    m.instruments.push_back({"bass", 2});
    openmpt::module mod = load(m);
    EXPECT_EQ(mod.get_sample_names(), (std::vector<std::string>{"marked", "short"}));
    EXPECT_EQ(mod.get_instrument_names(), (std::vector<std::string>{"lead", "bass"}));
}

// ---- samples and instruments as heard ------------------------------------------

TEST(ModuleWriterSamples, LoopRepeatsExactlyItsFramesAfterTheFirstPass) {
    ModuleSample s = markedSample(1000);
    s.loop = true;
    s.loopBegin = 100;
    s.loopEnd = 1000;
    openmpt::module mod = load(oneNote(s));
    const std::vector<float> out = render(mod, 5000);
    const double gain = out[1] / s.data[1];
    ASSERT_GT(gain, 0);
    for (int i = 0; i < 5000; ++i) {
        const int frame = i < 1000 ? i : 100 + (i - 100) % 900;
        ASSERT_NEAR(out[i], gain * s.data[frame], 1e-6) << "output frame " << i;
    }
}

TEST(ModuleWriterSamples, PingPongLoopRunsBackAndForth) {
    ModuleSample s = markedSample(300);
    s.loop = true;
    s.pingPong = true;
    s.loopBegin = 200;
    s.loopEnd = 300;
    openmpt::module mod = load(oneNote(s));
    const std::vector<float> out = render(mod, 600);
    const double gain = out[1] / s.data[1];
    // forwards to frame 299, back down to frame 200 and forwards again
    for (int i = 0; i < 300; ++i)
        ASSERT_NEAR(out[i], gain * s.data[i], 1e-6) << "output frame " << i;
    for (int i = 300; i < 400; ++i)
        ASSERT_NEAR(out[i], gain * s.data[599 - i], 1e-6) << "output frame " << i;
    for (int i = 400; i < 499; ++i)
        ASSERT_NEAR(out[i], gain * s.data[i - 199], 1e-6) << "output frame " << i;
}

TEST(ModuleWriterSamples, UnloopedSampleStopsAtItsEnd) {
    // After the last frame the mixer only lets the last value settle towards
    // zero (its guard against a click): no frame of the sample plays again.
    openmpt::module mod = load(oneNote(markedSample(700)));
    const std::vector<float> out = render(mod, 2000);
    ASSERT_GT(out[699], 0.0f);
    for (int i = 700; i < 2000; ++i)
        ASSERT_TRUE(out[i] >= 0 && out[i] <= out[i - 1]) << "output frame " << i;
    EXPECT_LT(out[1999], out[699] / 10);
}

TEST(ModuleWriterSamples, SampleVolumeScalesTheOutput) {
    // the note's own volume column would override the sample's volume
    ModuleSample s = markedSample(500);
    Module m = oneNote(s);
    m.patterns[0].events[0].volume = demo::kNoVolume;
    openmpt::module full = load(m);
    m.samples[0].volume = 16;
    openmpt::module quarter = load(m);
    const std::vector<float> a = render(full, 400);
    const std::vector<float> b = render(quarter, 400);
    EXPECT_NEAR(b[2] / a[2], 0.25, 0.01);
}

TEST(ModuleWriterSamples, ChannelPanAndVolumeReachTheMix) {
    Module m = oneNote(markedSample(500));
    m.channels = 2;
    m.channelPan = {0, 64};
    m.channelVolume = {64, 0};
    m.patterns[0].events.push_back({0, 1, 60, 1, 64});
    openmpt::module mod = load(m);
    const std::vector<float> out = render(mod, 400, true);
    // channel 0 is hard left; channel 1, hard right, is muted by its volume
    EXPECT_NE(out[2 * 2], 0.0f);
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(out[2 * i + 1], 0.0f) << "right output frame " << i;
}

TEST(ModuleWriterSamples, InstrumentEnvelopeShapesTheNoteInTicks) {
    Module m = oneNote(steadySample(4410, 20000, true));
    // speed 6 at tempo 125: 20 ms ticks of 882 frames. Full for 4 ticks, then
    // down to nothing at tick 8; each tick ends at the envelope's value.
    ModuleInstrument ins;
    ins.volumeEnvelope.points = {{0, 64}, {4, 64}, {8, 0}};
    m.instruments.push_back(ins);
    openmpt::module mod = load(m);
    const std::vector<float> out = render(mod, 882 * 12);
    EXPECT_GT(out[882 * 2], 0.0f);
    EXPECT_NEAR(out[882 * 7 - 1] / out[882 * 2], 0.5, 0.01);
    for (int i = 882 * 8; i < 882 * 12; ++i)
        ASSERT_EQ(out[i], 0.0f) << "output frame " << i;
}

TEST(ModuleWriterSamples, SustainHoldsUntilNoteOff) {
    Module m = oneNote(steadySample(4410, 20000, true));
    m.patterns[0].events.push_back({4, 0, demo::kNoteOff});  // row 4 = tick 24
    ModuleInstrument ins;
    ins.volumeEnvelope.points = {{0, 64}, {2, 32}, {4, 0}};
    ins.volumeEnvelope.sustainBegin = 1;
    ins.volumeEnvelope.sustainEnd = 1;
    m.instruments.push_back(ins);
    openmpt::module mod = load(m);
    const std::vector<float> out = render(mod, 882 * 40);
    const float held = out[882 * 20];
    EXPECT_GT(held, 0.0f);
    EXPECT_NEAR(out[882 * 10] / held, 1.0, 1e-6) << "the sustain point holds";
    for (int i = 882 * 30; i < 882 * 40; ++i)
        ASSERT_EQ(out[i], 0.0f) << "after the release, output frame " << i;
}

TEST(ModuleWriterSamples, KeyboardSplitsPlayEachNotesOwnSample) {
    Module m = oneNote(steadySample(1000, -10000, false));
    m.samples.push_back(steadySample(1000, 10000, false));
    m.channels = 2;
    m.patterns[0].events[0].note = 59;
    m.patterns[0].events.push_back({8, 1, 60, 1, 64});
    ModuleInstrument ins;
    ins.keyboard.assign(120, 1);
    for (int note = 60; note < 120; ++note)
        ins.keyboard[note] = 2;
    m.instruments.push_back(ins);
    openmpt::module mod = load(m);
    // speed 6 at tempo 125: row 8 starts at frame 8 * 6 * 882
    const std::vector<float> out = render(mod, 8 * 6 * 882 + 500);
    EXPECT_LT(out[100], 0.0f) << "note 59 plays the low sample";
    EXPECT_GT(out[8 * 6 * 882 + 100], 0.0f) << "note 60 plays the high sample";
}

// ---- refusals ----------------------------------------------------------------------

struct Fault {
    const char* what;
    std::function<void(Module&)> spoil;
    const char* message;  // a part of the expected message
};

const Fault faults[] = {
    {"order names a missing pattern", [](Module& m) { m.orders[1] = 2; },
     "order 1: pattern 2 does not exist (patterns 0..1)"},
    {"no orders", [](Module& m) { m.orders.clear(); }, "0 orders"},
    {"row past the pattern",
     [](Module& m) {
         m.patterns[1].events.push_back({48, 0, 60});
     },
     "pattern 1, event 1: row 48 is outside rows 0..47"},
    {"negative row", [](Module& m) { m.patterns[0].events[0].row = -1; }, "row -1"},
    {"channel past the song's",
     [](Module& m) {
         m.patterns[0].events.push_back({0, 3, 60});
     },
     "channel 3 is outside channels 0..2"},
    {"too many channels", [](Module& m) { m.channels = 65; }, "65 channels, 1..64"},
    {"too few rows", [](Module& m) { m.patterns[0].rows = 16; }, "pattern 0: 16 rows"},
    {"too many rows", [](Module& m) { m.patterns[0].rows = 201; }, "pattern 0: 201 rows"},
    {"loop past the sample end",
     [](Module& m) {
         m.samples[0].loop = true;
         m.samples[0].loopBegin = 10;
         m.samples[0].loopEnd = 1001;
     },
     "sample 1: loop 10..1001 does not fit in its 1000 frames"},
    {"empty loop",
     [](Module& m) {
         m.samples[0].loop = true;
         m.samples[0].loopBegin = 5;
         m.samples[0].loopEnd = 5;
     },
     "loop 5..5"},
    {"note out of range", [](Module& m) { m.patterns[0].events[0].note = 120; },
     "note 120 is not a note"},
    {"missing sample in sample mode", [](Module& m) { m.patterns[0].events[0].instrument = 3; },
     "sample 3 does not exist"},
    {"missing instrument",
     [](Module& m) {
         m.instruments.push_back({"only", 1});
         m.patterns[0].events[2].instrument = 2;
     },
     "instrument 2 does not exist"},
    {"instrument names a missing sample",
     [](Module& m) {
         m.instruments.push_back({"x", 3});
     },
     "instrument 1: sample 3 does not exist"},
    {"volume column gap", [](Module& m) { m.patterns[0].events[0].volume = 126; },
     "volume column 126"},
    {"effect not a letter", [](Module& m) { m.patterns[0].events[0].effect = '1'; }, "effect 49"},
    {"effect parameter too big", [](Module& m) { m.patterns[0].events[0].param = 256; },
     "parameter 256"},
    {"two notes in one cell",
     [](Module& m) {
         m.patterns[0].events.push_back({0, 0, 62});
     },
     "row 0, channel 0 already has that field set"},
    {"song name too long", [](Module& m) { m.name = std::string(26, 'x'); },
     "song: name has 26 characters"},
    {"tempo too slow", [](Module& m) { m.tempo = 31; }, "tempo 31"},
    {"speed zero", [](Module& m) { m.speed = 0; }, "speed 0"},
    {"pan list of the wrong size",
     [](Module& m) {
         m.channelPan = {0, 64};
     },
     "2 channel pans given for 3 channels"},
    {"pan past the right",
     [](Module& m) {
         m.channelPan = {0, 65, 32};
     },
     "channel 1 pan 65"},
    {"sample volume too loud", [](Module& m) { m.samples[1].volume = 65; }, "sample 2: volume 65"},
    {"envelope not starting at tick 0",
     [](Module& m) {
         m.instruments.push_back({"env", 1});
         m.instruments[0].volumeEnvelope.points = {{3, 64}, {5, 0}};
     },
     "the first envelope point is at tick 3"},
    {"envelope going back in time",
     [](Module& m) {
         m.instruments.push_back({"env", 1});
         m.instruments[0].volumeEnvelope.points = {{0, 64}, {5, 10}, {5, 0}};
     },
     "envelope point 2 does not come after point 1"},
    {"keyboard of the wrong size",
     [](Module& m) {
         m.instruments.push_back({"keys", 1});
         m.instruments[0].keyboard.assign(119, 1);
     },
     "instrument 1: keyboard has 119 notes, not 120"},
    {"keyboard naming a missing sample",
     [](Module& m) {
         m.instruments.push_back({"keys", 1});
         m.instruments[0].keyboard.assign(120, 1);
         m.instruments[0].keyboard[70] = 3;
     },
     "note 70 plays sample 3, which does not exist"},
    {"sustain past the last point",
     [](Module& m) {
         m.instruments.push_back({"env", 1});
         m.instruments[0].volumeEnvelope.points = {{0, 64}, {5, 10}};
         m.instruments[0].volumeEnvelope.sustainBegin = 1;
         m.instruments[0].volumeEnvelope.sustainEnd = 2;
     },
     "sustain loop 1..2"},
};

TEST(ModuleWriterRefuses, EachMalformedDescriptionWithAMessageNamingTheFault) {
    ASSERT_EQ(demo::checkModule(smallModule()), "") << "the unspoilt module is writable";
    for (const Fault& f : faults) {
        Module m = smallModule();
        f.spoil(m);
        const std::string message = demo::checkModule(m);
        EXPECT_NE(message.find(f.message), std::string::npos)
            << f.what << ": got \"" << message << "\"";
        std::vector<std::uint8_t> bytes{1, 2, 3};
        std::string error;
        EXPECT_FALSE(demo::encodeModule(m, bytes, error)) << f.what;
        EXPECT_EQ(error, message) << f.what;
        EXPECT_TRUE(bytes.empty()) << f.what;
    }
}

// ---- files ------------------------------------------------------------------------

// Each test writes in a folder of its own, removed afterwards: a fixed name
// in /tmp may belong to another user, or to another run.
class ModuleWriterFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder = testsupport::makeTemporaryFolder("module-writer");
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override { testsupport::removeFolder(folder); }
    std::string folder;
};

TEST_F(ModuleWriterFiles, ARefusedDescriptionWritesNoFile) {
    const std::string path = folder + "/refused.it";
    Module m = smallModule();
    m.orders.push_back(9);
    std::string error;
    EXPECT_FALSE(demo::writeModule(m, path, error));
    EXPECT_NE(error.find("order 3: pattern 9"), std::string::npos) << error;
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
}

TEST_F(ModuleWriterFiles, WrittenFileLoadsAndAnUnwritablePathIsReported) {
    const std::string path = folder + "/small.it";
    std::string error;
    ASSERT_TRUE(demo::writeModule(smallModule(), path, error)) << error;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<char> bytes(1 << 16);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    openmpt::module mod(bytes);
    EXPECT_EQ(mod.get_num_orders(), 3);

    EXPECT_FALSE(demo::writeModule(smallModule(), "/nonexistent-dir/x.it", error));
    EXPECT_EQ(error, "cannot create /nonexistent-dir/x.it: No such file or directory");
}

}  // namespace
