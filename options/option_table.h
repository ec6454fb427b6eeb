// The option table: one constant row per option of the compiler family,
// sorted byte-wise by option text, generated at build time from
// options/options.def, enums.def and variables.def.  Nothing here is built
// or changed at run time.
#ifndef VORN_OPTIONS_OPTION_TABLE_H
#define VORN_OPTIONS_OPTION_TABLE_H

#include <cstddef>
#include <cstdint>

#include "options/option_codes.h"  // generated: OPT_* codes and OptionsRecord
#include "options/option_flags.h"

namespace vorn {


// How a use of an option changes its variable.
enum class VariableKind : std::uint8_t {
  Integer = 0,
  EqualsValue = 1,
  ClearBits = 2,
  SetBits = 3,
  ByteSize = 4,
  String = 5,
  Enumerated = 6,
  Deferred = 7,
};

inline constexpr std::uint16_t kNoVariable = 0xFFFF;

struct OptionDescriptor {
  const char* text;  // with its leading "-"
  const char* help;
  const char* missing_argument_message;
  const char* usage_warning;
  const char* alias_argument;
  const char* negative_alias_argument;
  std::uint16_t alias_target;  // OPTION_COUNT: not an alias
  std::uint16_t prefix_link;   // OPTION_COUNT: none
  std::uint8_t text_length;    // without the leading "-"
  std::int32_t negation_link;  // -1, the row itself, or the next ring member
  std::uint32_t flags;
  std::uint16_t attributes;
  std::uint16_t variable_offset;  // kNoVariable: none
  std::uint16_t enum_index;
  VariableKind variable_kind;
  std::int64_t variable_value;
  std::int32_t range_min;
  std::int32_t range_max;  // -1: no range
};

// Flags of an enumerated value.
inline constexpr std::uint32_t kEnumCanonical = 1u << 0;
inline constexpr std::uint32_t kEnumDriverOnly = 1u << 1;
inline constexpr unsigned kEnumSetShift = 2;

struct OptionEnumValue {
  const char* name;  // null ends the list
  std::int32_t value;
  std::uint32_t flags;
};

struct OptionEnumTable {
  const char* heading;
  const char* unknown_value_message;
  const OptionEnumValue* values;
  std::size_t storage_size;
  void (*set)(void* variable, int value);
  int (*get)(const void* variable);
};

// The list a Deferred variable holds: every use, in order.
struct DeferredOption {
  std::size_t index;
  const char* argument;
  std::int64_t value;
};
struct DeferredOptionList {
  DeferredOption* items;
  std::size_t count;
  std::size_t capacity;
};

extern const OptionDescriptor kOptionTable[OPTION_COUNT];
extern const OptionEnumTable kOptionEnumTables[kOptionEnumTableCount];
inline constexpr std::size_t kOptionLanguageCount = 14;
extern const char* const kOptionLanguageNames[kOptionLanguageCount];
// The values an OptionsRecord starts with.
extern const OptionsRecord kInitialOptionsRecord;

inline const OptionDescriptor& option_row(std::size_t index) {
  return kOptionTable[index];
}

inline bool option_has(const OptionDescriptor& row, std::uint16_t attribute) {
  return (row.attributes & attribute) != 0;
}

}  // namespace vorn

#endif  // VORN_OPTIONS_OPTION_TABLE_H
