// The built program, run as a viewer runs it: in a directory holding its two
// data files, or installed and started from anywhere; on the X display of the
// test run (Xvfb), with SDL's silent dummy audio driver.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/commands.h"

namespace {

const std::string binaryDir = DEMO_BINARY_DIR;

struct Child {
    pid_t pid = -1;
    std::string directory;
};

using testsupport::commandOutput;
using testsupport::haveCommand;
using testsupport::readFileBytes;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (DISPLAY is not set)";
        directory = testsupport::makeTemporaryFolder("demo-e2e");
    }
    void TearDown() override {
        if (run.pid > 0) {
            kill(run.pid, SIGKILL);
            waitpid(run.pid, nullptr, 0);
        }
        if (!directory.empty()) testsupport::removeFolder(directory);
    }

    // Links a built file into the run directory under name.
    void provide(const std::string& built, const std::string& name) {
        ASSERT_EQ(symlink((binaryDir + "/" + built).c_str(), path(name).c_str()), 0) << name;
    }

    // Puts the built font image and the short test module in place.
    void provideFiles(bool font = true, bool module = true) {
        if (font) provide("fontpre.tga", "fontpre.tga");
        if (module) provide("testdata/demosong.it", "demosong.it");
    }

    std::string path(const std::string& name) const { return directory + "/" + name; }

    void start(const char* audioDriver = "dummy") {
        run.pid = fork();
        ASSERT_GE(run.pid, 0);
        if (run.pid == 0) {
            if (chdir(directory.c_str()) != 0) _exit(127);
            const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            setenv("SDL_AUDIODRIVER", audioDriver, 1);
            execl(program.c_str(), "demo", static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // Waits for the program to end; -1 when it is still running after the
    // timeout, -2 when it died of a signal.
    int waitForExit(double seconds) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(run.pid, &status, WNOHANG) == run.pid) {
                run.pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

    std::string errors() const { return readFileBytes(path("stderr.txt")); }
    std::string output() const { return readFileBytes(path("stdout.txt")); }

    // The show's window id on the display, or "" when there is none: the
    // visible window named "boxdemo" that belongs to this run's process.
    std::string findWindow(int seconds) {
        return commandOutput(
            "timeout " + std::to_string(seconds) + " xdotool search --sync --onlyvisible --pid " +
            std::to_string(run.pid) + " --name '^boxdemo$' 2>/dev/null | head -n1");
    }

    std::string directory;
    std::string program = binaryDir + "/demo";  // the program start() runs
    Child run;
};

// Where the screen cannot switch (a virtual X server), the show says so once
// and plays in a window: the only line it may print when all goes well.
const std::string windowLine =
    "demo: the screen cannot switch to 640x480; playing in a 640x480 window instead\n";

bool onlyTheWindowLine(const std::string& err) { return err.empty() || err == windowLine; }

TEST_F(EndToEnd, PlaysTheShortModuleThroughTheQuitRowAndExitsWithZero) {
    provideFiles();
    const auto started = std::chrono::steady_clock::now();
    start();
    EXPECT_EQ(waitForExit(60), 0) << errors();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // The test module takes a few seconds to reach order 12: the show must not
    // have ended before the music got there.
    EXPECT_GT(seconds, 2.0);
    EXPECT_TRUE(onlyTheWindowLine(errors())) << errors();
    EXPECT_EQ(output(), "");
}

TEST_F(EndToEnd, ACharacterKeyEndsTheShowWithZeroAndLeavesNoWindow) {
    if (!haveCommand("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    provideFiles(true, false);
    // A module that never reaches the quit row: the show runs until the key.
    provide("demosong.it", "demosong.it");
    start();
    const std::string window = findWindow(20);
    ASSERT_FALSE(window.empty()) << "no window appeared; " << errors();
    commandOutput("xdotool windowfocus --sync " + window + " key x");
    EXPECT_EQ(waitForExit(20), 0) << errors();
    EXPECT_TRUE(onlyTheWindowLine(errors())) << errors();
    EXPECT_EQ(commandOutput("xdotool getwindowname " + window + " >/dev/null 2>&1 && echo exists"),
              "")
        << "the window outlived the show";
}

TEST_F(EndToEnd, ATerminationSignalEndsTheShowWithZero) {
    if (!haveCommand("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    provideFiles(true, false);
    provide("demosong.it", "demosong.it");
    start();
    ASSERT_FALSE(findWindow(20).empty()) << errors();
    kill(run.pid, SIGTERM);
    EXPECT_EQ(waitForExit(20), 0) << errors();
}

TEST_F(EndToEnd, AMissingOrShortFontImageIsNamedAndEndsWithOne) {
    provideFiles(false, true);
    start();
    EXPECT_EQ(waitForExit(20), 1);
    EXPECT_NE(errors().find("demo: fontpre.tga: cannot open: No such file or directory\n"),
              std::string::npos)
        << errors();

    std::ofstream(path("fontpre.tga")) << "not an image";
    start();
    EXPECT_EQ(waitForExit(20), 1);
    EXPECT_NE(errors().find("demo: fontpre.tga: "), std::string::npos) << errors();
}

TEST_F(EndToEnd, AMissingOrBrokenModuleIsNamedAndEndsWithOne) {
    provideFiles(true, false);
    start();
    EXPECT_EQ(waitForExit(20), 1);
    EXPECT_NE(errors().find("demo: cannot load demosong.it: "), std::string::npos) << errors();

    std::ofstream(path("demosong.it")) << "this is not a tracker module";
    start();
    EXPECT_EQ(waitForExit(20), 1);
    EXPECT_NE(errors().find("demo: cannot load demosong.it: "), std::string::npos) << errors();
}

TEST_F(EndToEnd, AnAudioDeviceThatCannotOpenIsReportedWithTheSilentHint) {
    provideFiles();
    start("no-such-audio-driver");
    EXPECT_EQ(waitForExit(20), 1);
    EXPECT_NE(errors().find("demo: cannot open the audio device: "), std::string::npos) << errors();
    EXPECT_NE(errors().find("SDL_AUDIODRIVER=dummy"), std::string::npos) << errors();
}

// The programs installed as a user installs them, into a scratch prefix, and
// started from an empty folder: they find their data files where they were
// installed. The short test module stands in for the installed song.
class Installed : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        if (IsSkipped()) return;
        prefix = testsupport::makeTemporaryFolder("demo-prefix");
        const auto install =
            testsupport::runCommand("'" DEMO_CMAKE_COMMAND "' --install '" + binaryDir +
                                    "' --prefix '" + prefix + "' 2>&1");
        ASSERT_EQ(install.status, 0) << install.output;
        data = prefix + "/" DEMO_INSTALL_DATA_FOLDER;
        std::filesystem::copy_file(binaryDir + "/testdata/demosong.it", data + "/demosong.it",
                                   std::filesystem::copy_options::overwrite_existing);
        program = prefix + "/" DEMO_INSTALL_BINDIR "/boxdemo";
    }
    void TearDown() override {
        if (!prefix.empty()) testsupport::removeFolder(prefix);
        EndToEnd::TearDown();
    }

    std::string prefix, data;
};

TEST_F(Installed, TheShowPlaysFromAnyFolderAndNamesAMissingFileAsEver) {
    start();
    EXPECT_EQ(waitForExit(60), 0) << errors();
    EXPECT_TRUE(onlyTheWindowLine(errors())) << errors();

    std::filesystem::remove(data + "/fontpre.tga");
    start();
    EXPECT_EQ(waitForExit(20), 1);
    EXPECT_NE(errors().find("demo: fontpre.tga: cannot open: No such file or directory\n"),
              std::string::npos)
        << errors();
}

TEST_F(Installed, TheCaptureReadsTheInstalledFilesAndWritesInTheWorkingFolder) {
    const auto capture = testsupport::runCommand("cd '" + directory + "' && '" + prefix +
                                                 "/" DEMO_INSTALL_BINDIR "/boxdemo-capture' " +
                                                 "--quiet --fps 10 --timeline timeline.txt 2>&1");
    EXPECT_EQ(capture.status, 0) << capture.output;
    // The test module reaches the quit row after about 6.5 s: some 65 frames.
    const std::string timeline = readFileBytes(path("timeline.txt"));
    EXPECT_GT(std::count(timeline.begin(), timeline.end(), '\n'), 50) << timeline;
}

}  // namespace
