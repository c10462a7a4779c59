// Modules of one tone per order; the short module for end-to-end tests plays
// every order of the show in 6.5 s.
#include <cmath>

#include "assets/song/song.h"

namespace demo {

Module composeToneModule(const ToneModuleLayout& layout) {
    Module m;
    m.name = layout.name;
    m.channels = 1;
    m.speed = layout.speed;
    m.tempo = layout.tempo;

    // a sine tone of 0.25 s at C-5 (261.63 Hz), faded in and out over 5 ms
    ModuleSample tone;
    tone.name = "tone";
    tone.c5Speed = 44100;
    const int frames = 11025;
    const int fade = 220;
    for (int i = 0; i < frames; ++i) {
        const double edge = std::fmin(1.0, std::fmin(i, frames - 1 - i) / double(fade));
        const double v = layout.amplitude * edge * std::sin(2 * M_PI * 261.6256 * i / 44100.0);
        tone.data.push_back(std::int16_t(std::lround(v)));
    }
    m.samples.push_back(tone);

    // one pattern per order, each striking its own note
    for (int k = 0; k < layout.orders; ++k) {
        ModulePattern p;
        p.rows = layout.rows;
        p.events.push_back({0, 0, 48 + 2 * k, 1, layout.volume});
        m.patterns.push_back(p);
        m.orders.push_back(k);
    }
    return m;
}

Module composeTestModule() {
    return composeToneModule({"demosong test", kShowOrders, 32, 1, 160, 12000.0, 64});
}

}  // namespace demo
