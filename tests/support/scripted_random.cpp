// The scriptable generator for tests. See scripted_random.h.
#include "tests/support/scripted_random.h"

#include "scenes/random.h"

namespace scriptedrand {

namespace {
std::uint32_t state = 1;
bool constant = false;
int constantValue = 0;
long count = 0;
}  // namespace

void useRealSequence(std::uint32_t s) {
    state = s;
    constant = false;
}

void returnConstant(int value) {
    constant = true;
    constantValue = value;
}

long calls() { return count; }
void resetCount() { count = 0; }

}  // namespace scriptedrand

namespace demo {

int rand() {
    ++scriptedrand::count;
    if (scriptedrand::constant) return scriptedrand::constantValue;
    scriptedrand::state = nextRandState(scriptedrand::state);
    return randOutput(scriptedrand::state);
}

void resetRand() { scriptedrand::useRealSequence(1); }
std::uint32_t randState() { return scriptedrand::state; }
void setRandState(std::uint32_t s) { scriptedrand::useRealSequence(s); }

}  // namespace demo
