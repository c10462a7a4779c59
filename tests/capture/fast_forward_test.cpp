// The fast-forward's log against the call recorder: the show's calls made
// while fast-forwarding reach nothing, and what is sent when it ends is, rule
// by rule, what leaves GL as the calls would have (capture/fast_forward.h).
// Linked with the scene calls wrapped, as demo-capture is; no X, no GL.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "capture/fast_forward.h"
#include "tests/support/gl_recorder.h"

namespace {

using glrec::call;
using glrec::Fn;

// What ending the fast-forward sends to GL after calls made while it ran.
std::vector<glrec::Call> sentAfter(const std::function<void()>& calls) {
    glrec::reset();
    demo::FastForwardLog log;
    demo::startFastForward(log);
    calls();
    EXPECT_EQ(glrec::calls().size(), 1u) << "a call reached GL while fast-forwarding:\n"
                                         << glrec::describe(glrec::calls());
    glrec::reset();
    demo::endFastForward(log);
    return glrec::calls();
}

std::string expected(std::initializer_list<glrec::Call> calls) {
    return glrec::describe(std::vector<glrec::Call>(calls));
}

const glrec::Call modelview = call(Fn::MatrixMode, {GL_MODELVIEW});

TEST(FastForwardLog, APopDropsItsPushAndEverythingAfterIt) {
    const auto sent = sentAfter([] {
        glTranslatef(1, 2, 3);
        glPushMatrix();
        glScalef(2, 2, 2);
        glPushMatrix();
        glRotatef(30, 0, 0, 1);
        glPopMatrix();
        glBegin(GL_QUADS);
        glVertex3f(0, 0, 0);
        glEnd();
        glPopMatrix();
    });
    EXPECT_EQ(glrec::describe(sent),
              expected({modelview, call(Fn::Translatef, {1, 2, 3}), modelview}));
}

TEST(FastForwardLog, AResetDropsTheCallsBeforeItButNotAPopOfALevelPushedBefore) {
    // Outside any push of the log: what came before the reset goes.
    EXPECT_EQ(
        glrec::describe(sentAfter([] {
            glTranslatef(1, 2, 3);
            glRotatef(45, 1, 0, 0);
            glLoadIdentity();
            glScalef(4, 5, 6);
        })),
        expected({modelview, call(Fn::LoadIdentity), call(Fn::Scalef, {4, 5, 6}), modelview}));
    // A pop of a level pushed before fast-forwarding changes the depth: kept.
    EXPECT_EQ(glrec::describe(sentAfter([] {
                  glPopMatrix();
                  glTranslatef(1, 2, 3);
                  glLoadIdentity();
              })),
              expected({modelview, call(Fn::PopMatrix), call(Fn::LoadIdentity), modelview}));
    // Inside a push still open, a reset only resets that level.
    EXPECT_EQ(glrec::describe(sentAfter([] {
                  glTranslatef(1, 2, 3);
                  glPushMatrix();
                  glLoadIdentity();
              })),
              expected({modelview, call(Fn::Translatef, {1, 2, 3}), call(Fn::PushMatrix),
                        call(Fn::LoadIdentity), modelview}));
}

TEST(FastForwardLog, EachStackKeepsItsOwnCallsWithTheirExactArguments) {
    const auto sent = sentAfter([] {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(0.1, 4.0 / 3.0, 0.3, 1e9);
        glMatrixMode(GL_MODELVIEW);
        gluLookAt(0.1, 0.2, 0.3, 1.0 / 3.0, 5, 6, 0, 1, 0);
        glRotatef(0.1f, 0, 1, 0);
    });
    EXPECT_EQ(glrec::describe(sent),
              expected({call(Fn::MatrixMode, {GL_PROJECTION}), call(Fn::LoadIdentity),
                        call(Fn::Perspective, {0.1, 4.0 / 3.0, 0.3, 1e9}), modelview,
                        call(Fn::LookAt, {0.1, 0.2, 0.3, 1.0 / 3.0, 5, 6, 0, 1, 0}),
                        call(Fn::Rotatef, {double(0.1f), 0, 1, 0}), modelview}));
}

TEST(FastForwardLog, EachSettingIsSentOnceWithItsLastValueAndDrawingNever) {
    const auto sent = sentAfter([] {
        for (int i = 1; i <= 2; ++i) {
            glEnable(GL_BLEND);
            glDisable(GL_BLEND);
            glEnable(GL_SCISSOR_TEST);
            glShadeModel(i == 1 ? GL_SMOOTH : GL_FLAT);
            glBlendFunc(GL_ONE, i == 1 ? GL_ONE : GL_SRC_ALPHA);
            glClearColor(0.1f * float(i), 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glScissor(i, 0, 640, 24);
            glViewport(0, i, 640, 480);
            glColor3f(0.5f, 0.25f, float(i));
            glBegin(GL_QUADS);
            glVertex3f(1, 2, 3);
            glEnd();
        }
    });
    EXPECT_EQ(
        glrec::describe(sent),
        expected({modelview, call(Fn::Disable, {GL_BLEND}), call(Fn::Enable, {GL_SCISSOR_TEST}),
                  call(Fn::ShadeModel, {GL_FLAT}), call(Fn::BlendFunc, {GL_ONE, GL_SRC_ALPHA}),
                  call(Fn::ClearColor, {double(0.2f), 0, 0, 1}), call(Fn::Scissor, {2, 0, 640, 24}),
                  call(Fn::Viewport, {0, 2, 640, 480}), call(Fn::Color3f, {0.5, 0.25, 2})}));
    // Then the calls reach GL again, and the next fast-forward starts empty.
    glTranslatef(7, 8, 9);
    EXPECT_EQ(glrec::describe(glrec::calls().back()),
              glrec::describe(call(Fn::Translatef, {7, 8, 9})));
    EXPECT_EQ(glrec::describe(sentAfter([] {})), expected({modelview}));
}

}  // namespace
