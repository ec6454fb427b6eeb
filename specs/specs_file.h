// Reading specs files: named-spec items, compiler entries, the link command
// and the "%include", "%include_noerr" and "%rename" directives.
#ifndef VORN_SPECS_SPECS_FILE_H
#define VORN_SPECS_SPECS_FILE_H

#include <string_view>

namespace vorn {

// Reads FILENAME.  In the MAIN_FILE, lines starting with "%" are ordinary
// items, not directives.  USER marks specs set from a -specs= file.
// VERBOSE (-v) reports what is read and renamed on standard error.  Every
// malformed item is a fatal error; so is an include cycle or a runaway
// include depth.
void load_specs_file(const char* filename, bool main_file, bool user, bool verbose);

// Reads specs-file TEXT as if it came from the file FILENAME (for tests and
// the fuzzer).
void load_specs_text(const char* filename, std::string_view text, bool main_file, bool user,
                     bool verbose);

}  // namespace vorn

#endif  // VORN_SPECS_SPECS_FILE_H
