// Placeholder until the music layer is written: every call fails.
#include "music/player.h"

int BASSMOD_Init(int, std::uint32_t, std::uint32_t) {
    return 0;
}
int BASSMOD_MusicLoad(int, const void*, std::uint32_t, std::uint32_t, std::uint32_t) {
    return 0;
}
int BASSMOD_MusicPlay() {
    return 0;
}
std::uint32_t BASSMOD_MusicGetPosition() {
    return 0xFFFFFFFFu;
}
int BASSMOD_MusicStop() {
    return 0;
}
void BASSMOD_MusicFree() {}
void BASSMOD_Free() {}
const char* musicErrorText() {
    return "the music layer is not built yet";
}
