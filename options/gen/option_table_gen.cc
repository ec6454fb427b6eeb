// Build-time generator of the option table.
//
//   option_table_gen OPTIONS.def ENUMS.def VARIABLES.def OUT_CODES OUT_RECORD OUT_SOURCE
//
// Reads the definitions, sorts the rows byte-wise, derives the link fields,
// checks the table's counts and writes the constant tables.  Any
// inconsistency fails the build with a message naming the definition line.
#include "options/gen/def_reader.h"
#include "options/gen/gen_model.h"

int main(int argc, char** argv) {
  using namespace vorn::gen;
  if (argc != 7) {
    fail("usage: option_table_gen OPTIONS.def ENUMS.def VARIABLES.def CODES.h RECORD.h OUT.cc");
  }
  Model model = read_definitions(argv[1], argv[2], argv[3]);
  check_counts(model);
  write_codes_header(model, argv[4]);
  write_record_header(model, argv[5]);
  write_source(model, argv[6]);
  return 0;
}
