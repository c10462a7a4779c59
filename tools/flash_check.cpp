// flash-check: how much a sequence of frames flashes (flash_analysis.h).
//
//   flash-check [--fps N] [--timeline FILE] [--quiet] FOLDER | FILE.png...
//
// Reads PNG pictures in order (a folder's *.png by name, as demo-capture
// writes them, or the files given), and prints for each second of the
// sequence the worst field's flashes in any one second, general and red,
// then one summary line. With the capture's --timeline file beside the
// frames it adds a table by scene. Status 0 when every second passes, 1 when
// one fails, 2 when the frames cannot be read.
#include <dirent.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "process/process.h"
#include "tools/flash_analysis.h"

namespace {

const char usage[] =
    "Usage: flash-check [--fps N] [--timeline FILE] [--quiet] FOLDER | FILE.png...\n"
    "Reports, for each second of a sequence of PNG frames, the most flashes in any\n"
    "one second in any 10-degree field (a third of the frame's width and height),\n"
    "by the general-flash and red-flash rules; more than 3 fails.\n"
    "  --fps N          frames per second (default 60)\n"
    "  --timeline FILE  demo-capture's timeline of the same frames: adds a table\n"
    "                   by scene\n"
    "  --quiet          the summary line only\n"
    "Status: 0 every second passes, 1 a second fails, 2 the frames cannot be read.\n";

// A folder's PNG files, sorted by name; false when it is not a folder.
bool folderPictures(const std::string& folder, std::vector<std::string>& files) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0 && name[0] != '.')
            files.push_back(folder + "/" + name);
    }
    closedir(dir);
    std::sort(files.begin(), files.end());
    return true;
}

bool readPicture(const std::string& file, std::vector<std::uint8_t>& rgb, int& width, int& height,
                 std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) {
        error = file + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    width = int(image.width);
    height = int(image.height);
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        error = file + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

// The scene of each frame, from a capture timeline ("frame clock order row
// scene elapsed" a line, after a "#" heading); empty on failure.
std::vector<int> timelineScenes(const std::string& file) {
    std::vector<int> scenes;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        long long frame = 0;
        int clock = 0, order = 0, row = 0, scene = 0;
        if (std::sscanf(line.c_str(), "%lld %d %d %d %d", &frame, &clock, &order, &row, &scene) ==
            5)
            scenes.push_back(scene);
    }
    return scenes;
}

}  // namespace

int main(int argc, char** argv) {
    demo::openStandardStreams();
    demo::setProgramName(argc > 0 ? argv[0] : nullptr, "flash-check");
    int fps = 60;
    bool quiet = false;
    std::string timeline;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") return demo::printAnswer(usage, "help");
        if ((argument == "--fps" || argument == "--timeline") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (argument == "--timeline") {
                timeline = value;
                continue;
            }
            fps = std::atoi(value.c_str());
            if (fps < 1 || fps > 1000) {
                demo::printError("--fps takes 1 to 1000, not " + value);
                return 2;
            }
        } else if (argument == "--quiet" || argument == "-q") {
            quiet = true;
        } else if (!argument.empty() && argument[0] == '-') {
            demo::printError("unknown option " + argument + " (--help lists them)");
            return 2;
        } else if (!folderPictures(argument, files)) {
            files.push_back(argument);
        }
    }
    if (files.empty()) {
        demo::printError("no frames to read (--help says how)");
        return 2;
    }

    demo::FlashAnalysis analysis;
    std::vector<std::uint8_t> rgb;
    std::string error;
    for (std::size_t i = 0; i < files.size(); ++i) {
        int width = 0, height = 0;
        if (!readPicture(files[i], rgb, width, height, error)) {
            demo::printError(error);
            return 2;
        }
        if (i == 0) demo::startFlashAnalysis(analysis, width, height, fps);
        if (width != analysis.width || height != analysis.height) {
            demo::printError(files[i] + ": " + std::to_string(width) + "x" +
                             std::to_string(height) + ", not the first frame's size");
            return 2;
        }
        demo::analyseFrame(analysis, rgb.data(), std::size_t(width) * 3);
    }

    // Per second, then by scene, then the summary.
    const std::vector<int> scenes =
        timeline.empty() ? std::vector<int>{} : timelineScenes(timeline);
    struct SceneFigures {
        int seconds = 0, failing = 0, worstGeneral = 0, worstRed = 0;
    };
    std::map<int, SceneFigures> byScene;
    int failing = 0, redFailing = 0, worst = 0, worstAt = 0, worstRed = 0;
    for (std::size_t s = 0; s < analysis.seconds.size(); ++s) {
        const demo::SecondFigures& f = analysis.seconds[s];
        const bool fails =
            demo::failsRule(f.generalTransitions) || demo::failsRule(f.redTransitions);
        failing += fails;
        redFailing += demo::failsRule(f.redTransitions);
        if (f.generalTransitions > worst) worstAt = int(s);
        worst = std::max(worst, f.generalTransitions);
        worstRed = std::max(worstRed, f.redTransitions);
        if (!quiet)
            std::printf("%4zu s  general %4.1f  red %4.1f%s\n", s,
                        demo::flashesOf(f.generalTransitions), demo::flashesOf(f.redTransitions),
                        fails ? "  fails" : "");
        const std::size_t frame = s * std::size_t(fps);
        if (frame < scenes.size()) {
            SceneFigures& scene = byScene[scenes[frame]];
            ++scene.seconds;
            scene.failing += fails;
            scene.worstGeneral = std::max(scene.worstGeneral, f.generalTransitions);
            scene.worstRed = std::max(scene.worstRed, f.redTransitions);
        }
    }
    if (!byScene.empty()) {
        std::printf(
            "| Scene | Seconds | Failing | Most flashes in a second | Most red flashes |\n"
            "|---|---|---|---|---|\n");
        for (const auto& [scene, f] : byScene)
            std::printf("| %d | %d | %d | %.1f | %.1f |\n", scene, f.seconds, f.failing,
                        demo::flashesOf(f.worstGeneral), demo::flashesOf(f.worstRed));
    }
    std::printf(
        "flash-check: %zu frames of %dx%d at %d fps, %zu s: %s; %d s fail (%d by red), "
        "most flashes in a second %.1f (at %d s), most red %.1f\n",
        files.size(), analysis.width, analysis.height, fps, analysis.seconds.size(),
        failing == 0 ? "passes" : "fails", failing, redFailing, demo::flashesOf(worst), worstAt,
        demo::flashesOf(worstRed));
    return failing == 0 ? 0 : 1;
}
