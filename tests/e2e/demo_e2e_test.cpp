// The built program, run as a viewer runs it: in a directory holding its two
// data files, or installed and started from anywhere; on the X display of the
// test run (Xvfb), with SDL's silent dummy audio driver.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/commands.h"
#include "tests/support/sharp_scaling.h"

namespace {

const std::string binaryDir = DEMO_BINARY_DIR;

struct Child {
    pid_t pid = -1;
    std::string directory;
};

// A private Xvfb with a screen of a given size, for looking at the whole
// screen the show fills; stopped when it goes out of scope.
class VirtualScreen {
public:
    VirtualScreen(int width, int height) {
        int channel[2];
        if (pipe(channel) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(channel[0]);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            dup2(quiet, 2);
            const std::string fd = std::to_string(channel[1]);
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(channel[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        pollfd ready{channel[0], POLLIN, 0};
        char c = 0;
        while (pid > 0 && poll(&ready, 1, 10000) == 1 && read(channel[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(channel[0]);
        if (!number.empty()) display = ":" + number;
    }
    ~VirtualScreen() {
        if (pid > 0) {
            kill(pid, SIGCONT);  // a test may have frozen it
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

    std::string display;  // "" when the server did not start
    pid_t pid = -1;
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

    // Starts the show on the test run's display, or on display when given;
    // with its standard error closed when asked.
    void start(const char* audioDriver = "dummy", const std::string& display = "",
               bool closeStandardError = false) {
        run.pid = fork();
        ASSERT_GE(run.pid, 0);
        if (run.pid == 0) {
            if (chdir(directory.c_str()) != 0) _exit(127);
            const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(err, 2);
            if (closeStandardError) close(2);
            setenv("SDL_AUDIODRIVER", audioDriver, 1);
            if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
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

    // Starts the show, which must end within seconds with status 1 and say
    // message on standard error.
    void expectStartFails(const std::string& message, const char* audioDriver = "dummy",
                          double seconds = 20) {
        start(audioDriver);
        EXPECT_EQ(waitForExit(seconds), 1);
        EXPECT_NE(errors().find(message), std::string::npos) << errors();
    }
    std::string output() const { return readFileBytes(path("stdout.txt")); }

    // The show's window id on the display, or "" when there is none: the
    // visible window named "boxdemo" that belongs to this run's process.
    std::string findWindow(int seconds, const std::string& display = "") {
        return commandOutput(onDisplay(display) + "timeout " + std::to_string(seconds) +
                             " xdotool search --sync --onlyvisible --pid " +
                             std::to_string(run.pid) +
                             " --name '^boxdemo$' 2>/dev/null | head -n1");
    }

    // The prefix that runs a command on display ("" for the test run's).
    static std::string onDisplay(const std::string& display) {
        return display.empty() ? "" : "DISPLAY=" + display + " ";
    }

    // The whole screen of display, row 0 at the bottom.
    testsupport::RgbImage screenshot(const std::string& display, int width, int height) {
        const std::string file = path("screen.rgb");
        commandOutput(onDisplay(display) + "import -window root -depth 8 'rgb:" + file + "'");
        const std::string bytes = readFileBytes(file);
        testsupport::RgbImage image(width, height);
        if (bytes.size() != image.rgb.size()) return testsupport::RgbImage();
        const std::size_t row = std::size_t(width) * 3;
        for (int y = 0; y < height; ++y)
            std::copy(bytes.begin() + (height - 1 - y) * row, bytes.begin() + (height - y) * row,
                      image.rgb.begin() + y * row);
        return image;
    }

    std::string directory;
    std::string program = binaryDir + "/demo";  // the program start() runs
    Child run;
};

// Where the screen cannot switch (a virtual X server), the show says so once
// and plays full screen, scaled: the only line it may print when all goes
// well.
const std::string windowLine =
    "demo: the screen cannot switch to 640x480; playing full screen, scaled\n";

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

// Whether every pixel of the rectangle's border is white.
bool whiteBorder(const testsupport::RgbImage& screen, testsupport::Rect r) {
    const auto white = [&](int x, int y) {
        const std::uint8_t* p = screen.at(x, y);
        return p[0] == 255 && p[1] == 255 && p[2] == 255;
    };
    for (int x = r.x; x < r.x + r.width; ++x) {
        if (!white(x, r.y) || !white(x, r.y + r.height - 1)) return false;
    }
    for (int y = r.y; y < r.y + r.height; ++y) {
        if (!white(r.x, y) || !white(r.x + r.width - 1, y)) return false;
    }
    return true;
}

TEST_F(EndToEnd, OnScreensThatCannotSwitchThePictureFillsTheScreenScaledAndAKeyEndsIt) {
    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
        if (!haveCommand(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    provideFiles(true, false);
    provide("demosong.it", "demosong.it");
    struct Screen {
        int width, height;
        testsupport::Rect picture;
    };
    // Pillarboxed at 2.25 times, letterboxed at twice, and 1:1.
    const Screen screens[] = {{1920, 1080, {240, 0, 1440, 1080}},
                              {1280, 1024, {0, 32, 1280, 960}},
                              {640, 480, {0, 0, 640, 480}}};
    for (const Screen& s : screens) {
        const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
        SCOPED_TRACE(size);
        VirtualScreen screen(s.width, s.height);
        ASSERT_FALSE(screen.display.empty()) << "Xvfb did not start";
        start("dummy", screen.display);
        const std::string window = findWindow(20, screen.display);
        ASSERT_FALSE(window.empty()) << "no window appeared; " << errors();

        // Scene 1 keeps the picture's border white from its first frame on:
        // wait for it, holding the show still for each screenshot. NOTE: the
        // show runs a while between two tries; stopped for every screenshot
        // and let go only for a moment, a slow build under load never got as
        // far as its first frame.
        testsupport::RgbImage shot;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            kill(run.pid, SIGSTOP);
            shot = screenshot(screen.display, s.width, s.height);
            kill(run.pid, SIGCONT);
            if ((shot.width > 0 && whiteBorder(shot, s.picture)) ||
                std::chrono::steady_clock::now() >= deadline)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        ASSERT_GT(shot.width, 0) << "no screenshot";
        EXPECT_TRUE(whiteBorder(shot, s.picture)) << "the picture is not where it belongs";
        EXPECT_TRUE(testsupport::blackOutside(shot, s.picture)) << "the bars are not black";
        // The screen is a 640x480 frame scaled sharply into the rectangle.
        const testsupport::RgbImage frame = testsupport::pictureShownIn(shot, s.picture);
        const testsupport::ImageDifference d = testsupport::compareImages(
            shot, testsupport::sharpScaled(frame, s.width, s.height, s.picture), 2);
        EXPECT_EQ(d.differing, 0) << "first at (" << d.firstX << ", " << d.firstY
                                  << "), largest difference " << d.largest;
        if (HasFailure()) testsupport::writePpm(shot, "fullscreen-" + size + ".ppm");

        commandOutput(onDisplay(screen.display) + "xdotool windowfocus --sync " + window +
                      " key x");
        EXPECT_EQ(waitForExit(20), 0) << errors();
        EXPECT_EQ(errors(), windowLine);
    }
}

TEST_F(EndToEnd, ATerminationSignalEndsTheShowWith128PlusItsNumber) {
    if (!haveCommand("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    provideFiles(true, false);
    provide("demosong.it", "demosong.it");
    start();
    ASSERT_FALSE(findWindow(20).empty()) << errors();
    kill(run.pid, SIGTERM);
    EXPECT_EQ(waitForExit(20), 128 + SIGTERM) << errors();
}

TEST_F(EndToEnd, AnXServerThatStopsAnsweringStillLetsASignalEndBothPrograms) {
    if (!haveCommand("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    VirtualScreen screen(1024, 768);
    ASSERT_FALSE(screen.display.empty()) << "Xvfb did not start";
    provideFiles();
    // SIGTERM to a program whose X server froze under it: it ends within
    // about a second with 128 + 15, and leaves nothing of its own behind.
    const auto endsFrozen = [&](pid_t program) {
        kill(screen.pid, SIGSTOP);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const auto signalled = std::chrono::steady_clock::now();
        kill(program, SIGTERM);
        int status = 0;
        waitpid(program, &status, 0);
        kill(screen.pid, SIGCONT);
        EXPECT_LT(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count(),
            2.0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    start("dummy", screen.display);
    ASSERT_FALSE(findWindow(20, screen.display).empty()) << errors();
    EXPECT_EQ(endsFrozen(run.pid), 128 + SIGTERM) << errors();
    run.pid = -1;

    const pid_t capture = fork();
    ASSERT_GE(capture, 0);
    if (capture == 0) {
        if (chdir(directory.c_str()) != 0) _exit(127);
        setenv("DISPLAY", screen.display.c_str(), 1);
        const std::string program = binaryDir + "/demo-capture";
        execl(program.c_str(), "demo-capture", "--quiet", "-o", "show.mp4", "--wav", "show.wav",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_EQ(endsFrozen(capture), 128 + SIGTERM);
    EXPECT_EQ(commandOutput("ls -A '" + directory + "'"),
              "demosong.it\nfontpre.tga\nstderr.txt\nstdout.txt");
}

TEST_F(EndToEnd, AnXServerThatGoesAwayEndsBothProgramsWithTheirOwnLineAndLeavesNothing) {
    if (!haveCommand("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    provideFiles();
    // The server ended under a running program: status 1, one line of the
    // program's own, nothing of it left behind.
    const auto losesItsServer = [&](const std::function<pid_t(const std::string&)>& startOn) {
        VirtualScreen screen(1024, 768);
        EXPECT_FALSE(screen.display.empty()) << "Xvfb did not start";
        const pid_t program = startOn(screen.display);
        kill(screen.pid, SIGKILL);
        waitpid(screen.pid, nullptr, 0);
        screen.pid = -1;
        int status = 0;
        waitpid(program, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
        return ": lost the connection to the X display " + screen.display +
               " (its X server ended, or the connection to it broke)\n";
    };

    const std::string showLine = losesItsServer([&](const std::string& display) {
        start("dummy", display);
        EXPECT_FALSE(findWindow(20, display).empty()) << errors();
        return std::exchange(run.pid, -1);
    });
    EXPECT_EQ(errors(), windowLine + "demo" + showLine);

    const std::string captureLine = losesItsServer([&](const std::string& display) {
        const pid_t capture = fork();
        if (capture == 0) {
            if (chdir(directory.c_str()) != 0) _exit(127);
            const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, 2);
            setenv("DISPLAY", display.c_str(), 1);
            const std::string program = binaryDir + "/demo-capture";
            execl(program.c_str(), "demo-capture", "--quiet", "-o", "show.mp4", "--wav", "show.wav",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        // Mid-capture: once the outputs' hidden files are there.
        for (int tries = 0; tries < 400; ++tries) {
            if (commandOutput("ls -A '" + directory + "' | grep '^[.]'") != "") break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return capture;
    });
    EXPECT_EQ(errors(), "demo-capture" + captureLine);
    EXPECT_EQ(commandOutput("ls -A '" + directory + "'"),
              "demosong.it\nfontpre.tga\nstderr.txt\nstdout.txt");
}

TEST_F(EndToEnd, WithoutAnXDisplayTheShowSaysSoNamingDisplay) {
    provideFiles();
    const testsupport::CommandResult r =
        testsupport::runCommand("cd '" + directory + "' && env -u DISPLAY '" + program + "' 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.rfind("demo: no X display: DISPLAY is not set", 0), 0u) << r.output;
    start("dummy", ":99999");
    EXPECT_EQ(waitForExit(20), 1);
    EXPECT_EQ(errors().rfind("demo: cannot open the X display :99999 (DISPLAY=:99999)", 0), 0u)
        << errors();
}

TEST_F(EndToEnd, UnderAMemoryLimitTooSmallForTheGlDriverBothProgramsSaySoInOneLine) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit";
#endif
    provideFiles();
    for (const std::string& run :
         {"'" + program + "'", "'" + binaryDir + "/demo-capture' --quiet --timeline t"}) {
        const testsupport::CommandResult r = testsupport::runCommand(
            "cd '" + directory + "' && ulimit -v 150000 && " + run + " 2>&1");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
        EXPECT_NE(r.output.find("; memory may have run out (ulimit -v lets the process have 146 "
                                "MiB)\n"),
                  std::string::npos)
            << r.output;
    }
}

// A headless weston with its Xwayland, on a socket and runtime folder of its
// own; stopped when it goes out of scope. Weston starts Xwayland when the
// first X client connects.
class WestonXwayland {
public:
    WestonXwayland() {
        runtime = testsupport::makeTemporaryFolder("demo-weston");
        pid = fork();
        if (pid == 0) {
            const int log = open((runtime + "/weston.log").c_str(), O_WRONLY | O_CREAT, 0644);
            dup2(log, 1);
            dup2(log, 2);
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            unsetenv("WAYLAND_DISPLAY");
            execlp("weston", "weston", "--backend=headless-backend.so", "--use-pixman",
                   "--xwayland", "--socket=demo-test", "--idle-time=0", "--width=1024",
                   "--height=768", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Weston names the X display it listens on once it does.
        const std::string said = "xserver listening on display ";
        for (int tries = 0; tries < 200 && display.empty(); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const std::string log = readFileBytes(runtime + "/weston.log");
            const std::size_t at = log.find(said);
            if (at != std::string::npos && log.find('\n', at) != std::string::npos)
                display = log.substr(at + said.size(), log.find('\n', at) - at - said.size());
        }
    }
    ~WestonXwayland() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        testsupport::removeFolder(runtime);
    }

    // The Xwayland server weston started, or "" when none runs.
    std::string xwayland() const {
        return commandOutput("pgrep -P " + std::to_string(pid) + " Xwayland");
    }

    std::string runtime, display;
    pid_t pid = -1;
};

TEST_F(EndToEnd, UnderXwaylandTheShowPlaysScaledToItsEndAndTheServerLives) {
    for (const char* tool : {"weston", "Xwayland", "pgrep"}) {
        if (!haveCommand(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    WestonXwayland weston;
    ASSERT_FALSE(weston.display.empty()) << readFileBytes(weston.runtime + "/weston.log");
    provideFiles();
    start("dummy", weston.display);
    EXPECT_EQ(waitForExit(60), 0) << errors();
    EXPECT_EQ(errors(),
              "demo: the X server is Xwayland, whose screen modes are only emulated; playing full "
              "screen, scaled\n");
    EXPECT_NE(weston.xwayland(), "") << "the Xwayland server went down";
}

TEST_F(EndToEnd, AMissingOrShortFontImageIsNamedAndEndsWithOne) {
    provideFiles(false, true);
    // Said before any X display is asked for: there is none at :99999.
    start("dummy", ":99999");
    EXPECT_EQ(waitForExit(20), 1);
    const std::string said = errors();
    EXPECT_EQ(said.rfind("demo: fontpre.tga: cannot open: No such file or directory (looked in "
                         "the working folder /",
                         0),
              0u)
        << said;
    EXPECT_NE(said.find("/share/boxdemo does not exist)\n"), std::string::npos) << said;

    std::ofstream(path("fontpre.tga")) << "not an image";
    expectStartFails("demo: fontpre.tga: ");

    // From a working folder deleted under it: named all the same.
    const testsupport::CommandResult r =
        testsupport::runCommand("mkdir '" + path("gone") + "' && cd '" + path("gone") +
                                "' && rmdir ../gone && '" + program + "' 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("(looked in the working folder " + path("gone") +
                            ", which was deleted; the data folder /"),
              std::string::npos)
        << r.output;
}

TEST_F(EndToEnd, AMissingOrBrokenModuleIsNamedAndEndsWithOne) {
    provideFiles(true, false);
    expectStartFails("demo: cannot load demosong.it: ");

    std::ofstream(path("demosong.it")) << "this is not a tracker module";
    expectStartFails("demo: cannot load demosong.it: ");

    // Cut short (libopenmpt would play it, silent or with parts missing).
    const std::string song = readFileBytes(binaryDir + "/testdata/demosong.it");
    for (const std::size_t cut : {std::size_t(3000), song.size() / 2}) {
        std::ofstream(path("demosong.it")) << song.substr(0, cut);
        expectStartFails("demo: cannot load demosong.it: the file is cut short: it has " +
                         std::to_string(cut) + " bytes, too few for its ");
    }
}

TEST_F(EndToEnd, AnAudioDeviceThatCannotOpenIsReportedWithTheSilentHint) {
    provideFiles();
    expectStartFails("demo: cannot open the audio device: ", "no-such-audio-driver");
    EXPECT_NE(errors().find("SDL_AUDIODRIVER=dummy"), std::string::npos) << errors();
}

// ---- ending cleanly, whatever happens ----

// The processor time the process has used so far, in seconds.
double cpuSeconds(pid_t pid) {
    std::istringstream stat(readFileBytes("/proc/" + std::to_string(pid) + "/stat"));
    std::string field;
    double ticks = 0;
    // Fields 14 and 15 are the user and system time, after the name in brackets.
    for (int i = 1; i <= 15 && stat >> field; ++i)
        if (i >= 14) ticks += std::stod(field);
    return ticks / double(sysconf(_SC_CLK_TCK));
}

TEST_F(EndToEnd, AHiddenWindowStillEndsAtTheQuitOrderAndWaitsWithoutSpinning) {
    if (!haveCommand("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    provideFiles();
    start();
    const std::string window = findWindow(20);
    ASSERT_FALSE(window.empty()) << errors();
    // GLUT draws nothing for an unmapped window.
    commandOutput("xdotool windowunmap --sync " + window);
    const double before = cpuSeconds(run.pid);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_LT(cpuSeconds(run.pid) - before, 0.5) << "seconds of processor time in 2 s hidden";
    EXPECT_EQ(waitForExit(30), 0) << "the hidden show did not end with the music; " << errors();
}

TEST_F(EndToEnd, DataFilesThatAreNotRegularFilesAreRefusedAtOnce) {
    // A FIFO would hold the open until something wrote to it.
    provideFiles(false, true);
    ASSERT_EQ(mkfifo(path("fontpre.tga").c_str(), 0600), 0);
    expectStartFails("demo: fontpre.tga: is not a regular file\n", "dummy", 10);

    std::remove(path("fontpre.tga").c_str());
    std::remove(path("demosong.it").c_str());
    provideFiles(true, false);
    ASSERT_EQ(mkfifo(path("demosong.it").c_str(), 0600), 0);
    expectStartFails("demo: cannot load demosong.it: not a regular file\n", "dummy", 10);
}

TEST_F(EndToEnd, ATerminationSignalEndsAStartUpWaitingOnAnXServerThatNeverAnswers) {
    // A socket where an X server would listen: it takes the connection and
    // never answers.
    const int number = 90 + getpid() % 100;
    const std::string socketPath = "/tmp/.X11-unix/X" + std::to_string(number);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(listener);
        GTEST_SKIP() << "cannot listen at " << socketPath;
    }
    listen(listener, 4);
    provideFiles();
    start("dummy", ":" + std::to_string(number));
    EXPECT_EQ(waitForExit(1), -1) << "start-up did not wait for the server; " << errors();
    kill(run.pid, SIGTERM);
    EXPECT_EQ(waitForExit(5), 128 + SIGTERM) << errors();
    close(listener);
    std::remove(socketPath.c_str());
}

TEST_F(EndToEnd, WithStandardErrorClosedTheShowStillEndsByItself) {
    provideFiles();
    start("dummy", "", true);
    EXPECT_EQ(waitForExit(60), 0);
}

TEST_F(EndToEnd, AReaderThatHasGoneOrAGoneStandardErrorEndsWithOneNot141) {
    // The help text into a pipe whose reader has gone: one line, status 1.
    EXPECT_EQ(
        testsupport::runIntoGonePipe("'" + program + "' --help 2>'" + path("stderr.txt") + "'", 1),
        1);
    EXPECT_EQ(errors(), "demo: cannot write the help text: Broken pipe\n");
    // A show that cannot start (no font) with its standard error such a pipe.
    EXPECT_EQ(testsupport::runIntoGonePipe("cd '" + directory + "' && '" + program + "'", 2), 1);
}

TEST_F(EndToEnd, HelpAndVersionAnswerWithoutPlaying) {
    const testsupport::CommandResult help = testsupport::runCommand(program + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("Usage: demo [--reduce-flashing]\n", 0), 0u) << help.output;
    const testsupport::CommandResult version = testsupport::runCommand(program + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output.rfind("boxdemo ", 0), 0u) << version.output;
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
    expectStartFails(
        "demo: fontpre.tga: cannot open: No such file or directory (in the data "
        "folder " +
        data + ")\n");
}

TEST_F(Installed, TheCaptureReadsTheInstalledFilesAndWritesInTheWorkingFolder) {
    const auto capture = testsupport::runCommand("cd '" + directory + "' && '" + prefix +
                                                 "/" DEMO_INSTALL_BINDIR "/boxdemo-capture' " +
                                                 "--quiet --fps 10 --timeline timeline.txt 2>&1");
    EXPECT_EQ(capture.status, 0) << capture.output;
    // The test module reaches the quit row after about 6.5 s: some 65 frames.
    const std::string timeline = readFileBytes(path("timeline.txt"));
    EXPECT_GT(std::count(timeline.begin(), timeline.end(), '\n'), 50) << timeline;

    // With its data folder gone, it says where it looked, as the show does.
    testsupport::removeFolder(prefix + "/share");
    const auto lost = testsupport::runCommand("cd '" + directory + "' && '" + prefix +
                                              "/" DEMO_INSTALL_BINDIR "/boxdemo-capture' " +
                                              "--quiet --timeline timeline.txt 2>&1");
    EXPECT_EQ(lost.status, 1);
    EXPECT_EQ(lost.output,
              "boxdemo-capture: cannot load fontpre.tga: cannot open: No such file or "
              "directory (looked in the working folder " +
                  directory + "; the data folder " + data + " does not exist)\n");
}

}  // namespace
