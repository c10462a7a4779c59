// The particle fountain's pool: the one piece of scene state that lives from
// frame to frame.
//
// scene4 owns everything here and is its only caller at show time; it is
// declared in a header so that tests can read the pool and step it. The pool is a ring of 2048
// records, respawned eight per 10 ms step in order, so every record lives exactly 256 steps (2.56
// s).
//
// Units: positions in world units, y the height above the plate's top face;
// velocities in world units per step; angles in degrees; life in steps.
#pragma once

namespace demo {

// One cube of the fountain.
struct Particle {
    float x, y, z;     // position
    float vx, vy, vz;  // velocity per step, before the position update's random factor
    float angle;       // tumble angle, degrees
    float spin;        // change of angle per step, degrees
    float ax, ay, az;  // tumble axis, not normalised
    int life;          // steps left: 256 at spawn, minus 1 per step; sets size and colour
};

constexpr int particleCount = 2048;

// The pool: the ring of records and the simulation's place in it. This module
// alone writes it; everyone else reads it through particlePool().
struct ParticlePool {
    // The ring, zero at program start; read only after resetParticles.
    Particle particles[particleCount];
    // The record the next spawn overwrites: 0 to 2047, wrapping. 0 at start.
    int spawnIndex;
    // The simulation tick (elapsedMs / 10) reached by the previous frame; -1 at
    // start, meaning the pool has not been reset yet.
    int lastTick;
};
const ParticlePool& particlePool();

// The pool as at program start (every record zero, spawnIndex 0, lastTick
// -1), so that scene4's next frame is a first frame. Part of starting the
// show from the top.
void resetParticlePool();

// Puts the pool back as a copy taken of it earlier (particlePool()): part of
// restoring a saved show (show/sequencer.h, restoreShow).
void restoreParticlePool(const ParticlePool& saved);

// Puts every record in the start state: position (0, 9999, 0), far above the
// view, velocity (0, -14, 0), angle 0, spin 0, axis (1, 0, 0), life 256.
// Leaves spawnIndex alone.
void resetParticles();

// One record's share of a step: gravity, tumble, bounce on y = 0, jittered
// move, age. Calls rand() once if it bounces, then three times for the move.
void moveParticle(Particle& p);

// One 10 ms step: eight spawns into the ring from spawnIndex, then one update
// of all 2048 records (gravity, tumble, bounce on y = 0, jittered move, age).
// Calls rand() 64 times for the spawns, then per record once if it bounces
// and three times for its move.
void stepParticles();

}  // namespace demo
