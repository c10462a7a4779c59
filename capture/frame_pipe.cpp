// The frames from the GL driver to their files. See frame_pipe.h.
#define GL_GLEXT_PROTOTYPES
#include "capture/frame_pipe.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "capture/image_files.h"
#include "capture/outputs.h"
#include "picture/flash_filter.h"
#include "scenes/frame.h"

namespace demo {

namespace {

bool scaled(const FramePipe& pipe) {
    return pipe.format.width != pictureWidth || pipe.format.height != pictureHeight;
}

GLenum readFormat(const FramePipe& pipe) { return pipe.format.pixelBytes == 4 ? GL_RGBA : GL_RGB; }

// --- the writer thread ----------------------------------------------------------

std::string pngPath(const std::string& folder, std::int64_t frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(frame));
    return folder + name;
}

// Writes one picture under a temporary name and moves it into place.
bool writePicture(const FramePipe& pipe, const std::string& path, const std::uint8_t* pixels,
                  std::string& error) {
    PendingOutput picture;
    if (!reserveOutput(path, picture, error)) return false;
    if (!writePng(picture.temporaryPath.c_str(), pixels, pipe.format.width, pipe.format.height,
                  error)) {
        error = "cannot write " + path + ": " + error;
        discardOutput(picture);
        return false;
    }
    if (commitOutputs({&picture}, error)) return true;
    discardOutput(picture);
    return false;
}

bool writeFrame(FramePipe& pipe, int buffer, std::int64_t frame, std::string& error) {
    const std::uint8_t* pixels = pipe.buffers[buffer].data();
    if (pipe.options->outputKind == OutputKind::pngFolder)
        return writePicture(pipe, pngPath(pipe.options->outputPath, frame), pixels, error);
    return writeVideoFrame(*pipe.encoder, pixels, error);
}

void writeFrames(FramePipe* pipe) {
    FramePipe& p = *pipe;
    std::unique_lock<std::mutex> hold(p.lock);
    for (;;) {
        p.changed.wait(hold, [&] { return !p.queue.empty() || p.stopping; });
        if (p.queue.empty() || p.abandoned) return;
        const std::pair<int, std::int64_t> next = p.queue.front();
        p.queue.pop_front();
        hold.unlock();
        std::string error;
        const bool written = writeFrame(p, next.first, next.second, error);
        hold.lock();
        p.freeBuffers.push_back(next.first);
        if (!written) {
            p.failed = true;
            p.failure = error;
        }
        p.changed.notify_all();
        if (p.failed) return;
    }
}

void startWriter(FramePipe& p) {
    for (int i = 0; i < FramePipe::bufferCount; ++i) {
        p.buffers[i].assign(p.format.bytes, 0);
        p.freeBuffers.push_back(i);
    }
    // The thread starts with the termination signals blocked, and keeps them.
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        sigaddset(&blocked, signal);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    p.writer = std::thread(writeFrames, &p);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// A buffer for the next frame, waiting while the writer holds them all;
// nullptr once a write has failed.
std::uint8_t* freeBuffer(FramePipe& p) {
    std::unique_lock<std::mutex> hold(p.lock);
    p.changed.wait(hold, [&] { return !p.freeBuffers.empty() || p.failed; });
    if (p.failed) return nullptr;
    p.handedOut = p.freeBuffers.front();
    p.freeBuffers.pop_front();
    return p.buffers[p.handedOut].data();
}

// Waits until every queued frame is written (or, with abandon, stops at
// once), and ends the thread. False with the first write's error.
bool stopWriter(FramePipe& p, bool abandon, std::string& error) {
    if (!p.writer.joinable()) return true;
    {
        std::lock_guard<std::mutex> hold(p.lock);
        p.stopping = true;
        p.abandoned = abandon;
        p.changed.notify_all();
    }
    // A write blocked on an encoder that stopped reading returns once it is
    // ended.
    if (abandon && p.encoder != nullptr) interruptVideoEncoder(*p.encoder);
    p.writer.join();
    if (!p.failed) return true;
    error = p.failure;
    return false;
}

// --- the read-back ----------------------------------------------------------------

int framesBeingRead(const FramePipe& p) { return (p.readFrames[0] >= 0) + (p.readFrames[1] >= 0); }

// Copies the oldest frame asked for into pixels; returns its number, or -1
// when the driver could not hand it over.
std::int64_t finishFrameRead(FramePipe& p, std::uint8_t* pixels) {
    // The oldest: the one after the next to be used, when it holds a frame.
    const int oldest =
        p.readFrames[p.nextReadBuffer] >= 0 ? p.nextReadBuffer : 1 - p.nextReadBuffer;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, p.readBuffers[oldest]);
    std::int64_t frame = p.readFrames[oldest];
    p.readFrames[oldest] = -1;
    if (const void* mapped = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY)) {
        std::memcpy(pixels, mapped, p.format.bytes);
        if (glUnmapBuffer(GL_PIXEL_PACK_BUFFER) != GL_TRUE) frame = -1;  // the copy may be damaged
    } else {
        frame = -1;
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    return frame;
}

// Hands the frames read back to the writer until at most keep are still
// being read; false with the writer's error once a write has failed.
bool passFramesOn(FramePipe& p, int keep, std::string& error) {
    while (framesBeingRead(p) > keep) {
        std::uint8_t* pixels = freeBuffer(p);
        if (pixels == nullptr) {
            stopWriter(p, false, error);
            return false;
        }
        const std::int64_t frame = finishFrameRead(p, pixels);
        if (frame < 0) {
            error = "the GL driver could not hand over a frame it drew";
            return false;
        }
        std::lock_guard<std::mutex> hold(p.lock);
        p.queue.push_back({p.handedOut, frame});
        p.handedOut = -1;
        p.changed.notify_all();
    }
    return true;
}

}  // namespace

bool openFramePipe(FramePipe& p, const CaptureOptions& options, const FrameFormat& format,
                   VideoEncoder* encoder, std::string& error) {
    p.options = &options;
    p.format = format;
    p.encoder = encoder;
    p.open = true;
    if (scaled(p) && !makeOffscreenTarget(p.output, p.format.width, p.format.height, false)) {
        error = "the GL driver cannot make a " + std::to_string(p.format.width) + "x" +
                std::to_string(p.format.height) + " offscreen framebuffer";
        return false;
    }
    // The picture target last: it stays bound.
    if (!openPictureTarget(error)) return false;
    if (options.reduceFlashing && !openFlashFilter(error)) return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGenBuffers(2, p.readBuffers);
    for (GLuint buffer : p.readBuffers) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(p.format.bytes), nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    if (options.outputKind != OutputKind::none) startWriter(p);
    return true;
}

bool sendFrame(FramePipe& p, std::int64_t frame, std::string& error) {
    if (scaled(p)) scalePicture(p.output.framebuffer, p.format.width, p.format.height);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, p.readBuffers[p.nextReadBuffer]);
    glReadPixels(0, 0, p.format.width, p.format.height, readFormat(p), GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    p.readFrames[p.nextReadBuffer] = frame;
    p.nextReadBuffer = 1 - p.nextReadBuffer;
    return passFramesOn(p, 1, error);
}

bool flushFramePipe(FramePipe& p, std::string& error) { return passFramesOn(p, 0, error); }

bool closeFramePipe(FramePipe& p, bool abandon, std::string& error) {
    if (!p.open) return true;
    const bool ok = stopWriter(p, abandon, error);
    glDeleteBuffers(2, p.readBuffers);
    closePictureTarget();
    releaseOffscreenTarget(p.output);
    p.open = false;
    return ok;
}

}  // namespace demo
