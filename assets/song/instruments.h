// The song's instruments, synthesised from scratch: drums from shaped noise
// and swept sines, tonal sounds from band-limited additive synthesis.
//
// Tonal samples are built from whole periods (or, for the detuned stacks,
// from partials that all complete whole cycles over the loop), so their
// loops join without a seam; every sample starts at or ramps up from zero,
// one-shots fade to exactly zero, and nothing carries a DC offset. Partials
// are capped below the output's Nyquist frequency at the highest note each
// sample serves, so transposing up does not alias.
//
// Pitch: note 60 (C-5) sounds at 261.63 Hz (middle C); notes follow MIDI
// numbering, so 69 is A 440 Hz. Drums sound as recorded at note 60.
#pragma once

#include "assets/song/module_writer.h"

namespace demo {

// The instruments in the order addSongInstruments makes them: a cell's
// instrument number is one of these.
enum SongInstrument {
    kKick = 1,   // sine swept down from 180 Hz with a noise click, 0.45 s
    kClap,       // four bursts of band-passed noise and a short tail
    kSnare,      // tuned body and bright noise, for rolls and fills
    kHatClosed,  // 0.12 s of filtered noise and metal
    kHatOpen,    // the same, ringing 0.6 s
    kCrash,      // 2.5 s metallic wash
    kRiser,      // noise swept up over two bars (3.84 s at note 60)
    kBass,       // resonant pluck settling into a dark saw with a sub
    kLead,       // five detuned saws with delayed vibrato
    kPluck,      // bright pluck whose upper partials die first
    kPad,        // seven detuned saws, slow attack and release
};

// Gives module the song's samples and instruments, replacing any it had,
// and so puts it in instrument mode. Every call makes the same samples.
void addSongInstruments(Module& module);

}  // namespace demo
