// The show's song. Interim arrangement: the show's timing (64-row orders at
// speed 6, tempo 125: 7.68 s an order, 15.36 s a scene) with a plain pulse.
#include <cmath>

#include "assets/song/song.h"

namespace demo {

Module composeSong() {
    Module m;
    m.name = "demosong";
    m.channels = 2;
    m.speed = 6;
    m.tempo = 125;

    ModuleSample blip;
    blip.name = "blip";
    blip.c5Speed = 44100;
    for (int i = 0; i < 8820; ++i) {
        const double env = std::exp(-i / 1500.0) * std::fmin(1.0, i / 44.0);
        blip.data.push_back(
            std::int16_t(std::lround(16000.0 * env * std::sin(2 * M_PI * 261.6256 * i / 44100.0))));
    }
    m.samples.push_back(blip);

    for (int k = 0; k < kShowOrders; ++k) {
        ModulePattern p;
        p.events.push_back({0, 1, 60 + (k % 12), 1, 40});
        for (int row = 0; row < 64; row += 4)
            p.events.push_back({row, 0, 36, 1, 64});
        m.patterns.push_back(p);
        m.orders.push_back(k);
    }
    return m;
}

}  // namespace demo
