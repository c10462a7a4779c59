// A stand-in for the music layer (music/player.h) that plays nothing: tests
// set the position it reports and the results of Init and Load, and read back
// the calls made, each with the number of GL calls made before it so that the
// order of music and GL calls can be checked too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fakemusic {

struct Call {
    std::string text;  // "BASSMOD_Init(-1, 44100, 0)"
    std::size_t glCallsBefore;
};

const std::vector<Call>& calls();
std::vector<std::string> callTexts();
void reset();  // no calls, position 0, Init and Load succeed
void setPosition(std::uint32_t position);
void setInitResult(int result, const char* error = "");
void setLoadResult(int result, const char* error = "");

}  // namespace fakemusic
