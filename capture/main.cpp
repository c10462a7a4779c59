// The capture program's entry point: the show rendered offline to pictures,
// a WAV file or an MP4 video. `demo-capture --help` lists the options.
#include <string>
#include <vector>

#include "capture/capture_shell.h"
#include "capture/gl_window.h"
#include "capture/options.h"
#include "capture/outputs.h"
#include "process/data_folder.h"
#include "process/display.h"
#include "process/process.h"
#include "process/signals.h"
#include "font/font.h"
#include "show/show_facts.h"

// The files a run would read and write, as named on the command line.
static bool outputsApart(const demo::CaptureOptions& options, std::string& error) {
    const std::vector<demo::NamedFile> inputs = {{"--module", options.modulePath},
                                                 {"--font", options.fontPath}};
    std::vector<demo::NamedFile> outputs;
    if (options.outputKind != demo::OutputKind::none) outputs.push_back({"-o", options.outputPath});
    if (!options.wavPath.empty()) outputs.push_back({"--wav", options.wavPath});
    if (!options.timelinePath.empty()) outputs.push_back({"--timeline", options.timelinePath});
    return demo::checkOutputsApart(inputs, outputs, error);
}

int main(int argc, char** argv) {
    demo::openStandardStreams();
    demo::setProgramName(argc > 0 ? argv[0] : nullptr, "demo-capture");
    demo::catchTerminationSignals();
    demo::CaptureOptions options;
    // Installed, the default inputs are the installed data files; outputs
    // stay relative to the working directory.
    options.modulePath = demo::defaultDataFile(demo::songFileName);
    options.fontPath = demo::defaultDataFile(demo::fontFileName);
    std::string error;
    switch (demo::parseCaptureOptions(argc, argv, options, error)) {
        case demo::ParseResult::help:
            // A help text that could not be written is a failure too.
            return demo::printAnswer(demo::captureUsage(), "help");
        case demo::ParseResult::error:
            demo::printError(error);
            return 2;
        case demo::ParseResult::run:
            break;
    }
    if (!outputsApart(options, error)) {
        demo::printError(error);
        return 2;
    }
    demo::catchDisplayLoss(nullptr);
    const int status = demo::runCapture(options);
    demo::closeCaptureWindow();
    return status;
}
