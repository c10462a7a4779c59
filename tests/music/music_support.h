// Support for the music tests: small modules made with the module writer,
// temporary files, and a watch on the player's position.
//
// A "fast" module runs one row per tick at tempo 250: a row lasts exactly
// 10 ms (441 frames at 44100 Hz) and a 32-row order 320 ms. Order k row r
// therefore starts at frame (32 * k + r) * 441.
#pragma once

#include <cstdint>
#include <functional>
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
// within that, a reading is never early by more than aheadSlackMs. That bound
// holds on any machine, busy or not, and catches a position that runs ahead
// of the sound. Lateness is looser: the dummy driver never catches up after
// its thread has been kept waiting, so on a busy machine the sound itself
// falls behind the clock, and a reading may lag the clock by a buffer, the
// wake-up of a paused device and that drift (seen up to a fifth of the time
// played with both cores busy). The late bound catches a position that stops
// or crawls.
constexpr double dummyHaste = (1024.0 / 44.1) / 23.0;
constexpr double aheadSlackMs = 5;
constexpr double behindSlackMs = 150;
constexpr double busyDrift = 0.35;

// The latest and the earliest module time (ms) the player may report at
// clock time ms.
inline double latestModuleMs(double ms) { return ms * dummyHaste + aheadSlackMs; }
inline double earliestModuleMs(double ms) { return ms * (1 - busyDrift) - behindSlackMs; }

// Starts a clock, then the loaded module (BASSMOD_MusicPlay; throws if it
// fails), and reads the player's position every 2 ms until ms milliseconds
// have passed or stop says so of a reading. The clock starts first, so a
// test thread slow to begin watching cannot make the music look early.
std::vector<Reading> playAndWatch(int ms,
                                  const std::function<bool(const Reading&)>& stop = nullptr);

// Order and row of a position.
inline int orderOf(std::uint32_t position) { return int(position & 0xFFFF); }
inline int rowOf(std::uint32_t position) { return int(position >> 16); }

// Milliseconds into a fast module at which a position starts.
inline double moduleMs(std::uint32_t position) {
    return double((orderOf(position) * rowsPerOrder + rowOf(position)) * msPerRow);
}

}  // namespace musictest
