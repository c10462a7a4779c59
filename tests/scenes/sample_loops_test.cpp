// The table-driven sample loops of scenes 2, 5 and 6 against the loops
// written straight from each surface's definition: from the same generator
// state, over many frames, both must issue the same GL calls with the same
// bits and leave the generator in the same state.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "scenes/greetings.h"
#include "scenes/lobed_shell.h"
#include "scenes/random.h"
#include "scenes/rippling_sphere.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {

using SampleLoop = void (*)(int elapsedMs);

struct Run {
    std::vector<glrec::Call> calls;
    std::uint32_t stateAfter;
};

Run record(SampleLoop loop, int elapsedMs, std::uint32_t state) {
    glrec::reset();
    glrec::setRecording(true);
    demo::setRandState(state);
    loop(elapsedMs);
    return {glrec::calls(), demo::randState()};
}

// The frames compared: a whole scene's span at an uneven step, so that many
// phases of every sine and cosine come up, then times far beyond any scene
// (a module that loops and never ends the show keeps a scene running).
std::vector<int> framesCompared() {
    std::vector<int> ms;
    for (int t = 0; t <= 16000; t += 131)
        ms.push_back(t);
    for (int t : {60000, 600000, 3600000, 86400000, INT_MAX})
        ms.push_back(t);
    return ms;
}

// Runs both loops for every frame from the generator state the show would
// have reached (the state runs on from frame to frame) and compares them.
void expectSameCalls(SampleLoop fast, SampleLoop reference) {
    std::uint32_t state = 1;
    long cubes = 0;
    for (int ms : framesCompared()) {
        const Run expected = record(reference, ms, state);
        const Run actual = record(fast, ms, state);
        ASSERT_EQ(actual.stateAfter, expected.stateAfter) << "at " << ms << " ms";
        ASSERT_EQ(actual.calls.size(), expected.calls.size()) << "at " << ms << " ms";
        for (std::size_t i = 0; i < expected.calls.size(); ++i) {
            ASSERT_EQ(actual.calls[i], expected.calls[i])
                << "at " << ms << " ms, call " << i << ": " << glrec::describe(actual.calls[i])
                << " instead of " << glrec::describe(expected.calls[i]);
        }
        cubes += long(glrec::callsOf(glrec::Fn::Begin).size());
        state = expected.stateAfter;
    }
    EXPECT_GT(cubes, 1000) << "the frames compared drew cubes";
}

TEST(SampleLoops, LobedShellTablesDrawBitForBitWhatTheDefinitionDraws) {
    expectSameCalls(demo::sampleLobedShell, demo::sampleLobedShellReference);
}

TEST(SampleLoops, BlobShellTablesDrawBitForBitWhatTheDefinitionDraws) {
    expectSameCalls(demo::sampleBlobShell, demo::sampleBlobShellReference);
}

TEST(SampleLoops, SphereShellTablesDrawBitForBitWhatTheDefinitionDraws) {
    expectSameCalls(demo::sampleSphereShell, demo::sampleSphereShellReference);
}

// A rounding slip in a table (a sum regrouped, a product taken in another
// order) moves a value by an ulp, which almost never moves it across a band
// bound, so the call streams above would hide it. These compare the values
// themselves, at every one of the million lattice points.
float lattice(int draw) { return float(draw * 0.04 - 2); }

const int timesChecked[] = {0, 1000, 7777, 15360, 600000};

TEST(SampleLoops, BlobFieldFromTablesIsTheDefinitionsAtEveryLatticePoint) {
    for (int ms : timesChecked) {
        const double d = ms;
        const double c[3][3] = {
            {std::sin(0.006 * d), std::sin(0.0047 * d + 2), std::cos(0.00117 * d + 1)},
            {std::sin(0.0037 * d + 2), std::sin(0.0017 * d + 1), std::cos(0.0013 * d + 1)},
            {std::sin(0.007 * d + 2), std::sin(0.0011 * d + 1), std::cos(0.003 * d + 1)}};
        const double t = 0.0011 * d;
        long mismatches = 0;
        for (int ix = 0; ix < 100; ++ix) {
            const double x = lattice(ix);
            const double ripple = 0.25 * std::sin(5 * x + t + 1);
            for (int iy = 0; iy < 100; ++iy) {
                const double y = lattice(iy);
                for (int iz = 0; iz < 100; ++iz) {
                    const double z = lattice(iz);
                    double inverse[3];
                    for (int k = 0; k < 3; ++k) {
                        inverse[k] =
                            1 / ((c[k][0] - x) * (c[k][0] - x) + (c[k][1] - y) * (c[k][1] - y) +
                                 (c[k][2] - z) * (c[k][2] - z));
                    }
                    const double v = inverse[0] + inverse[1] + inverse[2] + ripple;
                    if (demo::blobShellValue(ms, ix, iy, iz) != v && mismatches++ == 0) {
                        ADD_FAILURE() << "at " << ms << " ms, lattice point (" << ix << ", " << iy
                                      << ", " << iz << ")";
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << "lattice points whose value differs at " << ms << " ms";
    }
}

TEST(SampleLoops, SphereFunctionFromTablesIsTheDefinitionsAtEveryLatticePoint) {
    for (int ms : timesChecked) {
        const double d = ms;
        long mismatches = 0;
        for (int ix = 0; ix < 100; ++ix) {
            const double x = lattice(ix);
            const double xRipple = 5e-5 * std::sin(5 * x + 0.002 * d);
            for (int iy = 0; iy < 100; ++iy) {
                const double y = lattice(iy);
                const double yRipple = 3e-8 * std::cos(4 * y + 0.001 * d);
                for (int iz = 0; iz < 100; ++iz) {
                    const double z = lattice(iz);
                    const double v =
                        x * x + y * y + z * z +
                        d * (d * (d * 3e-12 * std::cos(14 * z + 0.003 * d) + yRipple) + xRipple);
                    if (demo::sphereShellValue(ms, ix, iy, iz) != v && mismatches++ == 0) {
                        ADD_FAILURE() << "at " << ms << " ms, lattice point (" << ix << ", " << iy
                                      << ", " << iz << ")";
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << "lattice points whose value differs at " << ms << " ms";
    }
}

// Every loop takes its three draws per sample whether or not it draws a cube.
TEST(SampleLoops, EachLoopDraws240000TimesFromAnyState) {
    for (SampleLoop loop :
         {demo::sampleLobedShell, demo::sampleBlobShell, demo::sampleSphereShell}) {
        for (std::uint32_t state : {1u, 0xDEADBEEFu}) {
            glrec::reset();
            glrec::setRecording(false);
            scriptedrand::useRealSequence(state);
            scriptedrand::resetCount();
            loop(5000);
            EXPECT_EQ(scriptedrand::calls(), 240000);
        }
    }
}

}  // namespace
