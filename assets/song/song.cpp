// The show's song: a piece in A minor at 125 beats a minute, one section per
// scene, held together by one four-bar motif and its answer.
//
// Time: speed 6 at tempo 125, four rows a beat, sixteen a bar, 64-row
// orders of four bars (7.68 s); each scene's two orders last 15.36 s and the
// twelve orders of the show 92.16 s. Order 12 is a short silence; the module
// then starts over.
//
// Sections, two orders each:
//   0-1   opening: the pad swells in under the fade from white, a pluck
//         arpeggio and the four-on-the-floor kick join, and a riser and a
//         snare roll lead into
//   2-3   the groove: full drums, off-beat bass, the motif on the lead
//   4-5   the lift: rolling bass, arpeggio, a new syncopated hook over a
//         rising progression, the drums returning under the second fade
//         from white, ending in a snare roll
//   6-7   the light passage: no kick, the motif on the pluck with echoes,
//         building back up with a riser
//   8-9   the climax: everything, the motif doubled a third higher
//   10-11 the close: the motif slowed down over fading drums, a last cadence
//         that dies away before order 12
#include "assets/song/song.h"

#include <vector>

#include "assets/song/instruments.h"

namespace demo {

namespace {

// ---- channels -----------------------------------------------------------------

enum Channel {
    kKickChannel,
    kClapChannel,
    kHatChannel,
    kOpenHatChannel,
    kSnareChannel,
    kCrashChannel,
    kRiserChannel,
    kBassChannel,
    kLeadChannel,
    kLeadEchoChannel,
    kArpChannel,
    kArpEchoChannel,
    kPadChannel,  // four channels, one per chord voice
    kChannelCount = kPadChannel + 4
};

// Pans, 0 left to 64 right: drums and bass in the middle, echoes opposite
// their source, the pad's voices spread wide.
const int kPans[kChannelCount] = {32, 32, 40, 24, 30, 22, 32, 32, 28, 44, 18, 46, 10, 54, 22, 42};

constexpr int kRowsPerBar = 16;
constexpr int kRows = 64;

// ---- harmony ------------------------------------------------------------------

// Notes by MIDI number (60 = middle C).
enum Pitch {
    E1 = 28,
    F1 = 29,
    G1 = 31,
    A1 = 33,
    C2 = 36,
    D2 = 38,
    G4 = 67,
    Gs4 = 68,
    A4 = 69,
    B4 = 71,
    C5 = 72,
    D5 = 74,
    E5 = 76,
    F5 = 77,
    G5 = 79,
    Gs5 = 80,
    A5 = 81
};

// A chord: the bass's root and four pad voices (57 is A3), voiced close so
// that the pad moves by steps from chord to chord.
struct Chord {
    int root;
    int voices[4];
};

const Chord kAm = {A1, {57, 60, 64, 69}};
const Chord kF = {F1, {57, 60, 65, 69}};
const Chord kC = {C2, {55, 60, 64, 67}};
const Chord kG = {G1, {55, 59, 62, 67}};
const Chord kE = {E1, {56, 59, 64, 68}};
const Chord kEm = {E1, {55, 59, 64, 67}};
const Chord kDm = {D2, {57, 62, 65, 69}};

// One chord a bar.
struct Progression {
    Chord bars[4];
};

const Progression kMain = {{kAm, kF, kC, kG}};
const Progression kAnswer = {{kAm, kF, kG, kE}};
const Progression kLift = {{kF, kG, kEm, kAm}};
const Progression kLiftTurn = {{kF, kG, kE, kE}};
const Progression kCadence = {{kDm, kE, kAm, kAm}};

// ---- melodies -------------------------------------------------------------------

// A note of a phrase: first row (0..63), length in rows, pitch.
struct Note {
    int row;
    int length;
    int pitch;
};

using Phrase = std::vector<Note>;

// The motif, over kMain: a rising call in dotted rhythm that falls back.
const Phrase kMotif = {{0, 3, A4},  {3, 3, C5},  {6, 2, E5},  {8, 2, D5},  {10, 2, C5}, {12, 2, D5},
                       {14, 2, E5}, {16, 3, F5}, {19, 3, E5}, {22, 6, C5}, {28, 2, A4}, {30, 2, C5},
                       {32, 3, G5}, {35, 3, E5}, {38, 2, C5}, {40, 2, D5}, {42, 2, E5}, {44, 2, G5},
                       {46, 2, E5}, {48, 6, D5}, {54, 6, B4}, {60, 2, G4}, {62, 2, B4}};

// Its answer, over kAnswer: the same opening, reaching higher, turning to E.
const Phrase kMotifAnswer = {{0, 3, A4},  {3, 3, C5},  {6, 2, E5},  {8, 2, D5},  {10, 2, C5},
                             {12, 2, D5}, {14, 2, E5}, {16, 3, A5}, {19, 3, G5}, {22, 2, F5},
                             {24, 2, E5}, {26, 4, F5}, {30, 2, C5}, {32, 3, D5}, {35, 3, E5},
                             {38, 2, F5}, {40, 2, E5}, {42, 2, D5}, {44, 4, B4}, {48, 6, Gs4},
                             {54, 2, B4}, {56, 8, E5}};

// The lift's hook, over kLift: repeated notes pushed off the beat.
const Phrase kHook = {{0, 2, C5},  {3, 2, C5},  {6, 2, A4},  {8, 2, C5},  {10, 4, F5}, {14, 2, E5},
                      {16, 2, D5}, {19, 2, D5}, {22, 2, B4}, {24, 2, D5}, {26, 4, G5}, {30, 2, F5},
                      {32, 2, E5}, {35, 2, E5}, {38, 2, B4}, {40, 2, E5}, {42, 4, G5}, {46, 2, E5},
                      {48, 6, A5}, {54, 2, G5}, {56, 4, E5}, {60, 4, C5}};

// The hook turned towards E, over kLiftTurn, leaving the last bar to the fill.
const Phrase kHookTurn = {{0, 2, C5},  {3, 2, C5},  {6, 2, A4},  {8, 2, C5},   {10, 4, F5},
                          {14, 2, E5}, {16, 2, D5}, {19, 2, D5}, {22, 2, B4},  {24, 2, D5},
                          {26, 4, G5}, {30, 2, F5}, {32, 3, E5}, {35, 3, Gs4}, {38, 2, B4},
                          {40, 2, E5}, {42, 6, Gs5}};

// The motif at half speed, for the close.
const Phrase kMotifSlow = {{0, 6, A4},  {6, 6, C5},  {12, 4, E5}, {16, 6, F5}, {22, 10, E5},
                           {32, 6, G5}, {38, 6, E5}, {44, 4, C5}, {48, 16, D5}};

// The last phrase, over kCadence, settling on A for two bars.
const Phrase kFarewell = {{0, 8, F5},  {8, 8, E5},   {16, 8, D5},
                          {24, 4, B4}, {28, 4, Gs4}, {32, 24, A4}};

// The note a diatonic third above in A minor; over a chord that holds G#
// (the E major of the cadences) G becomes G#.
int thirdAbove(int pitch, const Chord& chord) {
    static const int up[12] = {4, 3, 3, 3, 3, 4, 3, 4, 3, 3, 3, 3};  // from C, C#, ... B
    const int third = pitch + up[pitch % 12];
    for (int voice : chord.voices)
        if (third % 12 == 7 && voice % 12 == 8) return third + 1;
    return third;
}

// ---- writing cells ------------------------------------------------------------------

void put(ModulePattern& p, int row, int channel, int note, int instrument, int volume) {
    p.events.push_back({row, channel, note, instrument, volume});
}

void release(ModulePattern& p, int row, int channel) {
    p.events.push_back({row, channel, kNoteOff});
}

void effect(ModulePattern& p, int row, int channel, char command, int param) {
    p.events.push_back({row, channel, kNoNote, 0, kNoVolume, command, param});
}

// Hits of one drum over bars first..last: steps holds one character per row
// of a bar, '.' for none and '1'..'9' for a hit at that many ninths of
// volume.
void drum(ModulePattern& p, int channel, int instrument, const char* steps, int volume,
          int first = 0, int last = 3) {
    for (int bar = first; bar <= last; ++bar)
        for (int step = 0; step < kRowsPerBar; ++step)
            if (steps[step] >= '1' && steps[step] <= '9')
                put(p, bar * kRowsPerBar + step, channel, 60, instrument,
                    volume * (steps[step] - '0') / 9);
}

// A snare roll over one bar: eighths, then sixteenths, getting louder.
void snareRoll(ModulePattern& p, int bar, int from, int to) {
    for (int step = 0; step < kRowsPerBar; ++step) {
        if (step < 8 && step % 2) continue;
        put(p, bar * kRowsPerBar + step, kSnareChannel, 60, kSnare,
            from + (to - from) * step / (kRowsPerBar - 1));
    }
}

// A fill over the last beat of a bar.
void fill(ModulePattern& p, int bar, int volume) {
    drum(p, kSnareChannel, kSnare, "............6789", volume, bar, bar);
}

void crash(ModulePattern& p, int row, int volume) {
    put(p, row, kCrashChannel, 60, kCrash, volume);
}

// The riser takes two bars at note 60, so started at bar 2 it ends on the
// next order's downbeat.
void riser(ModulePattern& p, int volume) {
    put(p, 2 * kRowsPerBar, kRiserChannel, 60, kRiser, volume);
}

// ---- layers ----------------------------------------------------------------------------

// The pad: each bar's chord, striking only the voices that move so that
// common tones ring on. swell (0, 8 or 16) raises the volume by that much
// a bar in fine slides of one step, which never jump. With pump the volume
// dips on every beat and recovers, breathing with the kick.
void pad(ModulePattern& p, const Progression& prog, int volume, bool pump, int first = 0,
         int last = 3, int swell = 0) {
    constexpr int kFineUpByOne = 66;  // volume column: fine volume slide up by 1
    for (int bar = first; bar <= last; ++bar) {
        const int level = volume + swell * (bar - first);
        const int strike = pump ? level * 2 / 5 : level;
        const int row = bar * kRowsPerBar;
        for (int v = 0; v < 4; ++v) {
            const int channel = kPadChannel + v;
            const int note = prog.bars[bar].voices[v];
            const bool held = bar > first && prog.bars[bar - 1].voices[v] == note;
            if (!held)
                put(p, row, channel, note, kPad, strike);
            else if (pump)
                put(p, row, channel, kNoNote, 0, strike);
            for (int step = 0; swell && step < kRowsPerBar; step += kRowsPerBar / swell)
                if (step > 0 || held) put(p, row + step, channel, kNoNote, 0, kFineUpByOne);
            for (int beat = 0; pump && beat < 4; ++beat) {
                const int at = row + 4 * beat;
                if (beat > 0) put(p, at, channel, kNoNote, 0, level * 2 / 5);
                put(p, at + 1, channel, kNoNote, 0, level * 7 / 10);
                put(p, at + 2, channel, kNoNote, 0, level);
            }
        }
    }
}

// Releases the pad's voices at a row.
void padRelease(ModulePattern& p, int row) {
    for (int v = 0; v < 4; ++v)
        release(p, row, kPadChannel + v);
}

enum BassStyle {
    kBassHeld,     // the root held for the bar
    kBassOffbeat,  // off-beat eighths, root and octave
    kBassRolling,  // three sixteenths after every kick
};

void bass(ModulePattern& p, const Progression& prog, BassStyle style, int volume, int first = 0,
          int last = 3) {
    for (int bar = first; bar <= last; ++bar) {
        const int root = prog.bars[bar].root;
        const int row = bar * kRowsPerBar;
        if (style == kBassHeld) {
            put(p, row, kBassChannel, root + 12, kBass, volume);
            continue;
        }
        for (int beat = 0; beat < 4; ++beat) {
            const int at = row + 4 * beat;
            if (style == kBassOffbeat) {
                put(p, at + 2, kBassChannel, root + (beat % 2 ? 12 : 0), kBass, volume);
                if (at + 4 < kRows) release(p, at + 4, kBassChannel);
            } else {
                put(p, at + 1, kBassChannel, root, kBass, volume * 3 / 4);
                put(p, at + 2, kBassChannel, root + 12, kBass, volume);
                put(p, at + 3, kBassChannel, root, kBass, volume * 3 / 4);
                if (beat < 3 || bar < last) release(p, at + 4, kBassChannel);
            }
        }
    }
}

// Sixteenth arpeggio over each bar's chord an octave above the pad, echoed
// three sixteenths later on the other side.
void arpeggio(ModulePattern& p, const Progression& prog, int volume, int first = 0, int last = 3) {
    static const int shape[16] = {0, 1, 2, 3, 2, 1, 2, 3, 0, 1, 2, 3, 3, 2, 1, 2};
    for (int bar = first; bar <= last; ++bar)
        for (int step = 0; step < kRowsPerBar; ++step) {
            const int row = bar * kRowsPerBar + step;
            const int note = prog.bars[bar].voices[shape[step]] + 12;
            const int accent = step % 4 == 0 ? volume : volume * 3 / 4;
            put(p, row, kArpChannel, note, kPluck, accent);
            if (row + 3 < kRows) put(p, row + 3, kArpEchoChannel, note, kPluck, accent * 2 / 5);
        }
}

// A phrase on one channel, delayed by delay rows, each note released at
// its end unless the next note starts there. Given harmony, the line plays a
// third above the phrase over that progression instead.
void melody(ModulePattern& p, const Phrase& phrase, int channel, int instrument, int volume,
            int delay = 0, const Progression* harmony = nullptr) {
    for (size_t i = 0; i < phrase.size(); ++i) {
        const Note& n = phrase[i];
        const int row = n.row + delay;
        if (row >= kRows) break;
        const int pitch = harmony ? thirdAbove(n.pitch, harmony->bars[row / kRowsPerBar]) : n.pitch;
        put(p, row, channel, pitch, instrument, volume);
        const int end = row + n.length;
        const bool joined = i + 1 < phrase.size() && phrase[i + 1].row + delay == end;
        if (!joined && end < kRows) release(p, end, channel);
    }
}

// The lead and its echo three rows later on the other side.
void lead(ModulePattern& p, const Phrase& phrase, int volume) {
    melody(p, phrase, kLeadChannel, kLead, volume);
    melody(p, phrase, kLeadEchoChannel, kLead, volume * 2 / 5, 3);
}

// The motif on the pluck, echoed.
void pluckLine(ModulePattern& p, const Phrase& phrase, int volume) {
    melody(p, phrase, kArpChannel, kPluck, volume);
    melody(p, phrase, kArpEchoChannel, kPluck, volume * 2 / 5, 3);
}

// ---- drum patterns -----------------------------------------------------------------------

const char* const kFourFloor = "9...9...9...9...";
const char* const kBackbeat = "....9.......9...";
const char* const kSixteenths = "7575857575758575";
const char* const kOffbeats = "..9...9...9...9.";
const char* const kEighths = "5.7.5.7.5.7.5.7.";
const char* const kKickBuild = "9.7.9.7.9.7.9.7.";

// ---- sections ------------------------------------------------------------------------------

// Orders 0-1: the pad alone, swelling under the white, then the pulse.
void opening(ModulePattern& a, ModulePattern& b) {
    effect(a, 0, kKickChannel, 'V', 0x80);  // full global volume, also after a loop
    pad(a, kMain, 12, false, 0, 3, 8);
    bass(a, kMain, kBassHeld, 24, 2, 3);
    melody(a,
           {{32, 4, E5},
            {36, 4, A4},
            {40, 4, C5},
            {44, 4, E5},
            {48, 4, D5},
            {52, 4, B4},
            {56, 4, G4},
            {60, 4, B4}},
           kArpChannel, kPluck, 30);
    melody(a,
           {{32, 4, E5},
            {36, 4, A4},
            {40, 4, C5},
            {44, 4, E5},
            {48, 4, D5},
            {52, 4, B4},
            {56, 4, G4},
            {60, 4, B4}},
           kArpEchoChannel, kPluck, 12, 3);

    pad(b, kAnswer, 42, false);
    drum(b, kKickChannel, kKick, kFourFloor, 44, 0, 1);
    drum(b, kKickChannel, kKick, kFourFloor, 56, 2, 3);
    drum(b, kHatChannel, kHatClosed, kEighths, 27, 1, 3);
    bass(b, kAnswer, kBassOffbeat, 40, 1, 3);
    bass(b, kAnswer, kBassHeld, 36, 0, 0);
    arpeggio(b, kAnswer, 30);
    riser(b, 40);
    snareRoll(b, 3, 12, 52);
}

// Orders 2-3: the groove and the motif.
void groove(ModulePattern& a, ModulePattern& b) {
    for (ModulePattern* p : {&a, &b}) {
        drum(*p, kKickChannel, kKick, kFourFloor, 64);
        drum(*p, kClapChannel, kClap, kBackbeat, 64);
        drum(*p, kHatChannel, kHatClosed, kSixteenths, 32);
        drum(*p, kOpenHatChannel, kHatOpen, kOffbeats, 32);
    }
    crash(a, 0, 56);
    pad(a, kMain, 34, true);
    bass(a, kMain, kBassOffbeat, 56);
    lead(a, kMotif, 60);

    pad(b, kAnswer, 34, true);
    bass(b, kAnswer, kBassOffbeat, 56);
    lead(b, kMotifAnswer, 60);
    fill(b, 3, 48);
}

// Orders 4-5: the lift, rolling bass and arpeggio under the hook. While
// the picture fades in again the drums come back in one by one: kick, then
// hats, then the clap and open hats.
void lift(ModulePattern& a, ModulePattern& b) {
    crash(a, 0, 60);
    drum(a, kKickChannel, kKick, kFourFloor, 64);
    drum(a, kHatChannel, kHatClosed, kSixteenths, 26, 1, 1);
    drum(a, kHatChannel, kHatClosed, kSixteenths, 34, 2, 3);
    drum(a, kClapChannel, kClap, kBackbeat, 64, 2, 3);
    drum(a, kOpenHatChannel, kHatOpen, kOffbeats, 35, 2, 3);
    pad(a, kLift, 32, true);
    bass(a, kLift, kBassRolling, 56);
    arpeggio(a, kLift, 32);
    lead(a, kHook, 58);

    crash(b, 0, 44);
    drum(b, kKickChannel, kKick, kFourFloor, 64, 0, 2);
    drum(b, kClapChannel, kClap, kBackbeat, 64);
    drum(b, kHatChannel, kHatClosed, kSixteenths, 34);
    drum(b, kOpenHatChannel, kHatOpen, kOffbeats, 35);
    pad(b, kLiftTurn, 32, true);
    bass(b, kLiftTurn, kBassRolling, 56, 0, 2);
    bass(b, kLiftTurn, kBassHeld, 48, 3, 3);
    arpeggio(b, kLiftTurn, 32);
    lead(b, kHookTurn, 58);
    snareRoll(b, 3, 20, 56);
}

// Orders 6-7: the light passage, the motif on the pluck, then a build.
void light(ModulePattern& a, ModulePattern& b) {
    crash(a, 0, 40);
    pad(a, kMain, 36, false);
    bass(a, kMain, kBassHeld, 40);
    drum(a, kHatChannel, kHatClosed, kEighths, 22);
    pluckLine(a, kMotif, 44);

    pad(b, kAnswer, 36, false);
    bass(b, kAnswer, kBassHeld, 40, 0, 1);
    bass(b, kAnswer, kBassOffbeat, 44, 2, 3);
    drum(b, kHatChannel, kHatClosed, kEighths, 24, 0, 1);
    drum(b, kHatChannel, kHatClosed, kSixteenths, 28, 2, 3);
    drum(b, kClapChannel, kClap, kBackbeat, 41);
    drum(b, kKickChannel, kKick, kFourFloor, 48, 2, 2);
    drum(b, kKickChannel, kKick, kKickBuild, 56, 3, 3);
    pluckLine(b, kMotifAnswer, 44);
    riser(b, 52);
    snareRoll(b, 3, 16, 56);
}

// Orders 8-9: the climax, the motif doubled a third higher.
void climax(ModulePattern& a, ModulePattern& b) {
    for (ModulePattern* p : {&a, &b}) {
        drum(*p, kKickChannel, kKick, kFourFloor, 64);
        drum(*p, kClapChannel, kClap, kBackbeat, 64);
        drum(*p, kHatChannel, kHatClosed, kSixteenths, 36);
        drum(*p, kOpenHatChannel, kHatOpen, kOffbeats, 36);
        crash(*p, 0, 60);
    }
    pad(a, kMain, 36, true);
    bass(a, kMain, kBassRolling, 58);
    arpeggio(a, kMain, 28);
    melody(a, kMotif, kLeadChannel, kLead, 62);
    melody(a, kMotif, kLeadEchoChannel, kLead, 36, 0, &kMain);

    pad(b, kAnswer, 36, true);
    bass(b, kAnswer, kBassRolling, 58);
    arpeggio(b, kAnswer, 28);
    melody(b, kMotifAnswer, kLeadChannel, kLead, 62);
    melody(b, kMotifAnswer, kLeadEchoChannel, kLead, 36, 0, &kAnswer);
    fill(b, 3, 52);
}

// Orders 10-11: the close. The drums thin out under the slowed motif and
// the last cadence fades before order 12.
void close(ModulePattern& a, ModulePattern& b) {
    crash(a, 0, 48);
    drum(a, kKickChannel, kKick, kFourFloor, 52, 0, 1);
    drum(a, kClapChannel, kClap, kBackbeat, 46, 0, 1);
    drum(a, kHatChannel, kHatClosed, kEighths, 22);
    pad(a, kMain, 38, false);
    bass(a, kMain, kBassHeld, 40);
    arpeggio(a, kMain, 22);
    lead(a, kMotifSlow, 50);

    pad(b, kCadence, 36, false);
    bass(b, kCadence, kBassHeld, 36, 0, 2);
    drum(b, kHatChannel, kHatClosed, kEighths, 17, 0, 1);
    melody(b, kFarewell, kLeadChannel, kLead, 46);
    melody(b, kFarewell, kLeadEchoChannel, kLead, 16, 3);
    pluckLine(b, {{32, 4, A5}, {36, 4, E5}, {40, 4, C5}, {44, 4, A4}}, 26);
    // the last chord rings two bars; everything is let go in the last bar
    // while the level is drawn down to nothing
    padRelease(b, 52);
    release(b, 48, kBassChannel);
    for (int row = 38; row < kRows; ++row)
        effect(b, row, kKickChannel, 'W', 0x01);
}

// Order 12: silence. The show ends as it is reached; a player that keeps
// going hears a short rest before the song starts over.
void ending(ModulePattern& p) {
    for (int c = 0; c < kChannelCount; ++c)
        put(p, 0, c, kNoteCut, 0, kNoVolume);
}

}  // namespace

Module composeSong() {
    Module m;
    m.name = "demosong";
    m.channels = kChannelCount;
    m.speed = 6;
    m.tempo = 125;
    m.globalVolume = 128;
    m.mixVolume = 69;
    m.channelPan.assign(kPans, kPans + kChannelCount);
    addSongInstruments(m);

    m.patterns.assign(kShowOrders, ModulePattern());
    opening(m.patterns[0], m.patterns[1]);
    groove(m.patterns[2], m.patterns[3]);
    lift(m.patterns[4], m.patterns[5]);
    light(m.patterns[6], m.patterns[7]);
    climax(m.patterns[8], m.patterns[9]);
    close(m.patterns[10], m.patterns[11]);
    m.patterns[12].rows = 32;
    ending(m.patterns[12]);
    for (int k = 0; k < kShowOrders; ++k)
        m.orders.push_back(k);
    return m;
}

}  // namespace demo
