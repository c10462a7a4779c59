// Start-up, the window callbacks and the ways the show ends, against the GL
// recorder and the silent music layer.
#define GL_GLEXT_PROTOTYPES
#include <GL/glut.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "show/sequencer.h"
#include "desktop/desktop_shell.h"
#include "picture/flash_filter_shader.h"
#include "tests/support/commands.h"
#include "tests/support/fake_display.h"
#include "tests/support/fake_music.h"
#include "tests/support/gl_recorder.h"

namespace {

using glrec::call;
using glrec::Fn;

// Runs the tests in a scratch directory holding a valid, empty font image,
// since start-up reads "fontpre.tga" from the working directory.
class DesktopShell : public ::testing::Test {
protected:
    void SetUp() override {
        glrec::reset();
        fakemusic::reset();
        fakedisplay::reset();
        directory = testsupport::makeTemporaryFolder("desktop-shell-test");
        ASSERT_EQ(chdir(directory.c_str()), 0);
        writeFontImage(17170);
    }
    void TearDown() override {
        ASSERT_EQ(chdir("/"), 0);
        testsupport::removeFolder(directory);
    }

    // A font image of the right layout, cut to size bytes.
    static void writeFontImage(int size) {
        std::vector<unsigned char> file(17170, 1);
        const unsigned char header[18] = {0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 0, 1, 64, 0, 8, 0};
        std::copy(header, header + 18, file.begin());
        std::FILE* f = std::fopen("fontpre.tga", "wb");
        std::fwrite(file.data(), 1, size, f);
        std::fclose(f);
    }

    // Names of the GL calls made, for sequences where arguments are checked
    // separately.
    static std::vector<Fn> callKinds() {
        std::vector<Fn> kinds;
        for (const auto& c : glrec::calls())
            kinds.push_back(c.fn);
        return kinds;
    }

    static int runDemo() {
        char name[] = "demo";
        char* argv[] = {name, nullptr};
        return demo::runDemo(1, argv);
    }

    // Starts the show once more in game mode, so that the desktop shell is in
    // the mode the other tests of this process expect.
    static void backToGameMode() {
        glrec::reset();
        fakemusic::reset();
        runDemo();
    }

    std::string directory;
};

// Reports on standard error, at exit, how many GL calls were made.
void reportGlCallsAtExit() {
    std::atexit([] { std::fprintf(stderr, "[GL calls at exit: %zu]\n", glrec::callCount()); });
}

// Starts the show, which must end with status 1 and the message matching
// line before it made a single GL call: the screen is never touched.
void expectFailureBeforeTheScreen(const std::string& line) {
    char name[] = "demo";
    char* argv[] = {name, nullptr};
    EXPECT_EXIT(
        {
            reportGlCallsAtExit();
            demo::runDemo(1, argv);
        },
        ::testing::ExitedWithCode(1), "^" + line + "\n\\[GL calls at exit: 0\\]\n$");
}

TEST_F(DesktopShell, ReadsItsFilesAndOpensTheSoundThenOpensTheScreenAndStartsTheMusic) {
    glrec::setElapsedMs(1234);
    EXPECT_EQ(runDemo(), 0);

    const std::vector<glrec::Call> expected = {
        call(Fn::Init, {1}),
        call(Fn::InitDisplayMode, {18}),
        [] {
            auto c = call(Fn::GameModeString);
            c.text = "640x480:32";
            return c;
        }(),
        call(Fn::GameModeGet, {GLUT_GAME_MODE_WIDTH}),
        call(Fn::GameModeGet, {GLUT_GAME_MODE_POSSIBLE}),
        call(Fn::EnterGameMode),
        call(Fn::GameModeGet, {GLUT_GAME_MODE_ACTIVE}),
        call(Fn::DisplayFunc),
        call(Fn::ReshapeFunc),
        call(Fn::IdleFunc),
        call(Fn::KeyboardFunc),
        call(Fn::SetCursor, {GLUT_CURSOR_NONE}),
        call(Fn::ShadeModel, {GL_FLAT}),
        call(Fn::Enable, {GL_CULL_FACE}),
        call(Fn::Get, {GLUT_ELAPSED_TIME}),
        call(Fn::MainLoop),
    };
    EXPECT_EQ(glrec::describe(glrec::calls()), glrec::describe(expected));
    EXPECT_EQ(fakemusic::callTexts(),
              (std::vector<std::string>{"BASSMOD_Init(-1, 44100, 0)",
                                        "BASSMOD_MusicLoad(0, \"demosong.it\", 0, 0, 261)",
                                        "BASSMOD_MusicPlay()"}));
    // The sound is opened and the song loaded before the screen, the music
    // starts after the fixed state is set, and the first scene's clock is
    // stamped after the music starts.
    EXPECT_EQ(fakemusic::calls().at(1).glCallsBefore, 0u);
    EXPECT_EQ(fakemusic::calls().at(2).glCallsBefore, 14u);
    EXPECT_EQ(demo::sequencer().sceneStartMs, 1234);
    EXPECT_EQ(glrec::displayCallback(), &demo::displayFrame);
    EXPECT_EQ(glrec::reshapeCallback(), &demo::onReshape);
    EXPECT_EQ(glrec::idleCallback(), &demo::onIdle);
    EXPECT_EQ(glrec::keyboardCallback(), &demo::onKey);
}

TEST_F(DesktopShell, WithoutAMatchingModePrintsTheMessageAndRegistersNothing) {
    glrec::setGameModeWidth(-1);
    EXPECT_EXIT(
        {
            dup2(2, 1);  // the message goes to standard output; show it to the death test
            runDemo();
        },
        ::testing::ExitedWithCode(1),
        "^To run this you must be able to run 640x480 16bit mode\n"
        "\\(in other words your computer sucks\\)\n$");
}

// The calls from index first on, described, for comparing a stretch of the log.
std::string describeFrom(std::size_t first, std::size_t count) {
    const auto& calls = glrec::calls();
    const std::size_t end = std::min(calls.size(), first + count);
    return glrec::describe(
        std::vector<glrec::Call>(calls.begin() + std::min(first, end), calls.begin() + end));
}

std::size_t indexOf(const glrec::Call& wanted) {
    const auto& calls = glrec::calls();
    return std::find(calls.begin(), calls.end(), wanted) - calls.begin();
}

const char scaledLine[] =
    "demo: the screen cannot switch to 640x480; playing full screen, scaled\n";

TEST_F(DesktopShell, WhereTheScreenCannotSwitchPlaysScaledInAFullScreenWindowAndSaysSo) {
    glrec::setGameModePossible(false);
    glrec::setScreenSize(1920, 1080);
    testing::internal::CaptureStderr();
    runDemo();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), scaledLine);
    const auto kinds = callKinds();
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), Fn::EnterGameMode), 0);

    // A borderless window of the screen's size at (0, 0), without a depth
    // buffer of its own, then the 640x480 picture target, its colour a
    // texture the scaling pass samples and its depth a renderbuffer, bound
    // for the first frame; the cursor hidden.
    auto title = call(Fn::CreateWindow);
    title.text = "boxdemo";
    const std::size_t window = indexOf(call(Fn::InitDisplayMode, {GLUT_RGB | GLUT_DOUBLE}));
    EXPECT_EQ(describeFrom(window, 9), glrec::describe({
                                           call(Fn::InitDisplayMode, {GLUT_RGB | GLUT_DOUBLE}),
                                           call(Fn::Get, {GLUT_SCREEN_WIDTH}),
                                           call(Fn::Get, {GLUT_SCREEN_HEIGHT}),
                                           call(Fn::InitWindowPosition, {0, 0}),
                                           call(Fn::InitWindowSize, {1920, 1080}),
                                           title,
                                           call(Fn::FullScreen),
                                           call(Fn::GenFramebuffers, {1, 1}),
                                           call(Fn::BindFramebuffer, {GL_FRAMEBUFFER, 1}),
                                       }));
    EXPECT_EQ(glrec::callsOf(Fn::TexImage2D).at(0),
              call(Fn::TexImage2D, {GL_TEXTURE_2D, GL_RGBA8, 640, 480}));
    EXPECT_EQ(
        glrec::callsOf(Fn::FramebufferTexture2D).at(0),
        call(Fn::FramebufferTexture2D, {GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 1}));
    EXPECT_LT(
        indexOf(call(Fn::RenderbufferStorage, {GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 640, 480})),
        indexOf(call(Fn::CheckFramebufferStatus, {GL_FRAMEBUFFER})));
    EXPECT_EQ(glrec::callsOf(Fn::BindFramebuffer).back(),
              call(Fn::BindFramebuffer, {GL_FRAMEBUFFER, 1}));
    EXPECT_EQ(glrec::callsOf(Fn::SetCursor).at(0), call(Fn::SetCursor, {GLUT_CURSOR_NONE}));
    EXPECT_EQ(fakemusic::callTexts().back(), "BASSMOD_MusicPlay()");

    // A switch that GLUT deems possible but that fails is caught the same way.
    glrec::reset();
    glrec::setGameModeEnters(false);
    testing::internal::CaptureStderr();
    runDemo();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), scaledLine);
    EXPECT_EQ(glrec::callsOf(Fn::FullScreen).size(), 1u);

    // Under Xwayland the switch is never asked for, though GLUT deems it
    // possible: the show plays scaled and says why.
    glrec::reset();
    fakedisplay::xwayland = true;
    testing::internal::CaptureStderr();
    runDemo();
    fakedisplay::reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "demo: the X server is Xwayland, whose screen modes are only emulated; playing full "
              "screen, scaled\n");
    EXPECT_EQ(glrec::callsOf(Fn::EnterGameMode).size(), 0u);
    EXPECT_EQ(glrec::callsOf(Fn::FullScreen).size(), 1u);

    // Without an offscreen target there is no show: one line, status 1.
    glrec::reset();
    glrec::setGameModePossible(false);
    glrec::setFramebuffersComplete(false);
    EXPECT_EXIT(runDemo(), ::testing::ExitedWithCode(1),
                "^demo: the GL driver cannot make a 640x480 offscreen framebuffer\n$");
    backToGameMode();
}

TEST_F(DesktopShell, InTheFullScreenWindowScenesSeeA640x480ScreenAndFramesAreScaledThenSwapped) {
    glrec::setGameModePossible(false);
    glrec::setScreenSize(1920, 1080);
    testing::internal::CaptureStderr();
    runDemo();
    testing::internal::GetCapturedStderr();

    // Whatever the window's size, even a height of 0, the scenes get the
    // viewport and projection of the 640x480 screen.
    const std::string screen640 = glrec::describe(
        {call(Fn::Viewport, {0, 0, 640, 480}), call(Fn::MatrixMode, {GL_PROJECTION}),
         call(Fn::LoadIdentity), call(Fn::Perspective, {60, 640.0 / 480.0, 1, 300})});
    for (const auto& size : {std::make_pair(1920, 0), std::make_pair(1920, 1080)}) {
        glrec::reset();
        demo::onReshape(size.first, size.second);
        EXPECT_EQ(glrec::describe(glrec::calls()), screen640) << size.first << "x" << size.second;
    }

    // A frame as a scene presents it, with the scissor and depth tests left
    // on: the picture drawn by the scaling program into the window's
    // 1440x1080 middle at a whole scale of 2, the swap, the picture target
    // bound again; the tests, the scissor box and the program as the scene
    // left them.
    glrec::reset();
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_DEPTH_TEST);
    glScissor(5, 6, 7, 8);
    demo::presentFrame();
    EXPECT_EQ(glrec::callsOf(Fn::Viewport), std::vector{call(Fn::Viewport, {240, 0, 1440, 1080})});
    const glrec::Call rectSize = glrec::callsOf(Fn::Uniform2f).at(0);
    EXPECT_EQ(std::make_pair(rectSize.arg[1], rectSize.arg[2]), std::make_pair(1440.0, 1080.0));
    EXPECT_EQ(glrec::callsOf(Fn::Uniform1f).at(0).arg[1], 2);
    EXPECT_EQ(glrec::callsOf(Fn::Vertex3f).size(), 4u);
    EXPECT_EQ(glrec::callsOf(Fn::UseProgram).back(), call(Fn::UseProgram, {0}));
    const auto& calls = glrec::calls();
    const std::size_t swap = indexOf(call(Fn::SwapBuffers));
    ASSERT_EQ(swap, calls.size() - 2);
    EXPECT_EQ(calls.back(), call(Fn::BindFramebuffer, {GL_FRAMEBUFFER, 1}));
    EXPECT_LT(indexOf(call(Fn::PopAttrib)), swap);
    EXPECT_TRUE(glrec::state().scissorTest);
    EXPECT_TRUE(glrec::state().depthTest);
    EXPECT_EQ(glrec::state().scissorBox, (std::array<int, 4>{5, 6, 7, 8}));
    EXPECT_EQ(glrec::state().misuse, 0);
    backToGameMode();
}

TEST_F(DesktopShell, WithReduceFlashingEveryFrameReachesTheScreenThroughTheFilterInGameModeToo) {
    char name[] = "demo";
    char option[] = "--reduce-flashing";
    char* argv[] = {name, option, nullptr};
    glrec::setElapsedMs(1000);
    EXPECT_EQ(demo::runDemo(2, argv), 0);
    // Game mode as ever; then the picture target (framebuffer 1) and the
    // filter's two (2 and 3), the picture target bound for the first frame.
    EXPECT_EQ(glrec::callsOf(Fn::EnterGameMode).size(), 1u);
    EXPECT_EQ(glrec::callsOf(Fn::GenFramebuffers).size(), 3u);
    EXPECT_EQ(glrec::callsOf(Fn::BindFramebuffer).back(),
              call(Fn::BindFramebuffer, {GL_FRAMEBUFFER, 1}));
    demo::onReshape(640, 480);

    // Each frame: the filter's pass into one of its targets, which then
    // reaches the screen 1:1, the swap, the picture target bound again. The
    // first frame is shown as it is (share 1); the next, 100 ms on, moves
    // the shown picture part of the way, into the other target.
    const struct {
        int clockMs;
        double share;
        int shown;
    } frames[] = {{1000, 1.0, 3}, {1100, 1 - std::exp(-0.1 / demo::flashFilterSeconds), 2}};
    for (const auto& frame : frames) {
        SCOPED_TRACE(frame.clockMs);
        glrec::reset();
        glrec::setElapsedMs(frame.clockMs);
        demo::presentFrame();
        const auto& calls = glrec::calls();
        const std::size_t pass =
            indexOf(call(Fn::BindFramebuffer, {GL_FRAMEBUFFER, double(frame.shown)}));
        const std::size_t blit =
            indexOf(call(Fn::BlitFramebuffer, {0, 0, 640, 480, 0, 0, 640, 480, GL_NEAREST}));
        ASSERT_LT(pass, blit);
        ASSERT_EQ(glrec::callsOf(Fn::Uniform1f).size(), 1u);
        EXPECT_NEAR(glrec::callsOf(Fn::Uniform1f).at(0).arg[1], frame.share, 1e-6);
        EXPECT_EQ(glrec::callsOf(Fn::Vertex3f).size(), 4u);
        EXPECT_EQ(calls.at(blit - 1),
                  call(Fn::BindFramebuffer, {GL_READ_FRAMEBUFFER, double(frame.shown)}));
        EXPECT_LT(blit, indexOf(call(Fn::SwapBuffers)));
        EXPECT_EQ(calls.back(), call(Fn::BindFramebuffer, {GL_FRAMEBUFFER, 1}));
        EXPECT_EQ(glrec::state().misuse, 0);
    }
    backToGameMode();
}

TEST_F(DesktopShell, ABadFontImageEndsStartUpBeforeTheScreenIsTouched) {
    writeFontImage(17000);
    expectFailureBeforeTheScreen("demo: fontpre.tga: [^\n]*17000[^\n]*");
    // A missing one says where it was looked for.
    std::remove("fontpre.tga");
    expectFailureBeforeTheScreen(
        "demo: fontpre.tga: [^\n]*No such file or directory \\(looked in the working folder "
        "[^\n]*desktop-shell-test[^\n]*\\)");
    EXPECT_TRUE(fakemusic::calls().empty());
}

TEST_F(DesktopShell, MusicThatCannotStartEndsStartUpBeforeTheScreenIsTouched) {
    fakemusic::setInitResult(0, "no audio device");
    expectFailureBeforeTheScreen(
        "demo: cannot open the audio device: no audio device \\(SDL_AUDIODRIVER=dummy plays the "
        "show without sound\\)");
    fakemusic::reset();
    fakemusic::setLoadResult(0, "No such file or directory");
    expectFailureBeforeTheScreen(
        "demo: cannot load demosong.it: No such file or directory \\(looked in the working "
        "folder [^\n]*\\)");
}

TEST_F(DesktopShell, ReshapeSetsTheViewportAndTheOneProjection) {
    demo::onReshape(640, 480);
    EXPECT_EQ(glrec::describe(glrec::calls()),
              glrec::describe({call(Fn::Viewport, {0, 0, 640, 480}),
                               call(Fn::MatrixMode, {GL_PROJECTION}), call(Fn::LoadIdentity),
                               call(Fn::Perspective, {60, 640.0 / 480.0, 1, 300})}));
    EXPECT_EQ(glrec::state().matrixMode, GL_PROJECTION);

    // A zero height is taken as one, never an infinite aspect.
    glrec::reset();
    demo::onReshape(640, 0);
    EXPECT_EQ(glrec::callsOf(Fn::Perspective).at(0), call(Fn::Perspective, {60, 640, 1, 300}));
}

// The capture and the page set the start state in one call; the desktop
// program sets it in two steps, and must arrive at the same calls.
TEST_F(DesktopShell, StartUpAndTheFirstReshapeSetTheStateTheOtherShellsStartFrom) {
    EXPECT_EQ(runDemo(), 0);
    glrec::reshapeCallback()(640, 480);
    std::vector<glrec::Call> desktopState;
    for (const glrec::Call& c : glrec::calls()) {
        if (std::string(glrec::name(c.fn)).compare(0, 4, "glut") != 0) desktopState.push_back(c);
    }
    glrec::reset();
    demo::setStartGlState();
    EXPECT_EQ(glrec::describe(desktopState), glrec::describe(glrec::calls()));
    EXPECT_EQ(glrec::calls().size(), 6u);
}

TEST_F(DesktopShell, IdleAsksForTheNextFrameAtOnce) {
    demo::presentFrame();  // GLUT drew a frame since the last idle call
    glrec::reset();
    demo::onIdle();
    EXPECT_EQ(glrec::describe(glrec::calls()), "glutPostRedisplay()\n");
}

TEST_F(DesktopShell, AKeyStopsTheMusicGivesTheScreenBackAndExitsWithZero) {
    runDemo();
    ASSERT_TRUE(glrec::gameModeActive());
    EXPECT_EXIT(
        {
            std::atexit([] {
                // Print the music calls made by the quit steps, and the screen.
                for (const auto& c : fakemusic::calls())
                    std::fprintf(stderr, "%s\n", c.text.c_str());
                std::fprintf(stderr, "[game mode active at exit: %d]\n", glrec::gameModeActive());
            });
            fakemusic::reset();
            demo::onKey('q', 10, 20);
        },
        ::testing::ExitedWithCode(0),
        "^BASSMOD_MusicStop\\(\\)\nBASSMOD_MusicFree\\(\\)\nBASSMOD_Free\\(\\)\n"
        "\\[game mode active at exit: 0\\]\n$");
}

TEST_F(DesktopShell, ATerminationSignalEndsTheShowAtTheNextIdleWith128PlusItsNumber) {
    runDemo();
    EXPECT_EXIT(
        {
            std::raise(SIGTERM);  // only sets a flag: the process goes on
            std::fprintf(stderr, "still running\n");
            demo::onIdle();
        },
        ::testing::ExitedWithCode(128 + SIGTERM), "^still running\n$");
    EXPECT_EXIT(
        {
            std::raise(SIGINT);
            demo::onIdle();
        },
        ::testing::ExitedWithCode(128 + SIGINT), "");
}

}  // namespace
