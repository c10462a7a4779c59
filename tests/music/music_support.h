// Support for the music tests: small modules made with the module writer,
// temporary files, and a watch on the player's position.
//
// A "fast" module runs one row per tick at tempo 250: a row lasts exactly
// 10 ms (441 frames at 44100 Hz) and a 32-row order 320 ms. Order k row r
// therefore starts at frame (32 * k + r) * 441.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace musictest {

constexpr int rowsPerOrder = 32;
constexpr int framesPerRow = 441;
constexpr int msPerRow = 10;

// A fast module of orderCount orders, each its own 32-row pattern, with a
// looping square-wave note struck at the first row of every order.
std::vector<std::uint8_t> fastModule(int orderCount);

// Writes bytes to a fresh file in the temporary directory and returns its
// path; the file is removed at the end of the test program.
std::string writeTempFile(const std::vector<std::uint8_t>& bytes, const char* suffix);

// One reading of BASSMOD_MusicGetPosition and when it was taken.
struct Reading {
    double ms;  // since the watch began
    std::uint32_t position;
};

// How far a reading of the player may stray from the module's own timing.
// SDL's dummy driver takes a 1024-frame buffer (23.22 ms) every 23 ms or
// later, so the module may run up to dummyHaste times faster than the clock;
// within that, a reading is never early by more than aheadSlackMs. It may be
// late by a buffer (23 ms), the wake-up of a paused device (another 23 ms)
// and whatever a busy machine adds to the audio thread's wake-ups.
constexpr double dummyHaste = (1024.0 / 44.1) / 23.0;
constexpr double aheadSlackMs = 5;
constexpr double behindSlackMs = 150;

// The latest and the earliest module time (ms) the player may report at
// clock time ms.
inline double latestModuleMs(double ms) { return ms * dummyHaste + aheadSlackMs; }
inline double earliestModuleMs(double ms) { return ms - behindSlackMs; }

// Reads the player's position every 2 ms for ms milliseconds.
std::vector<Reading> watchPlayer(int ms);

// Order and row of a position.
inline int orderOf(std::uint32_t position) { return int(position & 0xFFFF); }
inline int rowOf(std::uint32_t position) { return int(position >> 16); }

// Milliseconds into a fast module at which a position starts.
inline double moduleMs(std::uint32_t position) {
    return double((orderOf(position) * rowsPerOrder + rowOf(position)) * msPerRow);
}

}  // namespace musictest
