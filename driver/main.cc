// vorn-cxx: compiles and links C++ (and the other languages of the
// family) by running the compilers proper, the assembler and the linker.
#include "driver/driver.h"
#include "driver/process_state.h"

int main(int argc, char** argv) {
  vorn::CompilerDriver driver(false, false);
  // An answer that could not be written must not end as a success.
  return vorn::finish_standard_output(driver.main(argc, argv));
}
