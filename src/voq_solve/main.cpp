// voq-solve: the headless front end. Reads a text of equations, compiles and
// solves it, and prints the solution.
#include <cstring>
#include <iostream>

#ifndef VOQ_VERSION
#define VOQ_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "voq-solve " << VOQ_VERSION << "\n";
      return 0;
    }
  }
  std::cerr << "usage: voq-solve --version\n";
  return 2;
}
