// The desktop program: start-up, window callbacks and quitting.
#include "desktop/desktop_shell.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "font/font.h"
#include "music/player.h"
#include "picture/flash_filter.h"
#include "picture/picture_target.h"
#include "process/data_folder.h"
#include "process/display.h"
#include "process/process.h"
#include "process/signals.h"
#include "scenes/frame.h"
#include "show/sequencer.h"
#include "show/show_facts.h"
#include "show/show_music.h"

namespace demo {

namespace {

// Whether the screen mode was switched for us and must be given back.
bool inGameMode = false;
// Whether a frame was put on screen since the last idle call.
bool framePresented = false;
// How long the idle call waits while GLUT draws nothing, in milliseconds.
constexpr int hiddenPollMs = 10;
// Whether the X server is Xwayland, where the screen is never switched.
bool onXwayland = false;
// Where it was not: frames are drawn into the picture target and scaled onto
// a full-screen window of this size.
bool scaledToWindow = false;
int windowWidth = 0, windowHeight = 0;
// --reduce-flashing: every frame drawn into the picture target and shown
// through the reduced-flashing filter (picture/flash_filter.h), in game mode
// too.
bool reduceFlashing = false;

// demo --help and demo --version. Any other argument is GLUT's, ours
// (--reduce-flashing) or ignored. Returns the exit status when one was
// answered, -1 otherwise.
int answerQuestion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool help = argument == "--help" || argument == "-h";
        if (!help && argument != "--version") continue;
        if (help)
            return printAnswer(
                std::string("Usage: ") + programName() +
                    " [--reduce-flashing]\nPlays the show full screen with its music and ends by "
                    "itself after about a minute\nand a half. Any key that types a character ends "
                    "it at once.\n  --reduce-flashing  the show through a filter that keeps it "
                    "to two flashes a\n                     second or fewer, for viewers who must "
                    "avoid flashing\nIt reads fontpre.tga and demosong.it from its data folder.\n",
                "help");
        return printAnswer(std::string("boxdemo ") + DEMO_VERSION + "\n", "version");
    }
    return -1;
}

int glutClockMs() { return glutGet(GLUT_ELAPSED_TIME); }

// Gives the screen back to the desktop: leaving game mode restores the mode
// the desktop had, which X11 would otherwise keep after the process ends.
void leaveScreen() {
    if (inGameMode) {
        inGameMode = false;
        glutLeaveGameMode();
    }
}

// The quit steps: stop and free the music, shut the music layer down, give
// the screen back to the desktop, exit with status.
[[noreturn]] void quitShow(int status) {
    BASSMOD_MusicStop();
    BASSMOD_MusicFree();
    BASSMOD_Free();
    leaveScreen();
    std::exit(status);
}

// The end of the show through the platform: the quit row was reached.
void endDesktopShow() { quitShow(0); }

// Ends the show through the quit steps when a termination signal came, with
// 128 + its number.
void quitIfRequested() {
    if (terminationSignal() != 0) quitShow(128 + terminationSignal());
}

// A start-up failure before the screen was touched: one line, status 1.
[[noreturn]] void failBeforeScreen(const std::string& message) {
    printError(message);
    std::exit(1);
}

// The files and the sound, before anything is shown: the font read, the
// audio device opened and the song loaded. On failure says why and exits
// with status 1.
void prepareShow() {
    std::string problem;
    if (!loadFont(problem))
        failBeforeScreen(std::string(fontFileName) + ": " + dataFileProblem(problem));
    if (!BASSMOD_Init(-1, musicRate, 0)) {
        failBeforeScreen(std::string("cannot open the audio device: ") + musicErrorText() +
                         " (SDL_AUDIODRIVER=dummy plays the show without sound)");
    }
    if (!BASSMOD_MusicLoad(0, songFileName, 0, 0, musicLoadFlags)) {
        const std::string why = dataFileProblem(musicErrorText());
        BASSMOD_Free();
        failBeforeScreen(std::string("cannot load ") + songFileName + ": " + why);
    }
}

// GLUT's fatal errors (the GL driver cannot be loaded or make a context):
// our own line instead of the driver's, GLUT's and Xlib's, then the way out
// of a start-up that fails.
void onGlutError(const char* format, va_list arguments) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    quietDisplayErrors();
    printError(std::string("cannot open the screen: ") + text + memoryLimitNote());
    failStartup();
}

// The display GLUT will open: its -display argument's, else DISPLAY's
// (null).
const char* displayArgument(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0) return argv[i + 1];
    }
    return nullptr;
}

// The X display, before GLUT opens it: one line of our own when there is
// none, and whether it is Xwayland's. From here on a lost connection ends
// the show with a line of its own too.
void checkDisplay(int argc, char** argv) {
    DisplayFacts facts;
    std::string problem;
    const char* display = displayArgument(argc, argv);
    if (!probeDisplay(display, facts, problem)) {
        BASSMOD_Free();
        failBeforeScreen(problem);
    }
    onXwayland = facts.xwayland;
    catchDisplayLoss(display);
}

// The full-screen window where the screen cannot switch: borderless and of
// the screen's size, with the picture target bound for the first frame. The
// window only ever receives the scaled picture, so it has no depth buffer.
// NOTE: with no window manager, freeglut's full-screen request moves the
// window to minus its position; a window at (0, 0) stays there. Where no
// window manager honours the request, the window already covers the screen.
void openScaledWindow() {
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    const int screenWidth = glutGet(GLUT_SCREEN_WIDTH);
    const int screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(screenWidth, screenHeight);
    glutCreateWindow("boxdemo");
    glutFullScreen();
    std::string error;
    if (!openPictureTarget(error)) {
        printError(error);
        failStartup();
    }
    scaledToWindow = true;
}

// With --reduce-flashing: frames go through the picture target in game mode
// too, and the filter is made; a driver that cannot make it ends start-up
// rather than show the show unfiltered.
void openFilteredPicture() {
    std::string error;
    if (!scaledToWindow && !openPictureTarget(error)) {
        printError(error);
        failStartup();
    }
    scaledToWindow = true;
    if (!openFlashFilter(error)) {
        printError(error);
        failStartup();
    }
    bindPictureTarget();
}

// Opens the 640x480 screen: game mode where the screen can switch to it, the
// picture scaled onto a full-screen window where it cannot.
void openScreen() {
    glutGameModeString("640x480:32");
    if (glutGameModeGet(GLUT_GAME_MODE_WIDTH) == -1) {
        std::printf(
            "To run this you must be able to run 640x480 16bit mode\n"
            "(in other words your computer sucks)\n");
        failStartup();
    }
    // NOTE: GLUT answers the width query even where the screen cannot switch
    // (a nested or virtual X server); entering then fails. Ask whether the
    // switch is possible first, so that GLUT does not warn on its own, and
    // trust only an active game mode.
    inGameMode = false;
    scaledToWindow = false;
    // From here on a signal asks for the quit steps, which give the screen
    // back; until here it ended start-up at once, whatever it waited for (an
    // X server that never answers, say).
    deferTerminationSignals();
    // NOTE: Xwayland's modes are an emulation that the compositor scales
    // anyway, and switching them has crashed such a server (and every X
    // program of the session with it): there the show never asks.
    if (!onXwayland && glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
        glutEnterGameMode();
        inGameMode = glutGameModeGet(GLUT_GAME_MODE_ACTIVE) != 0;
    }
    if (!inGameMode) {
        openScaledWindow();
        printError(onXwayland ? "the X server is Xwayland, whose screen modes are only emulated; "
                                "playing full screen, scaled"
                              : "the screen cannot switch to 640x480; playing full screen, scaled");
    }
    if (reduceFlashing) openFilteredPicture();
}

// The full-screen window's present: the picture scaled onto the window, the
// swap, and the picture target bound again for the next frame.
void presentScaledFrame() {
    if (reduceFlashing) filterPicture(glutClockMs());
    scalePicture(0, windowWidth, windowHeight);
    glutSwapBuffers();
    bindPictureTarget();
}

void presentDesktopFrame() {
    if (scaledToWindow)
        presentScaledFrame();
    else
        glutSwapBuffers();
    framePresented = true;
}

}  // namespace

const Platform desktopPlatform = {glutClockMs, BASSMOD_MusicGetPosition, presentDesktopFrame,
                                  endDesktopShow};

int runDemo(int argc, char** argv) {
    const int answered = answerQuestion(argc, argv);
    if (answered >= 0) return answered;
    reduceFlashing = false;
    for (int i = 1; i < argc; ++i)
        reduceFlashing = reduceFlashing || std::string(argv[i]) == "--reduce-flashing";
    catchTerminationSignals();
    enterInstalledDataFolder();
    usePlatform(desktopPlatform);
    prepareShow();
    checkDisplay(argc, argv);

    // The GL driver's complaints are kept off the screen until it is open:
    // a failure says why in one line (onGlutError).
    glutInitErrorFunc(onGlutError);
    quietStandardError();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    openScreen();
    restoreStandardError();
    quitIfRequested();
    glutDisplayFunc(displayFrame);
    glutReshapeFunc(onReshape);
    glutIdleFunc(onIdle);
    glutKeyboardFunc(onKey);

    // The fixed state every frame relies on; the projection follows the
    // window (onReshape).
    glutSetCursor(GLUT_CURSOR_NONE);
    setFixedGlState();

    // The music and the first scene's clock start when everything is ready.
    startMusic();
    quitIfRequested();
    glutMainLoop();
    return 0;
}

void onReshape(int width, int height) {
    if (!scaledToWindow) {
        setScreenProjection(width, height);
        return;
    }
    // The scenes draw a 640x480 screen whatever the window's size; the scaled
    // picture follows the window.
    windowWidth = width;
    windowHeight = height;
    setScreenProjection(pictureWidth, pictureHeight);
}

void onIdle() {
    quitIfRequested();
    if (!framePresented) {
        // GLUT drew nothing since the last call: the window is unmapped,
        // covered or off screen. The sequencer still follows the music, so
        // the show ends at the quit order, and the loop waits instead of
        // spinning.
        followMusic();
        if (showOver()) quitDemo(0);
        usleep(hiddenPollMs * 1000);
    }
    framePresented = false;
    glutPostRedisplay();
}

void onKey(unsigned char, int, int) { quitDemo(0); }

void startMusic() {
    BASSMOD_MusicPlay();
    startShow();
}

void failStartup() {
    leaveScreen();
    std::exit(1);
}

}  // namespace demo
