// The silent music layer for tests. See fake_music.h.
#include "tests/support/fake_music.h"

#include <string>

#include "music/player.h"
#include "tests/support/gl_recorder.h"

namespace fakemusic {

namespace {

std::vector<Call> log;
std::uint32_t position = 0;
int initResult = 1, loadResult = 1;
std::string initError, loadError, lastError;

void record(std::string text) { log.push_back({std::move(text), glrec::callCount()}); }

}  // namespace

const std::vector<Call>& calls() { return log; }

std::vector<std::string> callTexts() {
    std::vector<std::string> texts;
    for (const Call& c : log)
        texts.push_back(c.text);
    return texts;
}

void reset() {
    log.clear();
    position = 0;
    initResult = loadResult = 1;
    initError.clear();
    loadError.clear();
    lastError.clear();
}

void setPosition(std::uint32_t p) { position = p; }

void setInitResult(int result, const char* error) {
    initResult = result;
    initError = error;
}

void setLoadResult(int result, const char* error) {
    loadResult = result;
    loadError = error;
}

}  // namespace fakemusic

using fakemusic::record;

int BASSMOD_Init(int device, std::uint32_t freq, std::uint32_t flags) {
    record("BASSMOD_Init(" + std::to_string(device) + ", " + std::to_string(freq) + ", " +
           std::to_string(flags) + ")");
    if (!fakemusic::initResult) fakemusic::lastError = fakemusic::initError;
    return fakemusic::initResult;
}

int BASSMOD_MusicLoad(int mem, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t flags) {
    std::string name = mem ? "<memory>" : static_cast<const char*>(file);
    record("BASSMOD_MusicLoad(" + std::to_string(mem) + ", \"" + name + "\", " +
           std::to_string(offset) + ", " + std::to_string(length) + ", " + std::to_string(flags) +
           ")");
    if (!fakemusic::loadResult) fakemusic::lastError = fakemusic::loadError;
    return fakemusic::loadResult;
}

int BASSMOD_MusicPlay() {
    record("BASSMOD_MusicPlay()");
    return 1;
}

std::uint32_t BASSMOD_MusicGetPosition() {
    record("BASSMOD_MusicGetPosition()");
    return fakemusic::position;
}

int BASSMOD_MusicStop() {
    record("BASSMOD_MusicStop()");
    return 1;
}

void BASSMOD_MusicFree() { record("BASSMOD_MusicFree()"); }
void BASSMOD_Free() { record("BASSMOD_Free()"); }
const char* musicErrorText() { return fakemusic::lastError.c_str(); }
