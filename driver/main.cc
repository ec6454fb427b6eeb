// vorn-cxx: compiles and links C++ (and the other languages of the
// family) by running the compilers proper, the assembler and the linker.
#include "driver/driver.h"

int main(int argc, char** argv) {
  vorn::CompilerDriver driver(false, false);
  return driver.main(argc, argv);
}
