// The show's entry point. It takes no options of its own; GLUT sees the
// command line untouched.
#include "shell/startup.h"

int main(int argc, char** argv) { return demo::runDemo(argc, argv); }
