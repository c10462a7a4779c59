// Prints the show's scene list, "1 cube-cluster" and so on, one scene a line,
// for scripts that name files after the scenes.
#include <cstdio>

#include "show/sequencer.h"
#include "show/show_facts.h"

int main() {
    for (int row = 0; row < demo::scenesShown; ++row)
        std::printf("%d %s\n", row + 1, demo::sceneTable[row].name);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
