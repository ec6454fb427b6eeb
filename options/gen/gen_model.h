// The option table as the generator holds it between reading the definition
// files and writing the generated sources.
#ifndef VORN_OPTIONS_GEN_GEN_MODEL_H
#define VORN_OPTIONS_GEN_GEN_MODEL_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorn::gen {

// Bits of the flags word and the attributes, as the table stores them.
inline constexpr std::uint32_t kLanguageMask = 0x3FFF;
inline constexpr std::uint32_t kParams = 1u << 16;
inline constexpr std::uint32_t kWarning = 1u << 17;
inline constexpr std::uint32_t kOptimization = 1u << 18;
inline constexpr std::uint32_t kDriver = 1u << 19;
inline constexpr std::uint32_t kTarget = 1u << 20;
inline constexpr std::uint32_t kCommon = 1u << 21;
inline constexpr std::uint32_t kJoined = 1u << 22;
inline constexpr std::uint32_t kSeparate = 1u << 23;
inline constexpr std::uint32_t kUndocumented = 1u << 24;
inline constexpr std::uint32_t kNoDebugRecord = 1u << 25;

inline constexpr std::uint32_t kDisabled = 1u << 0;
inline constexpr std::uint32_t kNoDriverArgument = 1u << 5;
inline constexpr std::uint32_t kRejectedByDriver = 1u << 6;
inline constexpr std::uint32_t kNoNegativeForm = 1u << 7;
inline constexpr std::uint32_t kArgumentOptional = 1u << 8;
inline constexpr std::uint32_t kUnsignedArgument = 1u << 9;
inline constexpr std::uint32_t kWideInteger = 1u << 10;
inline constexpr std::uint32_t kLowercaseArgument = 1u << 11;
inline constexpr std::uint32_t kSizeArgument = 1u << 12;

inline const char* const kLanguageNames[] = {"Ada",      "AdaSCIL", "AdaWhy", "C",   "C++",
                                             "D",        "Fortran", "Go",     "LTO", "LTODump",
                                             "Modula-2", "ObjC",    "ObjC++", "Rust"};

enum class AliasKind { kNone, kRow, kIgnored, kRemoved };

struct Row {
  std::string text;
  int line = 0;
  std::optional<std::string> help;
  int missing_message = 0;  // 1-based number into the message list; 0 none
  std::optional<std::string> usage_warning;
  AliasKind alias = AliasKind::kNone;
  std::string alias_name;
  std::optional<std::string> alias_argument;
  std::optional<std::string> negative_alias_argument;
  std::uint32_t flags = 0;
  std::uint32_t attributes = 0;
  int enum_index = -1;
  int list_mode = 0;  // 0 one value, 1 one value per set, 2 OR-ed list
  int range_min = -1;
  int range_max = -1;
  bool has_range = false;
  // From variables.def.
  std::string field;  // empty: no variable
  std::string kind = "Integer";
  long long kind_value = 0;
  // Derived.
  unsigned alias_target = 0;
  unsigned prefix_link = 0;
  unsigned text_length = 0;
  long negation_link = -1;
  std::string code;  // OPT_... name
};

struct EnumValue {
  std::string name;
  long value = 0;
  unsigned flags = 0;
};

struct EnumTable {
  std::optional<std::string> heading;
  std::optional<std::string> unknown_message;
  std::vector<EnumValue> values;
};

struct Field {
  std::string name;
  std::string type;  // int, int64, string, deferred
  std::string initial;
};

// A negation link given explicitly (ring member or a link into a ring).
struct NegationEdge {
  std::string from;
  std::string to;
};

struct Model {
  std::vector<std::string> missing_messages;
  std::vector<Row> rows;  // sorted byte-wise once derived
  std::vector<EnumTable> enums;
  std::vector<Field> fields;
  std::vector<NegationEdge> negation_edges;
  std::map<std::string, unsigned> index_of;  // option text -> row index
};

void read_options_def(const std::string& path, Model* model);
void read_enums_def(const std::string& path, Model* model);
void read_variables_def(const std::string& path, Model* model);

// Sorts the rows and computes every derived field; fails on inconsistent data.
void derive(Model* model);

// Checks the counts the table must have; fails with a list of every mismatch.
void check_counts(const Model& model);

void write_header(const Model& model, const std::string& path);
void write_source(const Model& model, const std::string& path);

}  // namespace vorn::gen

#endif  // VORN_OPTIONS_GEN_GEN_MODEL_H
