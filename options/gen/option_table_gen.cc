// Build-time generator of the option table.
//
//   option_table_gen OPTIONS.def ENUMS.def VARIABLES.def OUT_HEADER OUT_SOURCE
//
// Reads the definitions, sorts the rows byte-wise, derives the link fields,
// checks the table's counts and writes the constant tables.  Any
// inconsistency fails the build with a message naming the definition line.
#include "options/gen/def_reader.h"
#include "options/gen/gen_model.h"

int main(int argc, char** argv) {
  using namespace vorn::gen;
  if (argc != 6) {
    fail("usage: option_table_gen OPTIONS.def ENUMS.def VARIABLES.def OUT.h OUT.cc");
  }
  Model model = read_definitions(argv[1], argv[2], argv[3]);
  check_counts(model);
  write_header(model, argv[4]);
  write_source(model, argv[5]);
  return 0;
}
