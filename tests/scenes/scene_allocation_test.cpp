// The scenes allocate nothing while drawing a frame: counted by replacing
// the global allocation functions of this test program, with the recorder
// only counting calls so that it allocates nothing either.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "scenes/particle_fountain.h"
#include "scenes/frame.h"
#include "scenes/scenes.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_random.h"

namespace {
long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(SceneFrames, FountainGreetingsAndSphereAllocateNothing) {
    glrec::reset();
    glrec::setRecording(false);
    scriptedrand::useRealSequence(1);
    demo::resetParticlePool();
    const long before = allocations;
    demo::scene4(0);
    demo::scene4(200);  // twenty simulation steps
    demo::scene5(4000);
    demo::scene6(8000);
    EXPECT_EQ(allocations - before, 0);
    EXPECT_GT(glrec::callCount(), 100000u) << "the frames drew";
}

// Every scene, over the whole span the song gives it (two orders, 15.36 s)
// and beyond, from its first frame on: the frames that fill the sample
// loops' tables and the particle pool's reset included.
TEST(SceneFrames, EverySceneAllocatesNothingInAnyFrameOfItsSpan) {
    glrec::reset();
    glrec::setRecording(false);
    scriptedrand::useRealSequence(1);
    demo::resetParticlePool();
    const demo::SceneFn scenes[] = {demo::scene1, demo::scene2, demo::scene3,
                                    demo::scene4, demo::scene5, demo::scene6};
    int frames = 0;
    for (int s = 0; s < 6; ++s) {
        const long before = allocations;
        for (int ms = 0; ms <= 16000; ms += 250, ++frames)
            scenes[s](ms);
        scenes[s](600000);
        EXPECT_EQ(allocations - before, 0) << "scene " << s + 1;
    }
    EXPECT_EQ(frames, 6 * 65);
}

}  // namespace
