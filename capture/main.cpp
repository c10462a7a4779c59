// The capture program's entry point: the show rendered offline to pictures,
// a WAV file or an MP4 video. `demo-capture --help` lists the options.
#include <cstdio>
#include <string>

#include "capture/capture.h"
#include "capture/options.h"
#include "shell/data_folder.h"

int main(int argc, char** argv) {
    demo::CaptureOptions options;
    // Installed, the default inputs are the installed data files; outputs
    // stay relative to the working directory.
    const std::string data = demo::installedDataFolder();
    if (!data.empty()) {
        options.modulePath = data + "/demosong.it";
        options.fontPath = data + "/fontpre.tga";
    }
    std::string error;
    switch (demo::parseCaptureOptions(argc, argv, options, error)) {
        case demo::ParseResult::help:
            std::fputs(demo::captureUsage(), stdout);
            return 0;
        case demo::ParseResult::error:
            std::fprintf(stderr, "demo-capture: %s\n", error.c_str());
            return 2;
        case demo::ParseResult::run:
            break;
    }
    return demo::runCapture(options);
}
