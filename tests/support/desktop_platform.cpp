// Recorder tests run the show as the desktop program runs it: its platform
// (GLUT's clock, the music position, the buffer swap, the quit steps), here
// over the GL recorder and the silent music layer.
#include "desktop/desktop_shell.h"

namespace {
[[maybe_unused]] const bool platformInUse = (demo::usePlatform(demo::desktopPlatform), true);
}  // namespace
