// Spec functions that compare numbers and versions.
#include <regex.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "diagnostics/diagnostic.h"
#include "options/options_record.h"
#include "specs/spec_function_handlers.h"
#include "specs/spec_functions.h"
#include "specs/spec_groups.h"
#include "specs/spec_state.h"
#include "support/char_class.h"

namespace vorn {
namespace {

const regex_t& version_pattern() {
  static regex_t pattern;
  static bool compiled = false;
  if (!compiled) {
    ensure_ctype_locale();  // the pattern is compiled for the locale's character set
    if (regcomp(&pattern, "^([1-9][0-9]*|0)(\\.([1-9][0-9]*|0))*$", REG_EXTENDED | REG_NOSUB) !=
        0) {
      internal_error("cannot compile the version-number pattern");
    }
    compiled = true;
  }
  return pattern;
}

void check_version(const char* version) {
  int result = regexec(&version_pattern(), version, 0, nullptr, 0);
  if (result == REG_NOMATCH) fatal_error(current_location, "invalid version number %qs", version);
  if (result != 0) internal_error("cannot match version number %qs", version);
}

// The text after SWITCH_PREFIX of the last live switch that starts with
// it, or null.
const char* last_switch_value(const char* switch_prefix) {
  std::size_t length = std::strlen(switch_prefix);
  const SwitchTable& table = command_line().switches;
  const char* value = nullptr;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (std::strncmp(table[i].text, switch_prefix, length) != 0) continue;
    if (switch_is_live(i, static_cast<int>(length))) value = table[i].text + length;
  }
  return value;
}

// The decimal integer ARGUMENT starts with; anything else is a bug of the
// spec that passed it.
long leading_integer(const char* argument, const char* function) {
  char* end = nullptr;
  long value = std::strtol(argument, &end, 10);
  if (end == argument) {
    internal_error("spec function %qs: %qs does not start with a number", function, argument);
  }
  return value;
}

}  // namespace

int compare_version_strings(const char* v1, const char* v2) {
  check_version(v1);
  check_version(v2);
  int result = strverscmp(v1, v2);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

namespace spec_functions {

const char* version_compare(int argc, const char** argv) {
  if (argc < 3) fatal_error(current_location, "too few arguments to %%:version-compare");
  const char* op = argv[0];
  if (op[0] == '\0') internal_error("empty operator in %%:version-compare");
  int versions = (op[1] == '<' || op[1] == '>') && op[0] != '!' ? 2 : 1;
  if (argc != versions + 3)
    fatal_error(current_location, "too many arguments to %%:version-compare");

  const char* value = last_switch_value(argv[versions + 1]);
  bool have_switch = value != nullptr;
  int c1 = -1;
  int c2 = -1;
  if (have_switch) {
    c1 = compare_version_strings(value, argv[1]);
    if (versions == 2) c2 = compare_version_strings(value, argv[2]);
  }
  std::string_view op_text(op);
  bool holds;
  if (op_text == ">=") {
    holds = c1 >= 0;
  } else if (op_text == "<") {
    holds = c1 < 0;
  } else if (op_text == "!<") {
    holds = c1 >= 0 || !have_switch;
  } else if (op_text == "!>") {
    holds = c1 < 0 || !have_switch;
  } else if (op_text == "><") {
    holds = c1 >= 0 && c2 < 0;
  } else if (op_text == "<>") {
    holds = c1 < 0 || c2 >= 0;
  } else {
    fatal_error(current_location, "unknown operator %qs in %%:version-compare", op);
  }
  return holds ? argv[versions + 2] : nullptr;
}

const char* greater_than(int argc, const char** argv) {
  if (argc == 0) internal_error("spec function %qs called without arguments", "gt");
  if (argc == 1) return nullptr;
  long left = leading_integer(argv[argc - 2], "gt");
  long right = leading_integer(argv[argc - 1], "gt");
  return left > right ? "" : nullptr;
}

const char* debug_level_greater(int argc, const char** argv) {
  if (argc != 1) fatal_error(current_location, "wrong number of arguments to %%:debug-level-gt");
  long level = leading_integer(argv[0], "debug-level-gt");
  long current = spec_options()->x_debug_level;
  return current > level ? "" : nullptr;
}

const char* dwarf_version_greater(int argc, const char** argv) {
  if (argc != 1) fatal_error(current_location, "wrong number of arguments to %%:dwarf-version-gt");
  long version = leading_integer(argv[0], "dwarf-version-gt");
  long current = spec_options()->x_dwarf_version;
  return current > version ? "" : nullptr;
}

}  // namespace spec_functions
}  // namespace vorn
