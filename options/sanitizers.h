// The sanitizer names of "-fsanitize=" and its relatives, and the parsing
// of their comma-separated lists.
#ifndef VORN_OPTIONS_SANITIZERS_H
#define VORN_OPTIONS_SANITIZERS_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "diagnostics/diagnostic.h"

namespace vorn {

// The name is held in the row rather than pointed to: the table needs no
// relocation when the driver is loaded.
struct SanitizerName {
  char name[28];
  std::size_t length;
  std::int64_t bits;
  bool trap_allowed;  // offered as a hint for "-fsanitize-trap="
};

// Every address sanitizer, user-space and kernel address sanitizers.
inline constexpr std::int64_t kSanitizeAddress = 0x1;
inline constexpr std::int64_t kSanitizeUserAddress = 0x2;
inline constexpr std::int64_t kSanitizeKernelAddress = 0x4;
// Every undefined-behaviour check, inside the "undefined" group or not.
inline constexpr std::int64_t kSanitizeUndefinedChecks = 0x3FFFFE0;

// In table order; "all" is the last row.
std::span<const SanitizerName> sanitizer_names();

// The set SET changed by the list ARGUMENT of option CODE
// ("-fsanitize=" or "-fsanitize-trap="); POSITIVE is false for the "no-"
// forms.  Unknown names are errors at LOCATION when COMPLAIN.
std::int64_t parse_sanitizer_list(const char* argument, SourceLocation location, std::size_t code,
                                  std::int64_t set, bool positive, bool complain);

// The name closest to the unknown NAME that option CODE would accept, or
// null.
const char* closest_sanitizer_name(const char* name, std::size_t length, std::size_t code,
                                   bool positive);

}  // namespace vorn

#endif  // VORN_OPTIONS_SANITIZERS_H
