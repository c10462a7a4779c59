// The web page's shell: the show's platform in a browser, and the calls the
// page (page.js) makes into the program.
//
// The page owns the loop and the show's clock: it calls webFrame from
// requestAnimationFrame while the show plays, with the clock's reading (the
// clock stops while the show is paused), passes on the song's end and shows
// its end screen when the show has ended. The show itself runs exactly as on
// the desktop: startShow, then displayFrame once a frame, with this platform
// behind it:
//   clock     the page's show clock, in milliseconds;
//   music     the song player's position (web/music.cpp);
//   present   the 640x480 picture scaled onto the canvas (gl_layer.h);
//   end       the music stopped and freed, the page told.
//
// Seeking: the show's state between two frames is one value (a Moment: the
// core's ShowState and the layer's GL state). The show played at seekFps
// from the top (web/song_frames.h: the clock and the song's position at each
// frame, as the capture plays it) is saved at a checkpoint every
// checkpointFrames frames, built a few frames at a time while the page is
// idle (webBuildCheckpoints). A seek to frame n restores the nearest
// checkpoint at or before n, runs the frames up to n without drawing (the
// show's code, rand() draws and all, nothing sent to WebGL) and draws frame
// n: the capture's frame n, for at most checkpointFrames - 1 undrawn frames.
//
// Test hook: webHookStart starts the show without music on a clock and music
// positions the caller gives for each frame (webHookStep), so that a test can
// replay exactly the frames another program drew.
#include <GL/gl.h>
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
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
#include "web/song_frames.h"
#include "web/webgl_device.h"

EM_JS(void, tellPageShowEnded, (), { Module.onShowEnded(); });

namespace demo {

namespace {

constexpr int checkpointFrames = 15;

// The show between two frames: all a checkpoint holds.
struct Moment {
    ShowState show;
    LayerGlState gl;
};

Moment saveMoment() { return {saveShow(), layerGlState()}; }

void restoreMoment(const Moment& moment) {
    restoreShow(moment.show);
    restoreLayerGlState(moment.gl);
}

// The shell: what the page has opened, the show's clock and music as the
// platform reads them, and the seeking's frames and checkpoints.
struct Shell {
    std::string problem;  // why the last call failed, for the page's sentence
    bool audioOpen = false;
    bool running = false;  // a show has started and not ended
    int clockMs = 0;       // the show's clock, as last given
    // The music position given instead of the song player's (the tests'
    // hook, and frames run at seekFps), and that position.
    bool positionGiven = false;
    std::uint32_t position = 0;
    bool stepping = false;  // running frames to reach a moment: the show cannot end

    std::vector<std::uint32_t> songFrames;  // the song's position at each frame
    std::vector<Moment> checkpoints;        // checkpoint k: before frame k * checkpointFrames
    Moment builder = {};                    // the checkpoints' builder, before builderFrame
    int builderFrame = -1;                  // -1: not started
};
Shell shell;

int pageClockMs() { return shell.clockMs; }

std::uint32_t songPosition() {
    return shell.positionGiven ? shell.position : BASSMOD_MusicGetPosition();
}

void endPageShow() {
    if (!shell.running || shell.stepping) return;
    shell.running = false;
    BASSMOD_MusicStop();
    BASSMOD_MusicFree();
    tellPageShowEnded();
}

const Platform webPlatform = {pageClockMs, songPosition, presentLayer, endPageShow};

// The show's frames at seekFps: the quit order's frame ends it.
int showFrames() { return std::max(0, int(shell.songFrames.size()) - 1); }

// Frame n of the show at seekFps, on its clock and song position, drawn or
// not.
void runFrame(int frame, bool draw) {
    shell.clockMs = seekFrameClockMs(frame);
    shell.position = shell.songFrames[std::size_t(frame)];
    setLayerDrawing(draw);
    displayFrame();
}

// Runs frames from to to - 1 undrawn from the show as it stands before frame
// from, keeping the checkpoints it passes that are not kept yet.
void runUndrawn(int from, int to) {
    for (int frame = from; frame < to; ++frame) {
        if (frame % checkpointFrames == 0 &&
            frame / checkpointFrames == int(shell.checkpoints.size()))
            shell.checkpoints.push_back(saveMoment());
        runFrame(frame, false);
    }
}

// The show from the top, before frame 0, on the seekFps clock.
void startAtFrameZero() {
    shell.clockMs = 0;
    startShow();
}

// Brings the show to just before frame, from the nearest checkpoint.
void reachFrame(int frame) {
    const int kept = std::min(frame / checkpointFrames, int(shell.checkpoints.size()) - 1);
    if (kept < 0) {
        startAtFrameZero();
    } else {
        restoreMoment(shell.checkpoints[std::size_t(kept)]);
    }
    runUndrawn(std::max(kept, 0) * checkpointFrames, frame);
    // a seek may have gone past the builder: it goes on from there
    const int lastKept = (int(shell.checkpoints.size()) - 1) * checkpointFrames;
    if (lastKept > shell.builderFrame) {
        shell.builder = shell.checkpoints.back();
        shell.builderFrame = lastKept;
    }
}

// Runs body on the seekFps clock and song frames with the show's own state
// put back afterwards: the clock, the music and the drawing as they were.
template <typename Body>
void asStepping(Body body) {
    const bool positionGiven = shell.positionGiven;
    shell.positionGiven = true;
    shell.stepping = true;
    body();
    shell.stepping = false;
    shell.positionGiven = positionGiven;
    setLayerDrawing(true);
}

}  // namespace

}  // namespace demo

using namespace demo;

extern "C" {

// Why the last call that returned 0 failed.
EMSCRIPTEN_KEEPALIVE const char* webProblem() { return shell.problem.c_str(); }

// Opens the canvas #show and sets the GL state the show starts from, as the
// desktop's start-up does. 0 when the browser has no WebGL2.
EMSCRIPTEN_KEEPALIVE int webOpen() {
    usePlatform(webPlatform);
    if (!openLayer("#show", shell.problem)) return 0;
    setStartGlState();
    return 1;
}

// Reads the font image the page has put in the file system. 0 when it is not
// a font image, with what is wrong with it.
EMSCRIPTEN_KEEPALIVE int webLoadFont() {
    return readFontImage(fontFileName, shell.problem) ? 1 : 0;
}

// Reads the song's frames the page has put in the file system. 0 when they
// are not song frames, with what is wrong with them.
EMSCRIPTEN_KEEPALIVE int webLoadSongFrames() {
    std::ifstream file(songFramesFileName, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file),
                                           std::istreambuf_iterator<char>()};
    shell.songFrames.clear();
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        shell.songFrames.push_back(std::uint32_t(bytes[i]) | std::uint32_t(bytes[i + 1]) << 8 |
                                   std::uint32_t(bytes[i + 2]) << 16 |
                                   std::uint32_t(bytes[i + 3]) << 24);
    }
    if (bytes.size() % 4 != 0 || shell.songFrames.size() < 2 ||
        MusicPosition::unpack(shell.songFrames.back()).order < quitOrder) {
        shell.problem = "is not a list of the song's frames (" + std::to_string(bytes.size()) +
                        " bytes, not ending at order " + std::to_string(quitOrder) + ")";
        shell.songFrames.clear();
        return 0;
    }
    return 1;
}

// The frames a second seeks land on.
EMSCRIPTEN_KEEPALIVE int webSeekFps() { return seekFps; }

// The show's length in frames at seekFps (its frames are 0 to this - 1).
EMSCRIPTEN_KEEPALIVE int webShowFrames() { return showFrames(); }

// The frame at which scene row starts (row 0 to 5) at seekFps.
EMSCRIPTEN_KEEPALIVE int webSceneStartFrame(int row) {
    if (row <= 0) return 0;
    const std::uint32_t order = sceneTable[row - 1].endOrder;
    for (int frame = 0; frame < showFrames(); ++frame)
        if (MusicPosition::unpack(shell.songFrames[std::size_t(frame)]).order >= order)
            return frame;
    return showFrames();
}

// The name of scene row (0 to 5), "cube-cluster" and so on.
EMSCRIPTEN_KEEPALIVE const char* webSceneName(int row) {
    return row >= 0 && row < scenesShown ? sceneTable[row].name : "";
}

// The song's position at frame (order | row << 16).
EMSCRIPTEN_KEEPALIVE std::uint32_t webFramePosition(int frame) {
    return shell.songFrames[std::size_t(std::clamp(frame, 0, showFrames()))];
}

// Starts the show from the top with its music, the clock at 0. 0 when the
// music cannot play.
EMSCRIPTEN_KEEPALIVE int webStart() {
    shell.positionGiven = false;
    if (!shell.audioOpen && !BASSMOD_Init(-1, musicRate, 0)) {
        shell.problem = std::string("cannot open the audio device: ") + musicErrorText();
        return 0;
    }
    shell.audioOpen = true;
    // NOTE: played once, not looped: the song's end then ends the show even
    // when no frames were drawn to see the quit order (a hidden tab draws
    // none).
    if (!BASSMOD_MusicLoad(0, songFileName, 0, 0, musicLoadFlags & ~BASS_MUSIC_LOOP)) {
        shell.problem = std::string("cannot load ") + songFileName + ": " + musicErrorText();
        return 0;
    }
    BASSMOD_MusicPlay();
    shell.clockMs = 0;
    startShow();
    restartReducedFlashing();  // a new start, not a blend from the last one's end
    shell.running = true;
    return 1;
}

// One frame of the show at clockMs onto the canvas of width x height device
// pixels. Returns 1 while the show runs, 0 once it has ended.
EMSCRIPTEN_KEEPALIVE int webFrame(int width, int height, int clockMs) {
    if (!shell.running) return 0;
    shell.clockMs = clockMs;
    setLayerCanvasSize(width, height);
    displayFrame();  // at the quit row the platform's end stops the music
    return shell.running && !showOver() ? 1 : 0;
}

// The last frame's picture again, onto a canvas of width x height device
// pixels (resized while the show is paused).
EMSCRIPTEN_KEEPALIVE void webFrameAgain(int width, int height) {
    setLayerCanvasSize(width, height);
    presentLayer();
}

// Brings the running show to frame (at seekFps; clamped to the show) and
// draws it onto the canvas of width x height device pixels: the same state
// and picture as the show played from the top at seekFps has there. The
// show's clock then reads seekFrameClockMs(frame).
EMSCRIPTEN_KEEPALIVE void webSeek(int frame, int width, int height) {
    if (!shell.running || showFrames() == 0) return;
    frame = std::clamp(frame, 0, showFrames() - 1);
    asStepping([frame, width, height] {
        reachFrame(frame);
        setLayerCanvasSize(width, height);
        restartReducedFlashing();
        runFrame(frame, true);
    });
}

// Builds checkpoints for at most frames more frames, leaving the show's own
// state as it was. Returns 1 while some are still to build, 0 once all are.
EMSCRIPTEN_KEEPALIVE int webBuildCheckpoints(int frames) {
    const int last = showFrames() - 1;
    if (last < 0 || shell.builderFrame >= last) return 0;
    const Moment live = saveMoment();
    const int liveClockMs = shell.clockMs;
    asStepping([frames, last] {
        if (shell.builderFrame < 0) {
            startAtFrameZero();
            shell.builderFrame = 0;
        } else {
            restoreMoment(shell.builder);
        }
        const int to = std::min(shell.builderFrame + frames, last);
        runUndrawn(shell.builderFrame, to);
        shell.builder = saveMoment();
        shell.builderFrame = to;
    });
    restoreMoment(live);
    shell.clockMs = liveClockMs;
    return shell.builderFrame < last ? 1 : 0;
}

// Whether every checkpoint is built.
EMSCRIPTEN_KEEPALIVE int webCheckpointsBuilt() {
    return shell.builderFrame >= showFrames() - 1 ? 1 : 0;
}

// Ends the show (the viewer's Escape outside full screen).
EMSCRIPTEN_KEEPALIVE void webEnd() {
    if (shell.running) quitDemo(0);
}

// Reduced flashing on (1) or off (0) from the next frame: the page's "Play
// with reduced flashing" and its switch during the show.
EMSCRIPTEN_KEEPALIVE void webReduceFlashing(int on) { setReducedFlashing(on != 0); }

// The song has ended (or failed): so has the show.
EMSCRIPTEN_KEEPALIVE void webSongEnded() { endPageShow(); }

// The scene row the show is at: 0 to 5 for the scenes, 6 once it has quit.
EMSCRIPTEN_KEEPALIVE int webSceneRow() { return sequencer().sceneIndex; }

// ---- test hook ----

// Starts the show from the top, without music, at clock clockMs.
EMSCRIPTEN_KEEPALIVE void webHookStart(int clockMs) {
    shell.positionGiven = true;
    shell.clockMs = clockMs;
    startShow();
    shell.running = true;
}

// Sets the music position (order | row << 16) for the next frame, and
// whether it is drawn (an undrawn frame runs the show's code, rand() draws
// and all, and sends nothing to WebGL).
EMSCRIPTEN_KEEPALIVE void webHookStep(std::uint32_t position, int draw) {
    shell.position = position;
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
