// The scenes, the series and the statistics of the benchmarks. See series.h.
#include "bench/series.h"

#include <algorithm>
#include <cmath>

#include "scenes/scenes.h"
#include "show/sequencer.h"
#include "desktop/desktop_shell.h"

namespace bench {

const demo::SceneFn sceneFns[sceneTotal] = {demo::scene1, demo::scene2, demo::scene3,
                                            demo::scene4, demo::scene5, demo::scene6};

void startSeries() {
    demo::usePlatform(demo::desktopPlatform);
    demo::startShow();
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p * double(values.size()));
    const std::size_t index = rank < 1 ? 0 : std::size_t(rank) - 1;
    return values[std::min(index, values.size() - 1)];
}

}  // namespace bench
