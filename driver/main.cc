// vorn-cxx: compiles and links C++ (and the other languages of the
// family) by running the compilers proper, the assembler and the linker.
#include "driver/driver.h"
#include "driver/process_state.h"
#include "driver/run.h"
#include "support/process_exit.h"

int main(int argc, char** argv) {
  // The run's whole state; it lives until the way out, which may still
  // read it.
  vorn::Run run;
  int status;
  {
    vorn::CompilerDriver driver(run, false, false);
    status = driver.main(argc, argv);
  }
  // An answer that could not be written must not end as a success; and a
  // run ends the way every other ending does.
  vorn::exit_process(vorn::finish_standard_output(status));
}
