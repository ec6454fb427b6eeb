// Build-time generator of the option reference.
//
//   option_reference_gen OPTIONS.def ENUMS.def VARIABLES.def PAGE.in OUT
//
// Reads the definitions as the table generator does and writes the manual
// page OUT from the template PAGE.in.
#include <fstream>
#include <sstream>

#include "options/gen/def_reader.h"
#include "options/gen/gen_model.h"
#include "options/gen/reference.h"
#include "support/generated_source.h"

int main(int argc, char** argv) {
  using namespace vorn::gen;
  if (argc != 6) {
    fail("usage: option_reference_gen OPTIONS.def ENUMS.def VARIABLES.def PAGE.in OUT");
  }
  Model model = read_definitions(argv[1], argv[2], argv[3]);
  std::ifstream in(argv[4]);
  if (!in) fail(std::string("cannot read ") + argv[4]);
  std::stringstream page;
  page << in.rdbuf();
  if (!write_if_changed(argv[5], reference_page(model, page.str()))) {
    fail(std::string("cannot write ") + argv[5]);
  }
  return 0;
}
