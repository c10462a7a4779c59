// Module writer: checks a song description and lays it out as an Impulse
// Tracker module.
//
// File layout, all numbers little-endian:
//   header (192 bytes), order list ending in 255, offset tables of the
//   instruments, sample headers and patterns, then the instrument headers
//   (554 bytes each), the sample headers (80 bytes each), the packed
//   patterns and last the raw signed 16-bit sample data.
#include "assets/song/module_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace demo {

namespace {

constexpr int kInstrumentSize = 554;
constexpr int kFormatVersion = 0x0214;  // the instrument and sample layout written here
constexpr int kOrderEnd = 255;
constexpr long kMaxSampleFrames = 1L << 29;  // all samples together: 1 GiB of data

// Fields of a cell that an event may set, as bits of the format's mask byte.
constexpr int kHasNote = 1;
constexpr int kHasInstrument = 2;
constexpr int kHasVolume = 4;
constexpr int kHasEffect = 8;

struct Cell {
    int mask = 0;
    int note = 0;
    int instrument = 0;
    int volume = 0;
    int effect = 0;
    int param = 0;
};

// ---- checking --------------------------------------------------------------

std::string format(const char* fmt, long a = 0, long b = 0, long c = 0) {
    char text[256];
    std::snprintf(text, sizeof text, fmt, a, b, c);
    return text;
}

bool inRange(long value, long low, long high) { return value >= low && value <= high; }

std::string checkName(const std::string& name, const std::string& what) {
    if (name.size() > 25)
        return what + format(": name has %ld characters, at most 25 fit", long(name.size()));
    return "";
}

bool validVolumeColumn(int v) {
    return v == kNoVolume || inRange(v, 0, 124) || inRange(v, 128, 212);
}

bool validNote(int n) {
    return n == kNoNote || inRange(n, 0, 119) || inRange(n, kNoteFade, kNoteOff);
}

std::string checkSettings(const Module& m) {
    if (std::string e = checkName(m.name, "song"); !e.empty()) return e;
    if (!inRange(m.channels, 1, 64))
        return format("song: %ld channels, 1..64 are possible", m.channels);
    if (!inRange(m.speed, 1, 255)) return format("song: speed %ld is outside 1..255", m.speed);
    if (!inRange(m.tempo, 32, 255)) return format("song: tempo %ld is outside 32..255", m.tempo);
    if (!inRange(m.globalVolume, 0, 128))
        return format("song: global volume %ld is outside 0..128", m.globalVolume);
    if (!inRange(m.mixVolume, 0, 128))
        return format("song: mix volume %ld is outside 0..128", m.mixVolume);
    if (!m.channelPan.empty() && long(m.channelPan.size()) != m.channels)
        return format("song: %ld channel pans given for %ld channels", long(m.channelPan.size()),
                      m.channels);
    for (size_t c = 0; c < m.channelPan.size(); ++c)
        if (!inRange(m.channelPan[c], 0, 64))
            return format("song: channel %ld pan %ld is outside 0..64", long(c), m.channelPan[c]);
    if (!m.channelVolume.empty() && long(m.channelVolume.size()) != m.channels)
        return format("song: %ld channel volumes given for %ld channels",
                      long(m.channelVolume.size()), m.channels);
    for (size_t c = 0; c < m.channelVolume.size(); ++c)
        if (!inRange(m.channelVolume[c], 0, 64))
            return format("song: channel %ld volume %ld is outside 0..64", long(c),
                          m.channelVolume[c]);
    return "";
}

std::string checkOrders(const Module& m) {
    if (m.patterns.empty() || m.patterns.size() > 200)
        return format("song: %ld patterns, 1..200 are possible", long(m.patterns.size()));
    if (m.orders.empty() || m.orders.size() > 255)
        return format("song: %ld orders, 1..255 are possible", long(m.orders.size()));
    for (size_t i = 0; i < m.orders.size(); ++i)
        if (!inRange(m.orders[i], 0, long(m.patterns.size()) - 1))
            return format("order %ld: pattern %ld does not exist (patterns 0..%ld)", long(i),
                          m.orders[i], long(m.patterns.size()) - 1);
    return "";
}

std::string checkSamples(const Module& m) {
    if (m.samples.empty() || m.samples.size() > 99)
        return format("song: %ld samples, 1..99 are possible", long(m.samples.size()));
    long long frames = 0;
    for (size_t i = 0; i < m.samples.size(); ++i) {
        const ModuleSample& s = m.samples[i];
        const std::string where = format("sample %ld", long(i) + 1);
        const long length = long(s.data.size());
        if (std::string e = checkName(s.name, where); !e.empty()) return e;
        // NOTE: a bound well inside the format's 32-bit file offsets, so that
        // no offset of a written file can wrap around.
        frames += length;
        if (frames > kMaxSampleFrames)
            return where + format(": the samples come to over %ld frames", kMaxSampleFrames);
        if (!inRange(s.c5Speed, 1, 9999999))
            return where + format(": c5Speed %ld is outside 1..9999999", s.c5Speed);
        if (!inRange(s.volume, 0, 64))
            return where + format(": volume %ld is outside 0..64", s.volume);
        if (!inRange(s.globalVolume, 0, 64))
            return where + format(": global volume %ld is outside 0..64", s.globalVolume);
        if (s.loop && !(s.loopBegin >= 0 && s.loopBegin < s.loopEnd && s.loopEnd <= length))
            return where + format(": loop %ld..%ld does not fit in its %ld frames", s.loopBegin,
                                  s.loopEnd, length);
        if (!inRange(s.vibratoSpeed, 0, 64) || !inRange(s.vibratoDepth, 0, 64) ||
            !inRange(s.vibratoRate, 0, 64) || !inRange(s.vibratoWave, 0, 3))
            return where + ": vibrato speed, depth and rate must be 0..64 and wave 0..3";
    }
    return "";
}

std::string checkEnvelope(const ModuleEnvelope& env, const std::string& where) {
    const long count = long(env.points.size());
    if (count > 25) return where + format(": %ld envelope points, at most 25 fit", count);
    for (long p = 0; p < count; ++p) {
        const ModuleEnvelopePoint& pt = env.points[p];
        if (!inRange(pt.value, 0, 64))
            return where + format(": envelope point %ld value %ld is outside 0..64", p, pt.value);
        if (!inRange(pt.tick, 0, 9999))
            return where + format(": envelope point %ld tick %ld is outside 0..9999", p, pt.tick);
        if (p == 0 && pt.tick != 0)
            return where + format(": the first envelope point is at tick %ld, not 0", pt.tick);
        if (p > 0 && pt.tick <= env.points[p - 1].tick)
            return where + format(": envelope point %ld does not come after point %ld", p, p - 1);
    }
    if (env.sustainBegin >= 0 && !(env.sustainBegin <= env.sustainEnd && env.sustainEnd < count))
        return where + format(": sustain loop %ld..%ld is not within points 0..%ld",
                              env.sustainBegin, env.sustainEnd, count - 1);
    return "";
}

std::string checkInstruments(const Module& m) {
    if (m.instruments.size() > 99)
        return format("song: %ld instruments, at most 99 are possible", long(m.instruments.size()));
    for (size_t i = 0; i < m.instruments.size(); ++i) {
        const ModuleInstrument& ins = m.instruments[i];
        const std::string where = format("instrument %ld", long(i) + 1);
        if (std::string e = checkName(ins.name, where); !e.empty()) return e;
        if (!inRange(ins.sample, 1, long(m.samples.size())))
            return where + format(": sample %ld does not exist (samples 1..%ld)", ins.sample,
                                  long(m.samples.size()));
        if (!ins.keyboard.empty() && ins.keyboard.size() != 120)
            return where + format(": keyboard has %ld notes, not 120", long(ins.keyboard.size()));
        for (size_t n = 0; n < ins.keyboard.size(); ++n)
            if (!inRange(ins.keyboard[n], 1, long(m.samples.size())))
                return where + format(": note %ld plays sample %ld, which does not exist", long(n),
                                      ins.keyboard[n]);
        if (!inRange(ins.globalVolume, 0, 128))
            return where + format(": global volume %ld is outside 0..128", ins.globalVolume);
        if (!inRange(ins.fadeOut, 0, 128))
            return where + format(": fade-out %ld is outside 0..128", ins.fadeOut);
        if (!inRange(ins.newNoteAction, 0, 3))
            return where + format(": new note action %ld is outside 0..3", ins.newNoteAction);
        if (std::string e = checkEnvelope(ins.volumeEnvelope, where); !e.empty()) return e;
    }
    return "";
}

// Merges a pattern's events into a grid of rows x channels cells, refusing
// any event that does not fit or sets a field another event already set.
std::string gridPattern(const Module& m, size_t index, std::vector<Cell>& grid) {
    const ModulePattern& p = m.patterns[index];
    if (!inRange(p.rows, 32, 200))
        return format("pattern %ld: %ld rows, 32..200 are possible", long(index), p.rows);
    grid.assign(size_t(p.rows) * m.channels, Cell());
    const long instruments =
        m.instruments.empty() ? long(m.samples.size()) : long(m.instruments.size());
    for (size_t i = 0; i < p.events.size(); ++i) {
        const ModuleEvent& ev = p.events[i];
        const std::string where = format("pattern %ld, event %ld", long(index), long(i));
        if (!inRange(ev.row, 0, p.rows - 1))
            return where + format(": row %ld is outside rows 0..%ld", ev.row, p.rows - 1);
        if (!inRange(ev.channel, 0, m.channels - 1))
            return where +
                   format(": channel %ld is outside channels 0..%ld", ev.channel, m.channels - 1);
        if (!validNote(ev.note)) return where + format(": note %ld is not a note", ev.note);
        if (!inRange(ev.instrument, 0, instruments))
            return where + (m.instruments.empty() ? ": sample " : ": instrument ") +
                   format("%ld does not exist (1..%ld, or 0 for none)", ev.instrument, instruments);
        if (!validVolumeColumn(ev.volume))
            return where + format(": volume column %ld is not a volume command", ev.volume);
        if (ev.effect != 0 && !inRange(ev.effect, 'A', 'Z'))
            return where + format(": effect %ld is not a letter A..Z", ev.effect);
        if (!inRange(ev.param, 0, 255))
            return where + format(": effect parameter %ld is outside 0..255", ev.param);

        // merge into the cell
        Cell& cell = grid[size_t(ev.row) * m.channels + ev.channel];
        int adds = 0;
        if (ev.note != kNoNote) adds |= kHasNote;
        if (ev.instrument != 0) adds |= kHasInstrument;
        if (ev.volume != kNoVolume) adds |= kHasVolume;
        if (ev.effect != 0) adds |= kHasEffect;
        if (cell.mask & adds)
            return where +
                   format(": row %ld, channel %ld already has that field set", ev.row, ev.channel);
        cell.mask |= adds;
        if (adds & kHasNote) cell.note = ev.note;
        if (adds & kHasInstrument) cell.instrument = ev.instrument;
        if (adds & kHasVolume) cell.volume = ev.volume;
        if (adds & kHasEffect) {
            cell.effect = ev.effect - 'A' + 1;
            cell.param = ev.param;
        }
    }
    return "";
}

// ---- packing ---------------------------------------------------------------

void put8(std::vector<std::uint8_t>& out, long v) { out.push_back(std::uint8_t(v)); }

void put16(std::vector<std::uint8_t>& out, long v) {
    put8(out, v & 0xFF);
    put8(out, (v >> 8) & 0xFF);
}

void put32(std::vector<std::uint8_t>& out, long v) {
    put16(out, v);
    put16(out, v >> 16);
}

void putText(std::vector<std::uint8_t>& out, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        put8(out, i < text.size() ? std::uint8_t(text[i]) : 0);
}

void set32(std::vector<std::uint8_t>& out, size_t at, long v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = std::uint8_t((v >> (8 * i)) & 0xFF);
}

// One pattern's 8-byte header and rows. Every cell is written with an
// explicit mask: the format also lets a channel repeat its previous mask or
// fields, which only saves bytes.
std::vector<std::uint8_t> packPattern(const std::vector<Cell>& grid, int rows, int channels) {
    std::vector<std::uint8_t> data;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < channels; ++c) {
            const Cell& cell = grid[size_t(r) * channels + c];
            if (cell.mask == 0) continue;
            put8(data, (c + 1) | 0x80);
            put8(data, cell.mask);
            if (cell.mask & kHasNote) put8(data, cell.note);
            if (cell.mask & kHasInstrument) put8(data, cell.instrument);
            if (cell.mask & kHasVolume) put8(data, cell.volume);
            if (cell.mask & kHasEffect) {
                put8(data, cell.effect);
                put8(data, cell.param);
            }
        }
        put8(data, 0);
    }
    std::vector<std::uint8_t> out;
    put16(out, long(data.size()));
    put16(out, rows);
    put32(out, 0);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

void putEnvelope(std::vector<std::uint8_t>& out, const ModuleEnvelope& env) {
    const bool on = !env.points.empty();
    const bool sustain = on && env.sustainBegin >= 0;
    put8(out, (on ? 1 : 0) | (sustain ? 4 : 0));
    put8(out, long(env.points.size()));
    put8(out, 0);  // loop begin and end: unused
    put8(out, 0);
    put8(out, sustain ? env.sustainBegin : 0);
    put8(out, sustain ? env.sustainEnd : 0);
    for (size_t p = 0; p < 25; ++p) {
        const ModuleEnvelopePoint pt =
            p < env.points.size() ? env.points[p] : ModuleEnvelopePoint{0, 0};
        put8(out, pt.value);
        put16(out, pt.tick);
    }
    put8(out, 0);
}

// An envelope that is off: the pan and pitch envelopes of every instrument.
void putFlatEnvelope(std::vector<std::uint8_t>& out) { putEnvelope(out, ModuleEnvelope()); }

void putInstrument(std::vector<std::uint8_t>& out, const ModuleInstrument& ins) {
    const size_t start = out.size();
    putText(out, "IMPI", 4);
    putText(out, "", 12);  // DOS file name
    put8(out, 0);
    put8(out, ins.newNoteAction);
    put8(out, 0);  // duplicate check: off
    put8(out, 0);
    put16(out, ins.fadeOut);
    put8(out, 0);   // pitch-pan separation
    put8(out, 60);  // pitch-pan centre: C-5
    put8(out, ins.globalVolume);
    put8(out, 32 | 128);  // default pan, not used
    put8(out, 0);         // random volume and pan variation
    put8(out, 0);
    put16(out, 0);  // tracker version and sample count: instrument files only
    put8(out, 0);
    put8(out, 0);
    putText(out, ins.name, 26);
    put8(out, 0);  // filter cutoff and resonance: off
    put8(out, 0);
    put8(out, 0);  // MIDI channel, program and bank: none
    put8(out, 0xFF);
    put8(out, 0xFF);
    put8(out, 0xFF);
    for (int note = 0; note < 120; ++note) {
        put8(out, note);
        put8(out, ins.keyboard.empty() ? ins.sample : ins.keyboard[note]);
    }
    putEnvelope(out, ins.volumeEnvelope);
    putFlatEnvelope(out);
    putFlatEnvelope(out);
    while (out.size() - start < size_t(kInstrumentSize))
        put8(out, 0);
}

// A sample header; the data offset is filled in once the data is placed.
void putSampleHeader(std::vector<std::uint8_t>& out, const ModuleSample& s) {
    const long length = long(s.data.size());
    int flags = 2;  // 16-bit
    if (length > 0) flags |= 1;
    if (s.loop) flags |= 16 | (s.pingPong ? 64 : 0);
    putText(out, "IMPS", 4);
    putText(out, "", 12);
    put8(out, 0);
    put8(out, s.globalVolume);
    put8(out, flags);
    put8(out, s.volume);
    putText(out, s.name, 26);
    put8(out, 1);   // signed samples
    put8(out, 32);  // default pan, not used (bit 7 clear)
    put32(out, length);
    put32(out, s.loop ? s.loopBegin : 0);
    put32(out, s.loop ? s.loopEnd : 0);
    put32(out, s.c5Speed);
    put32(out, 0);  // sustain loop: none
    put32(out, 0);
    put32(out, 0);  // data offset
    put8(out, s.vibratoSpeed);
    put8(out, s.vibratoDepth);
    put8(out, s.vibratoRate);
    put8(out, s.vibratoWave);
}

}  // namespace

// ---- interface -------------------------------------------------------------

std::string checkModule(const Module& module) {
    for (auto check : {checkSettings, checkOrders, checkSamples, checkInstruments})
        if (std::string e = check(module); !e.empty()) return e;
    std::vector<Cell> grid;
    for (size_t p = 0; p < module.patterns.size(); ++p) {
        if (std::string e = gridPattern(module, p, grid); !e.empty()) return e;
        const std::vector<std::uint8_t> packed =
            packPattern(grid, module.patterns[p].rows, module.channels);
        if (packed.size() >= 0x10000)
            return format("pattern %ld: %ld bytes packed, the format holds under 65536", long(p),
                          long(packed.size()));
    }
    return "";
}

bool encodeModule(const Module& module, std::vector<std::uint8_t>& bytes, std::string& error) {
    bytes.clear();
    error = checkModule(module);
    if (!error.empty()) return false;
    const bool instrumentMode = !module.instruments.empty();
    const long orderCount = long(module.orders.size()) + 1;
    const long insCount = long(module.instruments.size());
    const long smpCount = long(module.samples.size());
    const long patCount = long(module.patterns.size());

    // song header
    std::vector<std::uint8_t>& out = bytes;
    putText(out, "IMPM", 4);
    putText(out, module.name, 26);
    put8(out, 4);  // row highlights: a beat of 4 rows, a bar of 16
    put8(out, 16);
    put16(out, orderCount);
    put16(out, insCount);
    put16(out, smpCount);
    put16(out, patCount);
    put16(out, kFormatVersion);
    put16(out, kFormatVersion);
    put16(out, 1 | 8 | (instrumentMode ? 4 : 0));  // stereo, linear slides
    put16(out, 0);                                 // no message, no MIDI setup
    put8(out, module.globalVolume);
    put8(out, module.mixVolume);
    put8(out, module.speed);
    put8(out, module.tempo);
    put8(out, 128);  // full stereo separation
    put8(out, 0);    // MIDI pitch wheel depth
    put16(out, 0);   // message length and offset
    put32(out, 0);
    put32(out, 0);
    for (int c = 0; c < 64; ++c) {
        if (c >= module.channels)
            put8(out, 32 | 128);  // unused channels are disabled
        else
            put8(out, module.channelPan.empty() ? 32 : module.channelPan[c]);
    }
    for (int c = 0; c < 64; ++c) {
        if (c >= module.channels || module.channelVolume.empty())
            put8(out, 64);
        else
            put8(out, module.channelVolume[c]);
    }

    // order list and offset tables, filled in below
    for (int order : module.orders)
        put8(out, order);
    put8(out, kOrderEnd);
    const size_t insTable = out.size();
    const size_t smpTable = insTable + 4 * insCount;
    const size_t patTable = smpTable + 4 * smpCount;
    out.resize(patTable + 4 * patCount, 0);

    // instruments
    for (long i = 0; i < insCount; ++i) {
        set32(out, insTable + 4 * i, long(out.size()));
        putInstrument(out, module.instruments[i]);
    }

    // sample headers
    std::vector<size_t> headerAt;
    for (long i = 0; i < smpCount; ++i) {
        headerAt.push_back(out.size());
        set32(out, smpTable + 4 * i, long(out.size()));
        putSampleHeader(out, module.samples[i]);
    }

    // patterns
    std::vector<Cell> grid;
    for (long p = 0; p < patCount; ++p) {
        gridPattern(module, size_t(p), grid);
        set32(out, patTable + 4 * p, long(out.size()));
        const std::vector<std::uint8_t> packed =
            packPattern(grid, module.patterns[p].rows, module.channels);
        out.insert(out.end(), packed.begin(), packed.end());
    }

    // sample data
    for (long i = 0; i < smpCount; ++i) {
        set32(out, headerAt[i] + 0x48, long(out.size()));
        for (std::int16_t v : module.samples[i].data)
            put16(out, std::uint16_t(v));
    }
    return true;
}

bool writeModule(const Module& module, const std::string& path, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!encodeModule(module, bytes, error)) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : writeErrno);
        return false;
    }
    return true;
}

}  // namespace demo
