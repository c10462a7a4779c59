// The X display, as a process sees it. See display.h.
#include "process/display.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "process/process.h"
#include "process/signals.h"

namespace demo {

// Whether the server on display is Xwayland.
static bool isXwayland(Display* display) {
    int opcode = 0, event = 0, error = 0;
    if (XQueryExtension(display, "XWAYLAND", &opcode, &event, &error)) return true;
    if (!XRRQueryExtension(display, &event, &error)) return false;
    XRRScreenResources* screen = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    bool xwayland = false;
    for (int i = 0; screen != nullptr && i < screen->noutput && !xwayland; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, screen, screen->outputs[i]);
        xwayland = output != nullptr && std::strncmp(output->name, "XWAYLAND", 8) == 0;
        if (output != nullptr) XRRFreeOutputInfo(output);
    }
    if (screen != nullptr) XRRFreeScreenResources(screen);
    return xwayland;
}

bool probeDisplay(const char* name, DisplayFacts& facts, std::string& error) {
    facts = DisplayFacts{};
    const char* shown = name != nullptr ? name : std::getenv("DISPLAY");
    const std::string from = name != nullptr ? "-display " : "DISPLAY=";
    if (shown == nullptr || shown[0] == '\0') {
        error =
            "no X display: DISPLAY is not set (run it in a graphical session; on a Wayland "
            "desktop, Xwayland gives one)";
        return false;
    }
    Display* display = XOpenDisplay(shown);
    if (display == nullptr) {
        error = std::string("cannot open the X display ") + shown + " (" + from + shown +
                "): no X server answers there, or it refused the connection";
        return false;
    }
    facts.xwayland = isXwayland(display);
    XCloseDisplay(display);
    return true;
}

// The watch's own connection, for the life of the process.
static Display* watched = nullptr;
static std::atomic<bool> lost{false};

// NOTE: never returns, so Xlib's exit handler after it (XSetIOErrorExitHandler,
// libX11 1.7 on) is never reached either. Called on the thread that found
// the connection broken; a second thread finding it too waits for the first
// to end the process.
static int onDisplayLost(Display* display) {
    if (lost.exchange(true)) {
        for (;;)
            pause();
    }
    printError(std::string("lost the connection to the X display ") + DisplayString(display) +
               " (its X server ended, or the connection to it broke)");
    endWithoutCleanStop(1);
}

static int ignoreDisplayError(Display*, XErrorEvent*) { return 0; }

void quietDisplayErrors() { XSetErrorHandler(ignoreDisplayError); }

void catchDisplayLoss(const char* name) {
    XSetIOErrorHandler(onDisplayLost);
    // A connection of the watch's own, read by a thread that waits for
    // nothing but its end: the capture draws offscreen, and its own
    // connection would not notice the server gone before the run's end.
    if (watched != nullptr) return;
    watched = XOpenDisplay(name);
    if (watched == nullptr) return;
    // The thread keeps the termination signals blocked: they are the main
    // thread's.
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM})
        sigaddset(&blocked, signal);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    std::thread([] {
        XEvent event;
        for (;;)
            XNextEvent(watched, &event);
    }).detach();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace demo
