// The platform in use. See platform.h.
#include "show/platform.h"

namespace demo {

// NOTE: calling through an unset platform is a shell's mistake; the null
// pointers make it fail at once rather than quietly drawing nothing.
static Platform current = {nullptr, nullptr, nullptr, nullptr};

void usePlatform(const Platform& platform) { current = platform; }

int platformClockMs() { return current.clockMs(); }
MusicPosition platformMusicPosition() { return MusicPosition::unpack(current.musicPosition()); }
void presentFrame() { current.presentFrame(); }
void endShow() { current.endShow(); }

}  // namespace demo
