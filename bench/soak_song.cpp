// The soak run's module. See soak_song.h.
#include "bench/soak_song.h"

#include <cmath>

namespace bench {

demo::Module composeSoakSong() {
    demo::Module m;
    m.name = "soak";
    m.channels = 1;
    m.speed = 3;
    m.tempo = 107;

    // a sine tone of 0.25 s at C-5, faded in and out over 5 ms
    demo::ModuleSample tone;
    tone.name = "tone";
    tone.c5Speed = 44100;
    const int frames = 11025, fade = 220;
    for (int i = 0; i < frames; ++i) {
        const double edge = std::fmin(1.0, std::fmin(i, frames - 1 - i) / double(fade));
        const double v = 8000.0 * edge * std::sin(2 * M_PI * 261.6256 * i / 44100.0);
        tone.data.push_back(std::int16_t(std::lround(v)));
    }
    m.samples.push_back(tone);

    for (int k = 0; k < soakOrders; ++k) {
        demo::ModulePattern p;
        p.rows = 64;
        p.events.push_back({0, 0, 48 + 2 * k, 1, 48});
        m.patterns.push_back(p);
        m.orders.push_back(k);
    }
    return m;
}

}  // namespace bench
