// Stand-in for scene 1 until the scene itself is built: a plain screen in its
// own colour, so the sequencer's progress can be seen.
#include <GL/glut.h>

#include "scenes/scenes.h"

namespace demo {

void scene1(int) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.2f, 0.3f, 0.8f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

}  // namespace demo
