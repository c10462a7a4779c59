// A display that is always there. See fake_display.h.
#include "tests/support/fake_display.h"

#include "process/display.h"

namespace fakedisplay {

bool xwayland = false;
void reset() { xwayland = false; }

}  // namespace fakedisplay

namespace demo {

bool probeDisplay(const char*, DisplayFacts& facts, std::string&) {
    facts = DisplayFacts{};
    facts.xwayland = fakedisplay::xwayland;
    return true;
}

void catchDisplayLoss(const char*) {}
void quietDisplayErrors() {}

}  // namespace demo
