// The shared generator. Kept in a library of its own so that tests can link a
// scripted generator in its place.
#include "scenes/random.h"

namespace demo {

static std::uint32_t state = 1;

int rand() {
    state = nextRandState(state);
    return randOutput(state);
}

void resetRand() { state = 1; }

std::uint32_t randState() { return state; }

void setRandState(std::uint32_t s) { state = s; }

}  // namespace demo
