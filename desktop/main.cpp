// The show's entry point. Its one option, --reduce-flashing, and --help and
// --version are read by runDemo; GLUT sees the command line untouched.
#include "desktop/desktop_shell.h"
#include "process/process.h"

int main(int argc, char** argv) {
    demo::openStandardStreams();
    demo::setProgramName(argc > 0 ? argv[0] : nullptr, "demo");
    return demo::runDemo(argc, argv);
}
