// The capture's writer thread. See frame_writer.h.
#include "capture/frame_writer.h"

#include <pthread.h>

#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "capture/image_files.h"
#include "capture/outputs.h"
#include "capture/video.h"

namespace demo {

namespace {

// Buffers in use at most: one being written, one queued, one being read
// into.
constexpr int bufferCount = 3;

struct QueuedFrame {
    int buffer;
    std::int64_t frame;
};

// Written by the drawing thread before the thread starts, read-only after.
const CaptureOptions* writing = nullptr;
std::vector<std::uint8_t> buffers[bufferCount];

// Shared, under lock.
std::mutex lock;
std::condition_variable changed;
std::deque<int> freeBuffers;
std::deque<QueuedFrame> queue;
bool stopping = false, abandoned = false, failed = false;
std::string failure;

// The drawing thread's own.
std::thread writer;
int handedOut = -1;

std::string pngPath(const std::string& folder, std::int64_t frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(frame));
    return folder + name;
}

// Writes one picture under a temporary name and moves it into place.
bool writePicture(const std::string& path, const std::uint8_t* pixels, std::string& error) {
    PendingOutput picture;
    if (!reserveOutput(path, picture, error)) return false;
    if (!writePng(picture.temporaryPath.c_str(), pixels, writing->width, writing->height, error)) {
        error = "cannot write " + path + ": " + error;
        return false;
    }
    return commitOutput(picture, error);
}

bool writeFrame(const QueuedFrame& queued, std::string& error) {
    const std::uint8_t* pixels = buffers[queued.buffer].data();
    if (writing->outputKind == OutputKind::pngFolder)
        return writePicture(pngPath(writing->outputPath, queued.frame), pixels, error);
    return writeVideoFrame(pixels, error);
}

void writeFrames() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        changed.wait(hold, [] { return !queue.empty() || stopping; });
        if (queue.empty() || abandoned) return;
        const QueuedFrame next = queue.front();
        queue.pop_front();
        hold.unlock();
        std::string error;
        const bool written = writeFrame(next, error);
        hold.lock();
        freeBuffers.push_back(next.buffer);
        if (!written) {
            failed = true;
            failure = error;
        }
        changed.notify_all();
        if (failed) return;
    }
}

}  // namespace

int framePixelBytes(const CaptureOptions& options) {
    return options.outputKind == OutputKind::mp4 ? 4 : 3;
}

void startFrameWriter(const CaptureOptions& options) {
    writing = &options;
    const std::size_t bytes =
        std::size_t(options.width) * std::size_t(options.height) * framePixelBytes(options);
    freeBuffers.clear();
    for (int i = 0; i < bufferCount; ++i) {
        buffers[i].assign(bytes, 0);
        freeBuffers.push_back(i);
    }
    queue.clear();
    stopping = abandoned = failed = false;
    failure.clear();
    handedOut = -1;

    // The thread starts with the termination signals blocked, and keeps them.
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        sigaddset(&blocked, signal);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    writer = std::thread(writeFrames);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

std::uint8_t* frameBuffer() {
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [] { return !freeBuffers.empty() || failed; });
    if (failed) return nullptr;
    handedOut = freeBuffers.front();
    freeBuffers.pop_front();
    return buffers[handedOut].data();
}

void queueFrame(std::int64_t frame) {
    std::lock_guard<std::mutex> hold(lock);
    queue.push_back({handedOut, frame});
    handedOut = -1;
    changed.notify_all();
}

bool stopFrameWriter(bool abandon, std::string& error) {
    if (!writer.joinable()) return true;
    {
        std::lock_guard<std::mutex> hold(lock);
        stopping = true;
        abandoned = abandon;
        changed.notify_all();
    }
    // A write blocked on an encoder that stopped reading returns once it is
    // ended.
    if (abandon) interruptVideoEncoder();
    writer.join();
    if (!failed) return true;
    error = failure;
    return false;
}

}  // namespace demo
