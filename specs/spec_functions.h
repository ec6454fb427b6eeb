// Spec functions: "%:name(arguments)" calls a built-in function with the
// words its arguments expand to; a returned text is expanded in place.
#ifndef VORN_SPECS_SPEC_FUNCTIONS_H
#define VORN_SPECS_SPEC_FUNCTIONS_H

#include <optional>
#include <string_view>

namespace vorn {

// A handler gets the argument words (ARGV[ARGC] is null) and returns the
// text to expand, or null for "no result".
using SpecFunctionHandler = const char* (*)(int argc, const char** argv);

struct SpecFunction {
  const char* name;
  SpecFunctionHandler handler;
};

// The function called NAME, or none.
std::optional<SpecFunction> find_spec_function(std::string_view name);

// Calls the function whose name starts at P (just after "%:").  Expands
// the arguments with MATCHED_REMAINDER as the text of "%*", runs the
// handler in a fresh context and interprets its result into the caller's
// command.  RESULT_PRESENT (may be null) tells whether the handler
// returned a text.  Returns the position after ")", or null when the
// result failed to expand.  Malformed calls are fatal errors.
const char* call_spec_function(const char* p, bool* result_present, const char* matched_remainder);

// Compares two version numbers ("10.2" < "10.10"); invalid ones are fatal.
int compare_version_strings(const char* v1, const char* v2);

}  // namespace vorn

#endif  // VORN_SPECS_SPEC_FUNCTIONS_H
