// Enumerated option arguments: looking values up by name and by integer, and
// decoding comma-separated lists.
#ifndef VORN_OPTIONS_ENUM_ARGS_H
#define VORN_OPTIONS_ENUM_ARGS_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "options/option_table.h"

namespace vorn {

// The position of the value named by the first LENGTH bytes of TEXT (the
// name must have exactly that length), or -1.  Driver-only values count only
// when LANGUAGE_MASK has the driver bit.  *VALUE receives its integer.
int enum_value_from_text(const OptionEnumTable& table, const char* text, std::size_t length,
                         int* value, std::uint32_t language_mask);

// The name of VALUE, preferring the name marked canonical; null when no name
// has that value.  *IS_CANONICAL tells whether the name found is marked so.
const char* enum_value_name(const OptionEnumTable& table, int value, std::uint32_t language_mask,
                            bool* is_canonical);

// List arguments: mode 1 takes at most one value per value set, mode 2 ORs
// any values together.
struct EnumListResult {
  bool ok;
  std::int64_t value;  // the OR of the element values
  std::int64_t mask;   // the bits the list replaces
};
EnumListResult decode_enum_list(const OptionEnumTable& table, const char* argument, int mode,
                                std::uint32_t language_mask);

// Why a list argument failed, for the error report.
struct EnumListFault {
  enum Kind { kNone, kUnknown, kRepeatedSet } kind;
  std::string_view culprit;  // the unknown (possibly empty) element
  std::string_view first;    // for kRepeatedSet: the earlier element of the set
  std::string_view second;   // and the later one
};
EnumListFault find_enum_list_fault(const OptionEnumTable& table, const char* argument, int mode,
                                   std::uint32_t language_mask);

}  // namespace vorn

#endif  // VORN_OPTIONS_ENUM_ARGS_H
