// The show's one pseudo-random generator.
//
// Every scene draws from this single sequence, in a fixed order, and the
// pictures depend on that order. It is never seeded: the state starts at 1
// when the process starts and runs on across frames and scenes.
//
// The first outputs are 41, 18467, 6334, 26500, 19169.
#pragma once

#include <cstdint>

namespace demo {

// One step of the generator's state (modulo 2^32).
inline std::uint32_t nextRandState(std::uint32_t state) { return state * 214013u + 2531011u; }

// The value a state yields: 15 bits, 0 to 32767.
inline int randOutput(std::uint32_t state) { return static_cast<int>((state >> 16) & 0x7FFFu); }

// Advances the shared state by one step and returns a value from 0 to 32767.
int rand();

// One draw: rand() % 100, a value from 0 to 99, the draw most scenes take.
inline int draw() { return rand() % 100; }

// Back to the start state, 1: the sequence starts over from its first value.
void resetRand();

// The shared state, for tools that replay the show from a known point.
std::uint32_t randState();
void setRandState(std::uint32_t state);

}  // namespace demo
