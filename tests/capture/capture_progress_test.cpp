// The capture's progress line fits the terminal: never as wide as its
// columns (a line that fills the last column wraps on most terminals, and
// each redraw then adds a line), dropping the least useful parts first.
#include <gtest/gtest.h>

#include <string>

#include "capture/progress.h"

namespace {

// A whole-show capture part way: fast-forwarded frames at 617 fps, drawn
// frames of the first scene at 2 fps, about 4 minutes left.
demo::Progress partWay() {
    demo::Progress p;
    p.fastForwarded = {5000, 1234, 2};
    p.drawnScenes[0] = {600, 120, 60};
    return p;
}

TEST(CaptureProgress, TheLineFitsTheTerminalAndKeepsTheCountsAndTheTimeLeft) {
    const demo::Progress p = partWay();
    const std::string wide = demo::progressLine(p, 62, 200);
    EXPECT_EQ(wide,
              "[######------------------------] fast-forwarded 1234/5000 (617 fps), drawn "
              "120/600 (2.0 fps)  4:06 left");
    for (int columns : {80, 40, 20}) {
        const std::string line = demo::progressLine(p, 62, columns);
        EXPECT_LT(int(line.size()), columns) << line;
        if (columns >= 40) {
            EXPECT_NE(line.find("120/600"), std::string::npos) << line;
            EXPECT_NE(line.find("4:06 left"), std::string::npos) << line;
        }
    }
    // At 80 columns only the bar narrows; at 40 the rates and names go.
    EXPECT_EQ(demo::progressLine(p, 62, 80),
              "[#-----] fast-forwarded 1234/5000 (617 fps), drawn 120/600 (2.0 fps)  4:06 left");
    EXPECT_EQ(demo::progressLine(p, 62, 40), "ff 1234/5000, drawn 120/600  4:06 left");
}

}  // namespace
