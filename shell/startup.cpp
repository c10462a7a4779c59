// The desktop program: start-up, window callbacks and quitting.
#include "shell/startup.h"

#include <GL/glut.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "font/font.h"
#include "scenes/frame.h"
#include "music/player.h"
#include "shell/data_folder.h"
#include "shell/sequencer.h"
#include "shell/show_facts.h"

namespace demo {

namespace {

// Set by SIGINT and SIGTERM; the next idle callback quits.
volatile std::sig_atomic_t quitRequested = 0;
// Whether the screen mode was switched for us and must be given back.
bool inGameMode = false;

void onTerminationSignal(int) { quitRequested = 1; }

int glutClockMs() { return glutGet(GLUT_ELAPSED_TIME); }

// Gives the screen back to the desktop: leaving game mode restores the mode
// the desktop had, which X11 would otherwise keep after the process ends.
void leaveScreen() {
    if (inGameMode) {
        inGameMode = false;
        glutLeaveGameMode();
    }
}

// Opens the 640x480 screen: game mode where the screen can switch to it, a
// window of that size where it cannot.
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
    if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
        glutEnterGameMode();
        inGameMode = glutGameModeGet(GLUT_GAME_MODE_ACTIVE) != 0;
    }
    if (!inGameMode) {
        std::fprintf(stderr,
                     "demo: the screen cannot switch to 640x480; playing in a 640x480 window "
                     "instead\n");
        glutInitWindowSize(pictureWidth, pictureHeight);
        glutCreateWindow("boxdemo");
    }
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

const Platform desktopPlatform = {glutClockMs, BASSMOD_MusicGetPosition, glutSwapBuffers, quitShow};

int runDemo(int argc, char** argv) {
    enterInstalledDataFolder();
    std::signal(SIGINT, onTerminationSignal);
    std::signal(SIGTERM, onTerminationSignal);
    usePlatform(desktopPlatform);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    openScreen();
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
    if (!loadFont()) failStartup();
    startMusic();
    glutMainLoop();
    return 0;
}

void onReshape(int width, int height) { setScreenProjection(width, height); }

void onIdle() {
    if (quitRequested) quitDemo(0);
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
