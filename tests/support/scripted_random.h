// A stand-in for the show's generator (scenes/random.h) that tests can
// script: by default it is the real sequence; it can instead return one
// constant value on every call. It counts the calls either way.
#pragma once

#include <cstdint>
#include <vector>

#include "scenes/random.h"

namespace scriptedrand {

void useRealSequence(std::uint32_t state = 1);  // the real generator from state
void returnConstant(int value);                 // every call returns value
long calls();                                   // calls since the last reset
void resetCount();

// The show's sequence computed apart from the generator under test, for
// working out what a scene should draw: outputs from state on. (Header only:
// render tests use it beside the real generator.)
struct Sequence {
    std::uint32_t state = 1;

    // The next output, 0 to 32767.
    int next() {
        state = demo::nextRandState(state);
        return demo::randOutput(state);
    }
    int nextDraw() { return next() % 100; }
    void skip(int n) {
        for (int i = 0; i < n; ++i)
            next();
    }
    // The next n outputs.
    std::vector<int> take(int n) {
        std::vector<int> out;
        for (int i = 0; i < n; ++i)
            out.push_back(next());
        return out;
    }
};

}  // namespace scriptedrand
