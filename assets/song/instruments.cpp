// The song's instruments: synthesis of every sample, and the instrument
// settings (envelopes, note actions, keyboard splits) that play them.
//
// Everything is computed in double precision at 44100 Hz and scaled to a
// peak of 90% of full scale on conversion to 16 bits; the song sets the
// balance between instruments with volumes. Noise comes from a fixed-seed
// generator of this file, so every build makes the same samples.
#include "assets/song/instruments.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace demo {

namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kMiddleC = 261.6255653005986;  // Hz of note 60
constexpr double kTopFrequency = 18000.0;       // partials stay below this when played
constexpr int kSplitNote = 72;                  // two-sample instruments switch above this

using Buffer = std::vector<double>;

// ---- noise -------------------------------------------------------------------

constexpr std::uint32_t kNoiseSeed = 0x9E3779B9u;
std::uint32_t noiseState = kNoiseSeed;

// White noise in [-1, 1), from a xorshift generator.
double noise() {
    noiseState ^= noiseState << 13;
    noiseState ^= noiseState >> 17;
    noiseState ^= noiseState << 5;
    return noiseState / 2147483648.0 - 1.0;
}

// ---- filters -----------------------------------------------------------------

// A second-order section, y = (b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2), with
// coefficients already divided by a0.
struct Biquad {
    double b0, b1, b2, a1, a2;
};

enum FilterKind { kLowpass, kHighpass, kBandpass };

// The usual audio-cookbook designs; the band-pass has unit gain at its centre.
Biquad design(FilterKind kind, double frequency, double q) {
    const double w = 2 * kPi * frequency / kRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    const double a0 = 1 + alpha;
    Biquad f{};
    if (kind == kLowpass)
        f = {(1 - c) / 2, 1 - c, (1 - c) / 2, 0, 0};
    else if (kind == kHighpass)
        f = {(1 + c) / 2, -(1 + c), (1 + c) / 2, 0, 0};
    else
        f = {alpha, 0, -alpha, 0, 0};
    f.b0 /= a0;
    f.b1 /= a0;
    f.b2 /= a0;
    f.a1 = -2 * c / a0;
    f.a2 = (1 - alpha) / a0;
    return f;
}

void applyFilter(Buffer& buf, FilterKind kind, double frequency, double q = 0.7071) {
    const Biquad f = design(kind, frequency, q);
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (double& v : buf) {
        const double y = f.b0 * v + f.b1 * x1 + f.b2 * x2 - f.a1 * y1 - f.a2 * y2;
        x2 = x1;
        x1 = v;
        y2 = y1;
        y1 = y;
        v = y;
    }
}

// Removes any DC offset: a first-order high-pass at 20 Hz.
void removeDc(Buffer& buf) {
    const double r = 1 - 2 * kPi * 20 / kRate;
    double x1 = 0, y1 = 0;
    for (double& v : buf) {
        const double y = v - x1 + r * y1;
        x1 = v;
        y1 = y;
        v = y;
    }
}

// ---- shaping -----------------------------------------------------------------

// Raised-cosine fade over the last frames, ending on exactly zero.
void fadeOutEnd(Buffer& buf, int frames) {
    const int n = int(buf.size());
    frames = std::min(frames, n);
    for (int i = 0; i < frames; ++i) {
        const double x = double(i + 1) / frames;  // 1 at the last frame
        buf[n - frames + i] *= 0.5 * (1 + std::cos(kPi * x));
    }
}

// Raised-cosine fade over the first frames, starting from exactly zero.
void fadeInStart(Buffer& buf, int frames) {
    for (int i = 0; i < frames && i < int(buf.size()); ++i)
        buf[i] *= 0.5 * (1 - std::cos(kPi * i / frames));
}

// Converts to a 16-bit sample whose peak is 90% of full scale.
ModuleSample toSample(const char* name, const Buffer& buf, double c5Speed) {
    double peak = 0;
    for (double v : buf)
        peak = std::max(peak, std::fabs(v));
    const double scale = peak > 0 ? 0.9 * 32767 / peak : 0;
    ModuleSample s;
    s.name = name;
    s.c5Speed = int(std::lround(c5Speed));
    for (double v : buf)
        s.data.push_back(std::int16_t(std::lround(v * scale)));
    return s;
}

// Exact number of frames of a duration in seconds.
int frames(double seconds) { return int(std::lround(seconds * kRate)); }

// ---- drums -------------------------------------------------------------------

ModuleSample kick() {
    Buffer buf(frames(0.45));
    Buffer click(buf.size());
    for (double& v : click)
        v = noise();
    applyFilter(click, kLowpass, 5000);
    double phase = 0;
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = i / kRate;
        const double pitch = 48 + 132 * std::exp(-t / 0.03);
        phase += 2 * kPi * pitch / kRate;
        const double body = std::sin(phase) * std::exp(-t / 0.22) * (1 - std::exp(-t / 0.0004));
        const double snap = 0.35 * click[i] * std::exp(-t / 0.0025);
        buf[i] = std::tanh(1.8 * (body + snap)) / std::tanh(1.8);
    }
    fadeInStart(buf, 24);
    removeDc(buf);
    fadeOutEnd(buf, frames(0.05));
    return toSample("kick", buf, kRate);
}

ModuleSample clap() {
    Buffer buf(frames(0.4));
    const double bursts[] = {0.0, 0.010, 0.021, 0.030};
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = i / kRate;
        double env = 0;
        for (double b : bursts)
            if (t >= b) env = std::max(env, std::exp(-(t - b) / 0.0045));
        if (t >= bursts[3]) env = std::max(env, 0.55 * std::exp(-(t - bursts[3]) / 0.09));
        buf[i] = noise() * env;
    }
    applyFilter(buf, kBandpass, 1300, 0.9);
    applyFilter(buf, kHighpass, 600);
    // a little saturation thickens the bursts without sharpening their peaks
    double peak = 0;
    for (double v : buf)
        peak = std::max(peak, std::fabs(v));
    for (double& v : buf)
        v = std::tanh(2.5 * v / peak);
    fadeInStart(buf, 24);
    fadeOutEnd(buf, frames(0.04));
    return toSample("clap", buf, kRate);
}

ModuleSample snare() {
    Buffer rattle(frames(0.35));
    for (double& v : rattle)
        v = noise();
    applyFilter(rattle, kHighpass, 1800);
    applyFilter(rattle, kLowpass, 9000);
    Buffer buf(rattle.size());
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = i / kRate;
        const double drop = 1 + 0.3 * std::exp(-t / 0.01);
        const double body = 0.7 * std::sin(2 * kPi * 185 * drop * t) * std::exp(-t / 0.05) +
                            0.35 * std::sin(2 * kPi * 330 * drop * t) * std::exp(-t / 0.03);
        buf[i] = body + 0.8 * rattle[i] * std::exp(-t / 0.09);
    }
    fadeInStart(buf, 8);
    removeDc(buf);
    fadeOutEnd(buf, frames(0.04));
    return toSample("snare", buf, kRate);
}

// Noise and a cluster of inharmonic partials, high-passed into a cymbal.
Buffer metal(double seconds, double decay, double cutoff) {
    const double partials[] = {3170, 4790, 5830, 7410, 8550, 10270, 12160};
    Buffer buf(frames(seconds));
    for (size_t i = 0; i < buf.size(); ++i) {
        const double t = i / kRate;
        double ring = 0;
        for (double f : partials)
            ring += std::sin(2 * kPi * f * t + f);
        buf[i] = (0.6 * noise() + 0.12 * ring) * std::exp(-t / decay);
    }
    applyFilter(buf, kHighpass, cutoff);
    applyFilter(buf, kHighpass, cutoff);
    applyFilter(buf, kLowpass, 11000);  // the air above stays quiet
    applyFilter(buf, kLowpass, 11000);
    fadeInStart(buf, 8);
    fadeOutEnd(buf, frames(std::min(0.3, seconds / 3)));
    return buf;
}

ModuleSample hatClosed() { return toSample("closed hat", metal(0.12, 0.03, 4200), kRate); }

ModuleSample hatOpen() { return toSample("open hat", metal(0.6, 0.22, 3800), kRate); }

ModuleSample crash() {
    Buffer buf = metal(2.5, 0.9, 3500);
    Buffer body = metal(2.5, 0.5, 1200);
    for (size_t i = 0; i < buf.size(); ++i)
        buf[i] += 0.4 * body[i];
    return toSample("crash", buf, kRate);
}

// Noise through a band-pass swept from 250 Hz to 9 kHz as it swells, then
// cut short with a fast fade: a build into the next section's downbeat.
ModuleSample riser() {
    Buffer buf(frames(3.84));
    const double n = double(buf.size());
    double low = 0, band = 0;  // state of a state-variable filter
    for (size_t i = 0; i < buf.size(); ++i) {
        const double x = i / n;
        const double centre = 250 * std::pow(9000.0 / 250, x);
        const double g = std::tan(kPi * centre / kRate);
        const double k = 1 / 2.5;
        const double a1 = 1 / (1 + g * (g + k));
        const double v3 = noise() - low;
        const double v1 = a1 * band + g * a1 * v3;
        const double v2 = low + g * v1;
        band = 2 * v1 - band;
        low = 2 * v2 - low;
        buf[i] = v1 * x * x;
    }
    removeDc(buf);
    fadeInStart(buf, 64);
    fadeOutEnd(buf, frames(0.02));
    return toSample("riser", buf, kRate);
}

// ---- tonal sounds --------------------------------------------------------------

// Partial k of a sawtooth softened by a gentle two-pole roll-off at partial
// corner.
double sawPartial(int k, double corner) { return 1.0 / k / std::sqrt(1 + std::pow(k / corner, 4)); }

// The bass: one period of 256 frames, so C-5 plays at 256 * 261.63 Hz.
// A resonant low-pass closes from partial 30 to partial 5 over the first
// 6144 frames, after which the wave no longer changes and the last four
// periods loop. An extra sine on the fundamental thickens the bottom.
ModuleSample bass() {
    const int period = 256;
    const int attack = 6144;
    const int length = attack + 4 * period;
    const int partials = 60;  // the highest bass note, 50, plays partial 60 at 8.7 kHz
    std::vector<double> table(period);
    for (int i = 0; i < period; ++i)
        table[i] = std::sin(2 * kPi * i / period);
    Buffer buf(length);
    for (int i = 0; i < length; ++i) {
        const double closing = i < attack ? std::pow(1 - double(i) / attack, 3) : 0;
        const double cutoff = 5 + 25 * closing;
        double v = 0.8 * table[i % period];  // sub: extra fundamental
        for (int k = 1; k <= partials; ++k) {
            const double resonance = 1 + 0.9 * std::exp(-std::pow((k - cutoff) / 1.5, 2));
            v += resonance * sawPartial(k, cutoff) * table[(k * i) % period];
        }
        buf[i] = v;
    }
    ModuleSample s = toSample("bass", buf, kMiddleC * period);
    s.loop = true;
    s.loopBegin = attack;
    s.loopEnd = length;
    return s;
}

// Adds a band-limited sawtooth that completes cycles whole cycles over the
// buffer, so the buffer loops seamlessly. Partials stop where they would
// pass kTopFrequency when the sample is played maxRatio times faster.
void addSaw(Buffer& buf, int cycles, double gain, double phase, double corner, double maxRatio) {
    const int length = int(buf.size());
    const double frequency = cycles * kRate / length;
    const int partials = int(kTopFrequency / (frequency * maxRatio));
    for (int k = 1; k <= partials; ++k) {
        const double a = gain * sawPartial(k, corner);
        const long long step = (long long)k * cycles;
        // NOTE: partials are spread in phase quadratically rather than lined
        // up as in a true sawtooth. The ear hears the same spectrum, but the
        // wave's peaks are far lower, which leaves the mix more headroom.
        const double offset = k * phase + kPi * k * (k - 1) / partials;
        for (int i = 0; i < length; ++i)
            buf[i] += a * std::sin(2 * kPi * double((step * i) % length) / length + offset);
    }
}

// A stack of detuned sawtooths on one loop: voices[v] cycles over length
// frames, each with its own gain and starting phase.
ModuleSample sawStack(const char* name, int length, const int* cycles, const double* gains,
                      int voices, int baseCycles, double corner, double maxRatio) {
    Buffer buf(length);
    for (int v = 0; v < voices; ++v)
        addSaw(buf, cycles[v], gains[v], 2 * kPi * (noise() + 1) / 2, corner, maxRatio);
    const double frequency = baseCycles * kRate / length;
    ModuleSample s = toSample(name, buf, kRate * kMiddleC / frequency);
    s.loop = true;
    s.loopBegin = 0;
    s.loopEnd = length;
    return s;
}

// Lead: five saws within 30 cents either side of the note, the outer ones
// quieter, over one second. The low sample sounds A 440 Hz natively and
// serves notes up to 72, the high one A 880 Hz for the notes above (up to
// 88).
ModuleSample lead(bool high) {
    const int m = high ? 2 : 1;
    const int cycles[] = {433 * m, 437 * m, 440 * m, 443 * m, 448 * m};
    const double gains[] = {0.35, 0.55, 1.0, 0.55, 0.35};
    ModuleSample s = sawStack(high ? "lead high" : "lead low", frames(1.0), cycles, gains, 5,
                              440 * m, 28.0 / m, std::pow(2, (high ? 7 : 3) / 12.0));
    // a 5.5 Hz vibrato of about 15 cents, deepening over the first 0.6 s
    s.vibratoSpeed = 28;
    s.vibratoDepth = 8;
    s.vibratoRate = 64;
    return s;
}

// Pad: seven saws spread over 40 cents, looping over two seconds, sounding
// A 220 Hz natively and serving notes up to 72. Darker than the lead.
ModuleSample pad() {
    const int cycles[] = {435, 437, 439, 440, 442, 443, 445};
    const double gains[] = {0.6, 0.8, 0.9, 1.0, 0.9, 0.8, 0.6};
    return sawStack("pad", frames(2.0), cycles, gains, 7, 440, 9.0, std::pow(2, 15 / 12.0));
}

// Pluck: partials of a sawtooth, each decaying the faster the higher it is,
// so the note starts bright and rings out as a near sine. The low sample
// sounds A 440 Hz natively for notes up to 72, the high one A 880 Hz above.
ModuleSample pluck(bool high) {
    const double base = high ? 880.0 : 440.0;
    const double maxRatio = std::pow(2, (high ? 7 : 3) / 12.0);
    const int partials = int(kTopFrequency / (base * maxRatio));
    Buffer buf(frames(1.2));
    for (int k = 1; k <= partials; ++k) {
        const double decay = 3.5 + 0.35 * std::pow(k * base / 440, 2);
        const double gain = 1.0 / std::pow(k, 1.1);
        for (size_t i = 0; i < buf.size(); ++i) {
            const double t = i / kRate;
            buf[i] += gain * std::exp(-t * decay) * std::sin(2 * kPi * k * base * t);
        }
    }
    fadeInStart(buf, 64);  // 1.5 ms: a soft pick rather than a click
    fadeOutEnd(buf, frames(0.2));
    return toSample(high ? "pluck high" : "pluck low", buf, kRate * kMiddleC / base);
}

// ---- instruments ----------------------------------------------------------------

// An instrument of one sample with no envelope: drums.
ModuleInstrument oneShot(const char* name, int sample) {
    ModuleInstrument ins;
    ins.name = name;
    ins.sample = sample;
    return ins;
}

// An instrument whose notes up to kSplitNote play lowSample, the rest the
// sample after it.
ModuleInstrument split(const char* name, int lowSample) {
    ModuleInstrument ins;
    ins.name = name;
    ins.sample = lowSample;
    ins.keyboard.assign(120, lowSample);
    for (int note = kSplitNote + 1; note < 120; ++note)
        ins.keyboard[note] = lowSample + 1;
    return ins;
}

}  // namespace

void addSongInstruments(Module& m) {
    noiseState = kNoiseSeed;  // the same samples however often they are made
    // samples, in instrument order; lead and pluck have two each
    m.samples = {kick(), clap(),      snare(),    hatClosed(), hatOpen(),    crash(),    riser(),
                 bass(), lead(false), lead(true), pad(),       pluck(false), pluck(true)};
    const int leadSample = 9, padSample = 11, pluckSample = 12;

    m.instruments = {oneShot("kick", 1),       oneShot("clap", 2),     oneShot("snare", 3),
                     oneShot("closed hat", 4), oneShot("open hat", 5), oneShot("crash", 6),
                     oneShot("riser", 7)};

    // bass: a short decay to a steady level, a quick release
    ModuleInstrument bassIns = oneShot("bass", 8);
    bassIns.volumeEnvelope.points = {{0, 64}, {4, 56}, {30, 46}, {34, 0}};
    bassIns.volumeEnvelope.sustainBegin = 2;
    bassIns.volumeEnvelope.sustainEnd = 2;
    m.instruments.push_back(bassIns);

    // lead: fast attack, released notes ring out over 12 ticks
    ModuleInstrument leadIns = split("lead", leadSample);
    leadIns.newNoteAction = 2;
    leadIns.volumeEnvelope.points = {{0, 0}, {1, 64}, {8, 52}, {20, 0}};
    leadIns.volumeEnvelope.sustainBegin = 2;
    leadIns.volumeEnvelope.sustainEnd = 2;
    m.instruments.push_back(leadIns);

    // pluck: the sample decays by itself; a new note lets the old one fade
    ModuleInstrument pluckIns = split("pluck", pluckSample);
    pluckIns.newNoteAction = 3;
    pluckIns.fadeOut = 24;
    m.instruments.push_back(pluckIns);

    // pad: swells in over 0.7 s, released chords fade over 1.2 s while the
    // next one swells
    ModuleInstrument padIns = oneShot("pad", padSample);
    padIns.newNoteAction = 2;
    padIns.fadeOut = 8;
    padIns.volumeEnvelope.points = {{0, 0}, {10, 40}, {35, 64}, {95, 0}};
    padIns.volumeEnvelope.sustainBegin = 2;
    padIns.volumeEnvelope.sustainEnd = 2;
    m.instruments.push_back(padIns);
}

}  // namespace demo
