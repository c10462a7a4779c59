// Module writer: turns an in-memory description of a song into an Impulse
// Tracker (.it) module, the format the show's music layer plays.
//
// A description holds the song settings, the order list, the patterns (as a
// list of note events, packed into the format's compressed rows on writing),
// 16-bit mono samples with optional loops and, optionally, instruments with a
// volume envelope. Without instruments the module plays in sample mode and a
// cell's instrument number names a sample directly.
//
// Numbers follow the format: notes 0..119 are C-0..B-9 (60 is C-5, played at
// the sample's c5Speed), volumes 0..64, global volumes 0..128 for the song
// and instruments, 0..64 for samples, pans 0 (left) to 64 (right). Sample
// positions and lengths are in sample frames, envelope positions in ticks.
//
// Nothing is clamped or repaired: checkModule refuses any description that
// would make a broken or truncated file and says which value is wrong, and
// encodeModule and writeModule refuse what checkModule refuses. Used by the
// build programs in assets/song/ and by tests that need modules of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// Special values of a cell's note; anything else must be 0..119.
constexpr int kNoNote = -1;
constexpr int kNoteOff = 255;   // "===": release (instrument envelopes leave their sustain)
constexpr int kNoteCut = 254;   // "^^^": silence at once
constexpr int kNoteFade = 246;  // "~~~": start the instrument's fade-out

// An empty volume column. Otherwise the column holds the format's byte:
//   0..64 set volume, 65..74 fine up, 75..84 fine down, 85..94 slide up,
//   95..104 slide down, 105..114 pitch down, 115..124 pitch up,
//   128..192 set pan 0..64, 193..202 portamento to, 203..212 vibrato depth.
constexpr int kNoVolume = -1;

// One cell of a pattern, or part of one: several events may name the same
// row and channel as long as no two of them set the same field.
struct ModuleEvent {
    int row = 0;             // 0 .. rows-1
    int channel = 0;         // 0 .. Module::channels-1
    int note = kNoNote;      // 0..119, kNoteOff, kNoteCut, kNoteFade or kNoNote
    int instrument = 0;      // 1-based instrument (sample in sample mode); 0 = none
    int volume = kNoVolume;  // volume column byte, see kNoVolume
    char effect = 0;         // 'A'..'Z' (A speed, B jump, C break, D volume slide,
                             // T tempo, ...); 0 = none
    int param = 0;           // the effect's parameter, 0..255
};

// NOTE: members of class type carry an explicit {} initialiser so that
// descriptions can be written as braced lists that leave them out, under
// -Wextra's missing-initialiser warning.
struct ModulePattern {
    int rows = 64;  // 32..200
    std::vector<ModuleEvent> events{};
};

// A 16-bit mono sample. The loop, when on, plays frames loopBegin ..
// loopEnd-1 over and over: 0 <= loopBegin < loopEnd <= data.size().
struct ModuleSample {
    std::string name{};  // up to 25 characters
    std::vector<std::int16_t> data{};
    int c5Speed = 8363;     // playback rate in Hz of note C-5, 1..9999999
    int volume = 64;        // default volume, 0..64
    int globalVolume = 64;  // 0..64
    bool loop = false;
    bool pingPong = false;  // the loop runs forwards then backwards
    int loopBegin = 0;
    int loopEnd = 0;
    // Automatic vibrato (all 0..64; rate is how fast it deepens to depth, in
    // 1/256ths per tick, 0 = at once; wave 0 sine, 1 ramp, 2 square, 3 random).
    int vibratoSpeed = 0;
    int vibratoDepth = 0;
    int vibratoRate = 0;
    int vibratoWave = 0;
};

// Envelope points in ticks (the first at tick 0, strictly increasing, at
// most 25 of them, ticks up to 9999) and values 0..64. The sustain loop, when
// sustainBegin >= 0, holds between two point indices until the note is
// released. No points means no envelope.
struct ModuleEnvelopePoint {
    int tick = 0;
    int value = 64;
};

struct ModuleEnvelope {
    std::vector<ModuleEnvelopePoint> points{};
    int sustainBegin = -1;
    int sustainEnd = -1;
};

// An instrument plays one sample over the whole keyboard, or one sample per
// note when keyboard is given, shaped by its volume envelope. Once the
// envelope has ended, or on release without an envelope, the note fades out
// over 1024 / fadeOut ticks (0 = never).
struct ModuleInstrument {
    std::string name{};           // up to 25 characters
    int sample = 1;               // 1-based sample
    std::vector<int> keyboard{};  // empty, or 120 1-based samples, one per note
    int globalVolume = 128;       // 0..128
    int fadeOut = 0;              // 0..128
    int newNoteAction = 0;        // what a new note does to a playing one: 0 cut,
                                  // 1 continue, 2 release, 3 fade
    ModuleEnvelope volumeEnvelope{};
};

struct Module {
    std::string name{};                           // up to 25 characters
    int channels = 4;                             // 1..64
    int speed = 6;                                // ticks per row, 1..255
    int tempo = 125;                              // 32..255; a tick lasts 2.5 / tempo seconds
    int globalVolume = 128;                       // 0..128
    int mixVolume = 48;                           // 0..128
    std::vector<int> channelPan{};                // one per channel, 0..64; empty = all centred
    std::vector<int> channelVolume{};             // one per channel, 0..64; empty = all 64
    std::vector<int> orders{};                    // pattern indices in play order, 1..255 entries
    std::vector<ModulePattern> patterns{};        // 1..200 patterns
    std::vector<ModuleSample> samples{};          // 1..99 samples
    std::vector<ModuleInstrument> instruments{};  // 0..99; empty = sample mode
};

// "" when the description can be written, else one line naming the first
// fault found ("pattern 2, event 7: row 64 is outside rows 0..63").
std::string checkModule(const Module& module);

// The module's file bytes. False, with bytes empty and error set, when
// checkModule refuses the description.
bool encodeModule(const Module& module, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes the module to path, replacing any file there. False, with error set,
// when the description is refused (nothing is written) or the file cannot be
// written.
bool writeModule(const Module& module, const std::string& path, std::string& error);

}  // namespace demo
