// The music of a range written at a rate of its own: the module rendered
// again from its start at that rate by the music layer (not resampled from
// the show's 44100 Hz), after the frames are drawn, for the MP4's 48000 Hz
// sound and a --wav at another --rate. The show itself always follows the
// music at offlineRate (session.h), so the pictures never depend on it.
#pragma once

#include <cstdint>
#include <string>

#include "capture/options.h"

namespace demo {

// Writes to path a WAV at rate Hz of the music from the time of
// options.firstFrame up to that of endFrame (samplesBefore at that rate).
// Fails with a reason in error (the file named as wavName), or with
// "interrupted" when a termination signal arrives.
bool writeSoundtrack(const CaptureOptions& options, std::int64_t endFrame, std::int32_t rate,
                     const std::string& path, const std::string& wavName, std::string& error);

}  // namespace demo
