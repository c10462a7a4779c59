// Scenes 4 to 6 allocate nothing while drawing a frame: counted by replacing
// the global allocation functions of this test program, with the recorder
// only counting calls so that it allocates nothing either.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "scenes/particle_fountain.h"
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
    demo::lastTick = -1;
    const long before = allocations;
    demo::scene4(0);
    demo::scene4(200);  // twenty simulation steps
    demo::scene5(4000);
    demo::scene6(8000);
    EXPECT_EQ(allocations - before, 0);
    EXPECT_GT(glrec::callCount(), 100000u) << "the frames drew";
}

}  // namespace
