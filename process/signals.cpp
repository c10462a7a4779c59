// Ending on a termination signal. See signals.h.
#include "process/signals.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>

namespace demo {

namespace {

// How long a clean stop may take before the process ends anyway, in seconds.
constexpr unsigned cleanStopSeconds = 1;

volatile std::sig_atomic_t firstSignal = 0;
volatile std::sig_atomic_t deferred = 0;
// While held: whether the first signal came then, and whether the process
// must end at the release (a second signal, a signal before deferring, the
// watchdog).
volatile std::sig_atomic_t holding = 0, heldFirst = 0, heldEnd = 0;

// The scratch paths, each in a place of its own that the handler reads
// without a lock: the path is written before the place is marked in use.
constexpr int scratchPlaces = 16;
struct ScratchPlace {
    std::atomic<bool> used{false};
    bool folder = false;
    char path[PATH_MAX] = {};
};
ScratchPlace scratch[scratchPlaces];
std::mutex scratchLock;  // between threads that register; never in a handler

std::atomic<pid_t> child{-1};

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<pid_t>::is_always_lock_free,
              "read in a signal handler");

}  // namespace

void endWithoutCleanStop(int status) {
    const pid_t running = child.load();
    if (running > 0) kill(running, SIGKILL);
    for (ScratchPlace& place : scratch) {
        if (place.used.load() && !place.folder) unlink(place.path);
    }
    // Folders until none more goes: a parent goes once its children have.
    for (bool removed = true; removed;) {
        removed = false;
        for (ScratchPlace& place : scratch) {
            if (place.used.load() && place.folder && rmdir(place.path) == 0) {
                place.used.store(false);
                removed = true;
            }
        }
    }
    _exit(status);
}

namespace {

[[noreturn]] void endNow(int signal) { endWithoutCleanStop(128 + signal); }

void onTerminationSignal(int signal) {
    if (holding) {
        if (firstSignal != 0 || !deferred) heldEnd = 1;
        if (firstSignal == 0) {
            firstSignal = signal;
            heldFirst = 1;
        }
        return;
    }
    if (!deferred || firstSignal != 0) endNow(firstSignal != 0 ? firstSignal : signal);
    firstSignal = signal;
    alarm(cleanStopSeconds);  // the watchdog: onWatchdog if the stop takes longer
}

void onWatchdog(int) {
    if (holding) {
        heldEnd = 1;
        return;
    }
    endNow(firstSignal);
}

void install(int signal, void (*handler)(int)) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // NOTE: no SA_RESTART: a blocked call returns with EINTR
    sigaction(signal, &action, nullptr);
}

}  // namespace

void catchTerminationSignals() {
    firstSignal = 0;
    deferred = 0;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        install(signal, onTerminationSignal);
    install(SIGALRM, onWatchdog);
    std::signal(SIGXFSZ, SIG_IGN);
}

void deferTerminationSignals() { deferred = 1; }

int terminationSignal() { return firstSignal; }

void holdTerminationSignals() {
    heldFirst = heldEnd = 0;
    holding = 1;
}

void releaseTerminationSignals() {
    holding = 0;
    if (heldEnd) endNow(firstSignal);
    if (heldFirst) alarm(cleanStopSeconds);
}

int registerScratch(const std::string& path, bool folder) {
    if (path.size() >= PATH_MAX) return -1;
    std::lock_guard<std::mutex> hold(scratchLock);
    for (int i = 0; i < scratchPlaces; ++i) {
        ScratchPlace& place = scratch[i];
        if (place.used.load()) continue;
        place.folder = folder;
        std::memcpy(place.path, path.c_str(), path.size() + 1);
        place.used.store(true);
        return i;
    }
    return -1;
}

void forgetScratch(int handle) {
    if (handle < 0 || handle >= scratchPlaces) return;
    std::lock_guard<std::mutex> hold(scratchLock);
    scratch[handle].used.store(false);
}

void registerChild(pid_t running) { child.store(running); }

}  // namespace demo
