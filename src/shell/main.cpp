// voq: the desktop program.
#include "shell/program.h"

int main(int argc, char** argv) { return voq::RunProgram(argc, argv); }
