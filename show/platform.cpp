// The platform in use, and the GL state the shells start the show from. See
// platform.h.
#include "show/platform.h"

#include <GL/gl.h>

#include "scenes/frame.h"

namespace demo {

// NOTE: calling through an unset platform is a shell's mistake; the null
// pointers make it fail at once rather than quietly drawing nothing.
static Platform current = {nullptr, nullptr, nullptr, nullptr};

void usePlatform(const Platform& platform) { current = platform; }

int platformClockMs() { return current.clockMs(); }
MusicPosition platformMusicPosition() { return MusicPosition::unpack(current.musicPosition()); }
void presentFrame() { current.presentFrame(); }
void endShow() { current.endShow(); }

void setFixedGlState() {
    glShadeModel(GL_FLAT);
    glEnable(GL_CULL_FACE);
}

void setStartGlState() {
    setFixedGlState();
    setScreenProjection(pictureWidth, pictureHeight);
}

}  // namespace demo
