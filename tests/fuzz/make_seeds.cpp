// Writes small modules for the module fuzz target's seed corpus, each made
// with the module writer to reach a different part of the format: sample
// mode with forward and ping-pong loops, effects and the special notes; and
// instrument mode with an envelope, a sustain loop, a keyboard split, new
// note actions, fade-out and automatic vibrato.
//
// Usage: make-fuzz-seeds <directory>
#include <cmath>
#include <cstdio>
#include <string>

#include "assets/song/module_writer.h"

namespace {

using demo::Module;
using demo::ModuleEvent;
using demo::ModulePattern;
using demo::ModuleSample;

// A short sampled wave: sine when bright is false, else a sawtooth.
ModuleSample wave(const char* name, bool bright, int frames) {
    ModuleSample s;
    s.name = name;
    s.c5Speed = 22050;
    for (int i = 0; i < frames; ++i) {
        const double phase = double(i % 32) / 32.0;
        const double v = bright ? 2 * phase - 1 : std::sin(2 * M_PI * phase);
        s.data.push_back(std::int16_t(std::lround(9000 * v)));
    }
    return s;
}

Module sampleModeSong() {
    Module m;
    m.name = "seed samples";
    m.channels = 3;
    m.speed = 3;
    m.tempo = 150;
    m.channelPan = {0, 32, 64};
    m.samples.push_back(wave("loop", false, 256));
    m.samples.back().loop = true;
    m.samples.back().loopBegin = 32;
    m.samples.back().loopEnd = 256;
    m.samples.push_back(wave("pingpong", true, 192));
    m.samples.back().loop = true;
    m.samples.back().pingPong = true;
    m.samples.back().loopBegin = 64;
    m.samples.back().loopEnd = 192;
    m.samples.push_back(wave("oneshot", false, 96));

    ModulePattern a;
    a.rows = 32;
    a.events = {
        {0, 0, 60, 1, 64},           {0, 1, 67, 2, 40, 'D', 0x02},  {2, 2, 72, 3},
        {4, 0, demo::kNoteOff},      {6, 1, demo::kNoteCut},        {8, 2, demo::kNoteFade},
        {10, 0, 62, 1, 200},         {12, 1, 55, 2, 100},           {14, 2, 48, 3, 70, 'A', 4},
        {16, 0, 64, 1, -1, 'T', 90}, {20, 1, 60, 2, -1, 'E', 0x10}, {24, 0, -1, 0, -1, 'C', 0},
    };
    ModulePattern b;
    b.rows = 64;
    b.events = {{0, 0, 65, 1, 64, 'H', 0x44},
                {8, 1, 69, 2, 32, 'R', 0x22},
                {16, 2, 52, 3, -1, 'S', 0x81},
                {32, 0, 60, 1, -1, 'B', 0}};
    m.patterns = {a, b};
    m.orders = {0, 1, 0};
    return m;
}

Module instrumentModeSong() {
    Module m;
    m.name = "seed instruments";
    m.channels = 2;
    m.samples.push_back(wave("soft", false, 128));
    m.samples.back().loop = true;
    m.samples.back().loopEnd = 128;
    m.samples.back().vibratoSpeed = 8;
    m.samples.back().vibratoDepth = 4;
    m.samples.back().vibratoRate = 16;
    m.samples.push_back(wave("hard", true, 128));

    demo::ModuleInstrument pad;
    pad.name = "pad";
    pad.sample = 1;
    pad.fadeOut = 32;
    pad.newNoteAction = 2;
    pad.volumeEnvelope.points = {{0, 0}, {4, 64}, {12, 40}, {30, 0}};
    pad.volumeEnvelope.sustainBegin = 1;
    pad.volumeEnvelope.sustainEnd = 2;
    demo::ModuleInstrument split;
    split.name = "split";
    split.keyboard.assign(120, 1);
    for (int note = 60; note < 120; ++note)
        split.keyboard[note] = 2;
    split.newNoteAction = 3;
    split.fadeOut = 64;
    m.instruments = {pad, split};

    ModulePattern p;
    p.rows = 32;
    p.events = {{0, 0, 48, 1, 64},
                {4, 1, 55, 2},
                {8, 0, 52, 1},
                {12, 1, 72, 2},
                {16, 0, demo::kNoteOff},
                {20, 1, 67, 2, 30},
                {24, 0, 60, 1, -1, 'G', 0x20}};
    m.patterns = {p};
    m.orders = {0, 0};
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds <directory>\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::string error;
    if (!demo::writeModule(sampleModeSong(), dir + "/samples.it", error) ||
        !demo::writeModule(instrumentModeSong(), dir + "/instruments.it", error)) {
        std::fprintf(stderr, "make-fuzz-seeds: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
