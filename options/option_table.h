// The option table: one constant row per option of the compiler family,
// sorted byte-wise by option text, generated at build time from
// options/options.def, enums.def and variables.def.  Nothing here is built
// or changed at run time.
#ifndef VORN_OPTIONS_OPTION_TABLE_H
#define VORN_OPTIONS_OPTION_TABLE_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "options/option_flags.h"

// The generated option_codes.h (the OPT_* codes and the table's counts) and
// options_record.h (OptionsRecord) are included only where they are used:
// the codes change whenever a row is added, removed or renamed, and only
// the objects that name a code or a count are then recompiled.

namespace vorn {

struct OptionsRecord;

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

// Every text of the tables below, each ended by a null character, in one
// block: the rows hold offsets into it rather than pointers, so that the
// tables need no relocation when the driver is loaded.
extern const char kOptionStrings[];

// A text of a row: reads as the `const char*` it stands for (null for
// offset 0).  The copy constructor is written out so that passing one
// through "..." without converting it first is refused by the build.
class PooledText {
 public:
  explicit constexpr PooledText(std::uint32_t offset) : offset_(offset) {}
  constexpr PooledText(const PooledText& other) : offset_(other.offset_) {}
  PooledText& operator=(const PooledText&) = delete;

  const char* c_str() const { return offset_ == 0 ? nullptr : kOptionStrings + offset_; }
  operator const char*() const { return c_str(); }
  // Only for texts that exist (offset 0 has no string).
  operator std::string() const { return std::string(kOptionStrings + offset_); }

 private:
  std::uint32_t offset_;
};

struct OptionDescriptor {
  PooledText text;  // with its leading "-"
  PooledText help;
  PooledText missing_argument_message;
  PooledText usage_warning;
  PooledText alias_argument;
  PooledText negative_alias_argument;
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
  PooledText name;  // null ends the list
  std::int32_t value;
  std::uint32_t flags;
};

// The values of every enumerated argument, list after list.
extern const OptionEnumValue kOptionEnumValues[];

// The values of one table: reads as a pointer to the first.
class PooledEnumValues {
 public:
  explicit constexpr PooledEnumValues(std::uint32_t first) : first_(first) {}
  constexpr PooledEnumValues(const PooledEnumValues& other) : first_(other.first_) {}
  PooledEnumValues& operator=(const PooledEnumValues&) = delete;

  operator const OptionEnumValue*() const { return kOptionEnumValues + first_; }

 private:
  std::uint32_t first_;
};

// Every enumerated variable is an int.
struct OptionEnumTable {
  PooledText heading;
  PooledText unknown_value_message;
  PooledEnumValues values;
  std::size_t storage_size;

  void set(void* variable, int value) const { *static_cast<int*>(variable) = value; }
  int get(const void* variable) const { return *static_cast<const int*>(variable); }
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

// OPTION_COUNT rows.
extern const OptionDescriptor kOptionTable[];
// Entry C: the first row whose text after its "-" starts with byte C or a
// greater one (the rows are sorted by text); entry 256 is OPTION_COUNT.
extern const std::uint16_t kOptionFirstByteStart[257];
// kOptionEnumTableCount tables.
extern const OptionEnumTable kOptionEnumTables[];
inline constexpr std::size_t kOptionLanguageCount = 14;
extern const PooledText kOptionLanguageNames[kOptionLanguageCount];
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
