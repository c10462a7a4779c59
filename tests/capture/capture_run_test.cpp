// Captures run in one process, as a program embedding the capture would run
// them: each starts from the top and leaves nothing of itself to the next,
// so two different captures one after the other write, byte for byte, what
// the program writes for each in a process of its own. Runs on the X display
// of the test run; skips without one.
#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "capture/capture_shell.h"
#include "capture/gl_window.h"
#include "capture/options.h"
#include "process/process.h"
#include "process/signals.h"
#include "tests/capture/capture_support.h"

namespace {

// The options a command line gives, as the program reads them.
demo::CaptureOptions optionsOf(const std::string& arguments) {
    std::vector<std::string> words = {"demo-capture"};
    std::istringstream in(arguments);
    for (std::string word; in >> word;)
        words.push_back(word);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    demo::CaptureOptions options;
    std::string error;
    EXPECT_EQ(demo::parseCaptureOptions(int(words.size()), argv.data(), options, error),
              demo::ParseResult::run)
        << error;
    return options;
}

TEST(CaptureRuns, TwoCapturesInOneProcessWriteWhatEachWritesInAProcessOfItsOwn) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (DISPLAY is not set)";
    const std::string folder = testsupport::makeTemporaryFolder("capture-run-test");
    const std::string inputs = "--quiet --module " + capturetest::testModulePath() + " --font " +
                               capturetest::fontPath() + " ";
    // Different rates, sizes, ranges and outputs: what one run leaves behind
    // (the show's state, GL state, the last frame's size) would show in the
    // other's bytes.
    const std::vector<std::string> captures = {
        "--fps 12 --only 3,41,70 -o one --wav one.wav --timeline one.txt",
        "--fps 10 --size 320x240 --frames 30-32 -o deep/two --timeline two.txt",
    };
    ASSERT_EQ(testsupport::commandOutput("mkdir '" + folder + "/alone' '" + folder + "/together'"),
              "");
    for (const std::string& arguments : captures) {
        const capturetest::RunResult r =
            capturetest::runCapture(folder + "/alone", inputs + arguments);
        ASSERT_EQ(r.status, 0) << arguments << ": " << r.errorText;
    }

    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir((folder + "/together").c_str()), 0);
    demo::setProgramName("demo-capture", "demo-capture");
    demo::catchTerminationSignals();
    for (const std::string& arguments : captures)
        EXPECT_EQ(demo::runCapture(optionsOf(inputs + arguments)), 0) << arguments;
    demo::closeCaptureWindow();
    ASSERT_EQ(chdir(previous), 0);

    const std::string files =
        testsupport::commandOutput("cd '" + folder + "/alone' && find . -type f | sort");
    EXPECT_EQ(testsupport::commandOutput("cd '" + folder + "/together' && find . -type f | sort"),
              files);
    EXPECT_EQ(std::count(files.begin(), files.end(), '\n'), 8) << files;
    std::istringstream names(files);
    for (std::string name; std::getline(names, name);) {
        const std::string alone = testsupport::readFileBytes(folder + "/alone/" + name);
        EXPECT_FALSE(alone.empty()) << name;
        EXPECT_TRUE(alone == testsupport::readFileBytes(folder + "/together/" + name)) << name;
    }
    testsupport::removeFolder(folder);
}

}  // namespace
