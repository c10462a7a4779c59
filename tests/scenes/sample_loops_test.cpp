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
#include "tests/scenes/reference_loops.h"
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
    expectSameCalls(demo::sampleLobedShell, reference::sampleLobedShell);
}

TEST(SampleLoops, BlobShellTablesDrawBitForBitWhatTheDefinitionDraws) {
    expectSameCalls(demo::sampleBlobShell, reference::sampleBlobShell);
}

TEST(SampleLoops, SphereShellTablesDrawBitForBitWhatTheDefinitionDraws) {
    expectSameCalls(demo::sampleSphereShell, reference::sampleSphereShell);
}

// A rounding slip in a table (a sum regrouped, a product taken in another
// order) moves a value by an ulp, which almost never moves it across a band
// bound, so the call streams above would hide it. These compare the values
// themselves, at every one of the million lattice points.
float lattice(int draw) { return float(draw * 0.04 - 2); }

const int timesChecked[] = {0, 1000, 7777, 15360, 600000};

// Compares a field computed from its tables with its definition at every
// lattice point, for each time checked.
template <class FromTables, class FromDefinition>
void expectSameFieldEverywhere(FromTables fromTables, FromDefinition fromDefinition) {
    for (int ms : timesChecked) {
        long mismatches = 0;
        for (int ix = 0; ix < 100; ++ix) {
            for (int iy = 0; iy < 100; ++iy) {
                for (int iz = 0; iz < 100; ++iz) {
                    const double v = fromDefinition(ms, lattice(ix), lattice(iy), lattice(iz));
                    if (fromTables(ms, ix, iy, iz) != v && mismatches++ == 0) {
                        ADD_FAILURE() << "at " << ms << " ms, lattice point (" << ix << ", " << iy
                                      << ", " << iz << ")";
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << "lattice points whose value differs at " << ms << " ms";
    }
}

TEST(SampleLoops, BlobFieldFromTablesIsTheDefinitionsAtEveryLatticePoint) {
    demo::BlobShellTables tables;
    reference::BlobCentres centres;
    int filledFor = -1, centresFor = -1;
    expectSameFieldEverywhere(
        [&](int ms, int ix, int iy, int iz) {
            if (filledFor != ms) demo::fillBlobShellTables(filledFor = ms, tables);
            return demo::blobField(tables, ix, iy, iz);
        },
        [&](int ms, double x, double y, double z) {
            if (centresFor != ms) centres = reference::blobCentres(centresFor = ms);
            return reference::blobField(centres, x, y, z);
        });
}

TEST(SampleLoops, SphereFunctionFromTablesIsTheDefinitionsAtEveryLatticePoint) {
    demo::SphereShellTables tables;
    int filledFor = -1;
    expectSameFieldEverywhere(
        [&](int ms, int ix, int iy, int iz) {
            if (filledFor != ms) demo::fillSphereShellTables(filledFor = ms, tables);
            return demo::sphereField(tables, ms, ix, iy, iz);
        },
        [](int ms, double x, double y, double z) { return reference::sphereField(ms, x, y, z); });
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
