// A probe preloaded into the real program (LD_PRELOAD) to time its start-up:
// it stands in for glutSwapBuffers, passes every call on to GLUT's own, and
// after the first one returns writes the CLOCK_MONOTONIC time in nanoseconds
// (8 bytes, host order) to the file descriptor named by DEMO_FIRST_FRAME_FD.
// Without that variable it does nothing but pass the calls on.
#include <GL/glut.h>
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

void glutSwapBuffers() {
    using SwapFn = void (*)();
    static const SwapFn glutOwn = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static bool reported = false;
    if (glutOwn != nullptr) glutOwn();
    if (reported) return;
    reported = true;
    const char* fd = std::getenv("DEMO_FIRST_FRAME_FD");
    if (fd == nullptr) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t ns = std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
    if (write(std::atoi(fd), &ns, sizeof ns) != sizeof ns) return;
}
