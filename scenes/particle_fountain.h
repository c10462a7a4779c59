// The particle fountain's pool: the one piece of scene state that lives from
// frame to frame.
//
// scene4 owns everything here and is its only caller at show time; it is
// declared in a header so that tests can put the pool in a known state and
// step it. The pool is a ring of 2048 records, respawned eight per 10 ms step
// in order, so every record lives exactly 256 steps (2.56 s).
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

// The ring of records, zero at program start; read only after resetParticles.
extern Particle particles[particleCount];
// The record the next spawn overwrites: 0 to 2047, wrapping. 0 at program start.
extern int spawnIndex;
// The simulation tick (elapsedMs / 10) reached by the previous frame; -1 at
// program start, meaning the pool has not been reset yet.
extern int lastTick;

// Puts every record in the start state: position (0, 9999, 0), far above the
// view, velocity (0, -14, 0), angle 0, spin 0, axis (1, 0, 0), life 256.
// Leaves spawnIndex alone.
void resetParticles();

// One 10 ms step: eight spawns into the ring from spawnIndex, then one update
// of all 2048 records (gravity, tumble, bounce on y = 0, jittered move, age).
// Calls rand() 64 times for the spawns, then per record once if it bounces
// and three times for its move.
void stepParticles();

}  // namespace demo
