// The show's entry point. It takes no options of its own (--help and
// --version only say so); GLUT sees the command line untouched.
#include "shell/process.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    demo::openStandardStreams();
    return demo::runDemo(argc, argv);
}
