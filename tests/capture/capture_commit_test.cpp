// Putting a capture's outputs in place: all or none, whatever happens at
// each step of the commit. Every rename the commit makes goes through the
// wrapper below (the test is linked with -Wl,--wrap=rename), which fails
// it, or sends the process a termination signal just before it.
#include <signal.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "capture/outputs.h"
#include "process/signals.h"
#include "tests/capture/capture_support.h"

namespace {

// What the wrapper does at rename number `at` (1: the first): nothing,
// fail it, or raise SIGINT once or twice before it.
enum class AtRename { nothing, fail, signal, twoSignals };
AtRename action = AtRename::nothing;
int at = 0, renames = 0;

}  // namespace

extern "C" int __real_rename(const char* from, const char* to);
extern "C" int __wrap_rename(const char* from, const char* to) {
    if (++renames == at && action == AtRename::fail) {
        errno = EIO;
        return -1;
    }
    if (renames == at && action != AtRename::nothing) raise(SIGINT);
    if (renames == at && action == AtRename::twoSignals) raise(SIGINT);
    return __real_rename(from, to);
}

namespace {

const std::vector<std::string> names = {"show.mp4", "show.wav", "new.txt"};

class CaptureCommit : public ::testing::Test {
protected:
    void SetUp() override {
        folder = testsupport::makeTemporaryFolder("capture-commit-test");
        // The user's earlier files, but no earlier new.txt.
        for (std::size_t i = 0; i + 1 < names.size(); ++i)
            write(path(names[i]), "old " + names[i]);
    }
    void TearDown() override { testsupport::removeFolder(folder); }

    std::string path(const std::string& name) const { return folder + "/" + name; }
    static void write(const std::string& file, const std::string& text) {
        std::FILE* f = std::fopen(file.c_str(), "w");
        ASSERT_NE(f, nullptr) << file;
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }

    // Reserves the three outputs, writes them, and commits them with the
    // wrapper doing what at its rename number `atRename`.
    bool commit(AtRename what, int atRename, std::string& error) {
        std::vector<demo::PendingOutput> outputs(names.size());
        std::vector<demo::PendingOutput*> all;
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_TRUE(demo::reserveOutput(path(names[i]), outputs[i], error)) << error;
            write(outputs[i].temporaryPath, "new " + names[i]);
            all.push_back(&outputs[i]);
        }
        action = what;
        at = atRename;
        renames = 0;
        const bool ok = demo::commitOutputs(all, error);
        action = AtRename::nothing;
        for (demo::PendingOutput& output : outputs)
            demo::discardOutput(output);
        return ok;
    }

    // The folder's files and their contents, hidden ones too.
    std::string contents() const {
        return testsupport::commandOutput("cd '" + folder + "' && for f in $(ls -A); do " +
                                          "echo \"$f: $(cat $f)\"; done");
    }

    std::string folder;
};

const std::string before = "show.mp4: old show.mp4\nshow.wav: old show.wav";
const std::string after = "new.txt: new new.txt\nshow.mp4: new show.mp4\nshow.wav: new show.wav";

TEST_F(CaptureCommit, ARenameThatFailsAtAnyStepLeavesEveryEarlierFileAsItWas) {
    for (int step = 1; step <= 3; ++step) {
        std::string error;
        EXPECT_FALSE(commit(AtRename::fail, step, error)) << "step " << step;
        EXPECT_EQ(error,
                  "cannot write " + path(names[std::size_t(step - 1)]) + ": Input/output error");
        EXPECT_EQ(contents(), before) << "after a failure at step " << step;
    }
    std::string error;
    EXPECT_TRUE(commit(AtRename::nothing, 0, error)) << error;
    EXPECT_EQ(contents(), after);
}

// In a process of its own: the signal's clean stop is for the program to
// make; the commit only has to finish or not start.
TEST_F(CaptureCommit, ASignalAtAnyStepComesAfterTheWholeCommit) {
    for (AtRename what : {AtRename::signal, AtRename::twoSignals}) {
        for (int step = 1; step <= 3; ++step) {
            SetUp();
            EXPECT_EXIT(
                {
                    demo::catchTerminationSignals();
                    demo::deferTerminationSignals();
                    std::string error;
                    const bool ok = commit(what, step, error);
                    // Two signals end the process at the release, with 130.
                    _exit(ok && demo::terminationSignal() == SIGINT ? 0 : 1);
                },
                ::testing::ExitedWithCode(what == AtRename::signal ? 0 : 128 + SIGINT), "")
                << "step " << step;
            EXPECT_EQ(contents(), after) << "signal at step " << step;
            TearDown();
        }
    }
    SetUp();
}

TEST_F(CaptureCommit, AnOutputNameOfTheLongestLengthIsWrittenBesideItsHiddenName) {
    const std::string longest(255, 'n');
    // Two-byte characters: the hidden name is not cut inside one.
    std::string accented;
    while (accented.size() < 254)
        accented += "\xc3\xa9";
    for (const std::string& name : {longest, accented}) {
        const std::string hidden = demo::hiddenBeside(path(name), ".part-XXXXXX");
        const std::string hiddenName = hidden.substr(folder.size() + 1);
        EXPECT_LE(hiddenName.size(), 255u);
        EXPECT_EQ(hiddenName.find(".part-XXXXXX"), hiddenName.size() - 12);
        const std::string kept = hiddenName.substr(1, hiddenName.size() - 13);
        EXPECT_EQ(name.compare(0, kept.size(), kept), 0);
        EXPECT_EQ(kept.size() % 2, 0u) << "a character cut in half";

        demo::PendingOutput output;
        std::string error;
        ASSERT_TRUE(demo::reserveOutput(path(name), output, error)) << error;
        write(output.temporaryPath, "new");
        ASSERT_TRUE(demo::commitOutputs({&output}, error)) << error;
        EXPECT_EQ(testsupport::readFileBytes(path(name)), "new");
    }
}

}  // namespace
