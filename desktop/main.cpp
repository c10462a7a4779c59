// The show's entry point. It takes no options of its own (--help and
// --version only say so); GLUT sees the command line untouched.
#include "process/process.h"
#include "desktop/startup.h"

int main(int argc, char** argv) {
    demo::openStandardStreams();
    return demo::runDemo(argc, argv);
}
