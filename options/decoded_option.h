// One decoded command-line option, and the error bits decoding may set.
#ifndef VORN_OPTIONS_DECODED_OPTION_H
#define VORN_OPTIONS_DECODED_OPTION_H

#include <cstddef>
#include <cstdint>

namespace vorn {

inline constexpr int ERR_DISABLED = 0x01;
inline constexpr int ERR_MISSING_ARGUMENT = 0x02;
inline constexpr int ERR_WRONG_LANGUAGE = 0x04;
inline constexpr int ERR_NOT_UNSIGNED = 0x08;
inline constexpr int ERR_OUT_OF_RANGE = 0x10;
inline constexpr int ERR_BAD_ENUM = 0x20;
inline constexpr int ERR_NEGATIVE_REJECTED = 0x40;
inline constexpr int ERR_BAD_ENUM_SET = 0x80;

inline constexpr std::size_t kMaxCanonicalElements = 4;

struct DecodedOption {
  // An option row, or UNKNOWN_OPTION, IGNORED_OPTION, REMOVED_OPTION,
  // PROGRAM_NAME_ENTRY, INPUT_FILE_ENTRY.
  std::size_t index;
  const char* usage_warning;
  // The argument; the whole element for unknown options, the program name
  // and input files.
  const char* argument;
  // The elements the option used, joined by spaces ("" for an empty one).
  const char* written_text;
  const char* canonical[kMaxCanonicalElements];
  std::size_t canonical_count;
  // 1 for the positive form, 0 for the "no-" form, or the decoded number or
  // enumerated value.
  std::int64_t value;
  // For enumerated lists: the bits of the variable the list replaces.
  std::int64_t mask;
  int errors;
};

}  // namespace vorn

#endif  // VORN_OPTIONS_DECODED_OPTION_H
