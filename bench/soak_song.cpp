// The soak run's module. See soak_song.h.
#include "bench/soak_song.h"

#include "assets/song/song.h"

namespace bench {

demo::Module composeSoakSong() {
    return demo::composeToneModule({"soak", soakOrders, 64, 3, 107, 8000.0, 48});
}

}  // namespace bench
