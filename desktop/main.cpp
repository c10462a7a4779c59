// The show's entry point. It takes no options of its own (--help and
// --version only say so); GLUT sees the command line untouched.
#include "desktop/desktop_shell.h"
#include "process/process.h"

int main(int argc, char** argv) {
    demo::openStandardStreams();
    demo::setProgramName(argc > 0 ? argv[0] : nullptr, "demo");
    return demo::runDemo(argc, argv);
}
