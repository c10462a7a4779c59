// Writes the soak run's module: the show's six scenes' twelve orders and no
// order 12, so the show never reaches its quit row and plays until a key.
//
// Each order is 64 rows at speed 6, tempo 38 (25.3 s), so the six scenes take
// about 50 s each and the looping module then keeps the last scene on screen
// (its elapsedMs growing) for the rest of the run. Order k strikes one soft
// tone of note 48 + 2k at its first row.
//
// Usage: make-soak-song <path of the module to write>
#include <cmath>
#include <cstdio>
#include <string>

#include "assets/song/module_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-soak-song <module path>\n");
        return 2;
    }
    demo::Module m;
    m.name = "soak";
    m.channels = 1;
    m.speed = 6;
    m.tempo = 38;

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

    for (int k = 0; k < 12; ++k) {
        demo::ModulePattern p;
        p.rows = 64;
        p.events.push_back({0, 0, 48 + 2 * k, 1, 48});
        m.patterns.push_back(p);
        m.orders.push_back(k);
    }
    std::string error;
    if (!demo::writeModule(m, argv[1], error)) {
        std::fprintf(stderr, "make-soak-song: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
