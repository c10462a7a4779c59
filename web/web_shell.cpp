// The web page's shell: the show's platform in a browser, and the calls the
// page (page.js) makes into the program.
//
// The page owns the loop: it calls webFrame from requestAnimationFrame while
// the show runs, passes on character keys and the song's end, and shows its
// start screen again when the show has ended. The show itself runs exactly as
// on the desktop: startShow, then displayFrame once a frame, with this
// platform behind it:
//   clock     the page's millisecond clock (performance.now);
//   music     the song player's position (web/music.cpp);
//   present   the 640x480 picture scaled onto the canvas (gl_layer.h);
//   end       the music stopped and freed, the page told.
//
// Test hook: webHookStart puts the show on a clock and a music position that
// the caller sets before each frame (webHookStep) and starts it without
// music, so that a test can replay exactly the frames another program drew.
#include <GL/gl.h>
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "font/font.h"
#include "music/player.h"
#include "scenes/frame.h"
#include "show/platform.h"
#include "show/sequencer.h"
#include "show/show_facts.h"
#include "show/show_music.h"
#include "web/gl_layer.h"
#include "web/webgl_device.h"

EM_JS(void, tellPageShowEnded, (), { Module.onShowEnded(); });

namespace demo {

namespace {

std::string problem;  // why the last call failed, for the page's sentence
bool running = false;

// The test hook's clock and music position, when it drives the show.
bool hookDriven = false;
int hookNowMs = 0;
std::uint32_t hookPosition = 0;

int pageClockMs() { return hookDriven ? hookNowMs : int(emscripten_get_now()); }

std::uint32_t songPosition() { return hookDriven ? hookPosition : BASSMOD_MusicGetPosition(); }

void endPageShow() {
    if (!running) return;
    running = false;
    BASSMOD_MusicStop();
    BASSMOD_MusicFree();
    tellPageShowEnded();
}

const Platform webPlatform = {pageClockMs, songPosition, presentLayer, endPageShow};

}  // namespace

}  // namespace demo

using namespace demo;

extern "C" {

// Why the last call that returned 0 failed.
EMSCRIPTEN_KEEPALIVE const char* webProblem() { return problem.c_str(); }

// Opens the canvas #show and sets the GL state the show starts from, as the
// desktop's start-up does. 0 when the browser has no WebGL2.
EMSCRIPTEN_KEEPALIVE int webOpen() {
    usePlatform(webPlatform);
    if (!openLayer("#show", problem)) return 0;
    setStartGlState();
    return 1;
}

// Reads the font image the page has put in the file system. 0 when it is not
// a font image, with what is wrong with it.
EMSCRIPTEN_KEEPALIVE int webLoadFont() { return readFontImage(fontFileName, problem) ? 1 : 0; }

// Starts the show from the top with its music. 0 when the music cannot play.
EMSCRIPTEN_KEEPALIVE int webStart() {
    hookDriven = false;
    static bool audioOpen = false;
    if (!audioOpen && !BASSMOD_Init(-1, musicRate, 0)) {
        problem = std::string("cannot open the audio device: ") + musicErrorText();
        return 0;
    }
    audioOpen = true;
    // NOTE: played once, not looped: the song's end then ends the show even
    // when no frames were drawn to see the quit order (a hidden tab draws
    // none).
    if (!BASSMOD_MusicLoad(0, songFileName, 0, 0, musicLoadFlags & ~BASS_MUSIC_LOOP)) {
        problem = std::string("cannot load ") + songFileName + ": " + musicErrorText();
        return 0;
    }
    BASSMOD_MusicPlay();
    startShow();
    running = true;
    return 1;
}

// One frame of the show onto the canvas of width x height device pixels.
// Returns 1 while the show runs, 0 once it has ended.
EMSCRIPTEN_KEEPALIVE int webFrame(int width, int height) {
    if (!running) return 0;
    setLayerCanvasSize(width, height);
    displayFrame();  // at the quit row the platform's end stops the music
    return running && !showOver() ? 1 : 0;
}

// Reduced flashing on (1) or off (0) from the next frame: the page's "Play
// with reduced flashing" and its switch during the show.
EMSCRIPTEN_KEEPALIVE void webReduceFlashing(int on) { setReducedFlashing(on != 0); }

// A key that types a character ends the show, as on the desktop.
EMSCRIPTEN_KEEPALIVE void webKey() {
    if (running) quitDemo(0);
}

// The song has ended (or failed): so has the show.
EMSCRIPTEN_KEEPALIVE void webSongEnded() { endPageShow(); }

// The scene row the show is at: 0 to 5 for the scenes, 6 once it has quit.
EMSCRIPTEN_KEEPALIVE int webSceneRow() { return sequencer().sceneIndex; }

// ---- test hook ----

// Starts the show from the top, without music, at clock clockMs.
EMSCRIPTEN_KEEPALIVE void webHookStart(int clockMs) {
    hookDriven = true;
    hookNowMs = clockMs;
    startShow();
    running = true;
}

// Sets the clock and the music position (order | row << 16) for the next
// frame, and whether it is drawn (an undrawn frame runs the show's code,
// rand() draws and all, and sends nothing to WebGL).
EMSCRIPTEN_KEEPALIVE void webHookStep(int clockMs, std::uint32_t position, int draw) {
    hookNowMs = clockMs;
    hookPosition = position;
    setLayerDrawing(draw != 0);
}

// The canvas as the last frame left it, width x height RGBA from the lower
// left; valid until the next call.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* webReadCanvas(int width, int height) {
    static std::vector<std::uint8_t> pixels;
    pixels.resize(std::size_t(width) * std::size_t(height) * 4);
    readCanvas(width, height, pixels.data());
    return pixels.data();
}

}  // extern "C"
