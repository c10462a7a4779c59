// A stand-in for the show's generator (scenes/random.h) that tests can
// script: by default it is the real sequence; it can instead return one
// constant value on every call. It counts the calls either way.
#pragma once

#include <cstdint>

namespace scriptedrand {

void useRealSequence(std::uint32_t state = 1);  // the real generator from state
void returnConstant(int value);                 // every call returns value
long calls();                                   // calls since the last reset
void resetCount();

}  // namespace scriptedrand
