// The desktop program: start-up, window callbacks and quitting.
#include "desktop/startup.h"

#include <GL/glut.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "font/font.h"
#include "scenes/frame.h"
#include "music/player.h"
#include "process/data_folder.h"
#include "picture/picture_target.h"
#include "show/sequencer.h"
#include "show/show_facts.h"
#include "show/show_music.h"

namespace demo {

namespace {

// Set by SIGINT and SIGTERM; start-up checks it between its steps and the
// next idle callback quits.
volatile std::sig_atomic_t quitRequested = 0;
// Set just before the screen mode may be switched: from then on a signal only
// sets quitRequested, so that the quit steps give the screen back. Before, a
// signal ends the process at once, whatever start-up is waiting for (an X
// server that never answers, say).
volatile std::sig_atomic_t screenMayBeSwitched = 0;
// Whether the screen mode was switched for us and must be given back.
bool inGameMode = false;
// Whether a frame was put on screen since the last idle call.
bool framePresented = false;
// How long the idle call waits while GLUT draws nothing, in milliseconds.
constexpr int hiddenPollMs = 10;
// Where it was not: frames are drawn into the picture target and scaled onto
// a full-screen window of this size.
bool scaledToWindow = false;
int windowWidth = 0, windowHeight = 0;

void onTerminationSignal(int) {
    if (!screenMayBeSwitched) _exit(0);
    quitRequested = 1;
}

// The termination signals, without SA_RESTART: a call blocked in start-up
// returns instead of waiting on.
void catchTerminationSignals() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// Ends start-up through the quit steps when a termination signal came.
void quitIfRequested() {
    if (quitRequested) quitDemo(0);
}

// demo --help and demo --version: the show takes no options, and says so.
// Any other argument is GLUT's or ignored.
bool answeredQuestion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::printf(
                "Usage: demo\n"
                "Plays the show full screen with its music and ends by itself after about a "
                "minute\nand a half. It takes no options. Any key that types a character ends "
                "it at once.\nIt reads fontpre.tga and demosong.it from its data folder.\n");
            return true;
        }
        if (argument == "--version") {
            std::printf("boxdemo %s\n", DEMO_VERSION);
            return true;
        }
    }
    return false;
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
        std::fprintf(stderr, "demo: %s\n", error.c_str());
        failStartup();
    }
    scaledToWindow = true;
}

// Opens the 640x480 screen: game mode where the screen can switch to it, the
// picture scaled onto a full-screen window where it cannot.
void openScreen() {
    glutGameModeString("640x480:32");
    if (glutGameModeGet(GLUT_GAME_MODE_WIDTH) == -1) {
        std::printf(
            "To run this you must be able to run 640x480 16bit mode\n"
            "(in other words your computer sucks)\n");
        std::exit(1);
    }
    // NOTE: GLUT answers the width query even where the screen cannot switch
    // (a nested or virtual X server); entering then fails. Ask whether the
    // switch is possible first, so that GLUT does not warn on its own, and
    // trust only an active game mode.
    inGameMode = false;
    scaledToWindow = false;
    if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
        screenMayBeSwitched = 1;
        glutEnterGameMode();
        inGameMode = glutGameModeGet(GLUT_GAME_MODE_ACTIVE) != 0;
    }
    if (!inGameMode) {
        openScaledWindow();
        std::fprintf(stderr,
                     "demo: the screen cannot switch to 640x480; playing full screen, scaled\n");
    }
}

// The full-screen window's present: the picture scaled onto the window, the
// swap, and the picture target bound again for the next frame.
void presentScaledFrame() {
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

// The quit steps: stop and free the music, shut the music layer down, give
// the screen back to the desktop, exit with status 0.
[[noreturn]] void quitShow() {
    BASSMOD_MusicStop();
    BASSMOD_MusicFree();
    BASSMOD_Free();
    leaveScreen();
    std::exit(0);
}

}  // namespace

const Platform desktopPlatform = {glutClockMs, BASSMOD_MusicGetPosition, presentDesktopFrame,
                                  quitShow};

int runDemo(int argc, char** argv) {
    if (answeredQuestion(argc, argv)) return std::fflush(stdout) == 0 ? 0 : 1;
    screenMayBeSwitched = 0;
    quitRequested = 0;
    catchTerminationSignals();
    enterInstalledDataFolder();
    usePlatform(desktopPlatform);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    openScreen();
    screenMayBeSwitched = 1;
    quitIfRequested();
    glutDisplayFunc(displayFrame);
    glutReshapeFunc(onReshape);
    glutIdleFunc(onIdle);
    glutKeyboardFunc(onKey);

    // Fixed state every frame relies on.
    glutSetCursor(GLUT_CURSOR_NONE);
    glShadeModel(GL_FLAT);
    glEnable(GL_CULL_FACE);

    // The font first, so that the music and the first scene's clock start
    // only when everything is ready.
    std::string problem;
    if (!loadFont(problem)) {
        std::fprintf(stderr, "demo: %s: %s\n", fontFileName, problem.c_str());
        failStartup();
    }
    quitIfRequested();
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
    if (!BASSMOD_Init(-1, musicRate, 0)) {
        std::fprintf(stderr,
                     "demo: cannot open the audio device: %s (SDL_AUDIODRIVER=dummy plays the "
                     "show without sound)\n",
                     musicErrorText());
        failStartup();
    }
    if (!BASSMOD_MusicLoad(0, songFileName, 0, 0, musicLoadFlags)) {
        std::fprintf(stderr, "demo: cannot load %s: %s\n", songFileName, musicErrorText());
        BASSMOD_Free();
        failStartup();
    }
    BASSMOD_MusicPlay();
    startShow();
}

void failStartup() {
    leaveScreen();
    std::exit(1);
}

}  // namespace demo
