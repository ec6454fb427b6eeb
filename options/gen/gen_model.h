// The option table as the generator holds it between reading the definition
// files and writing the generated sources.
#ifndef VORN_OPTIONS_GEN_GEN_MODEL_H
#define VORN_OPTIONS_GEN_GEN_MODEL_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "options/option_flags.h"

namespace vorn::gen {

// Bits of the flags word and the attributes, as the table stores them
// (options/option_flags.h), under the generator's shorter names.
inline constexpr std::uint32_t kLanguageMask = kFlagLanguages;
inline constexpr std::uint32_t kParams = kFlagParams;
inline constexpr std::uint32_t kWarning = kFlagWarning;
inline constexpr std::uint32_t kOptimization = kFlagOptimization;
inline constexpr std::uint32_t kDriver = kFlagDriver;
inline constexpr std::uint32_t kTarget = kFlagTarget;
inline constexpr std::uint32_t kCommon = kFlagCommon;
inline constexpr std::uint32_t kJoined = kFlagJoined;
inline constexpr std::uint32_t kSeparate = kFlagSeparate;
inline constexpr std::uint32_t kUndocumented = kFlagUndocumented;
inline constexpr std::uint32_t kNoDebugRecord = kFlagNoDebugRecord;

inline constexpr std::uint32_t kDisabled = kAttrDisabled;
inline constexpr std::uint32_t kNoDriverArgument = kAttrNoDriverArgument;
inline constexpr std::uint32_t kRejectedByDriver = kAttrRejectedByDriver;
inline constexpr std::uint32_t kNoNegativeForm = kAttrNoNegativeForm;
inline constexpr std::uint32_t kArgumentOptional = kAttrArgumentOptional;
inline constexpr std::uint32_t kUnsignedArgument = kAttrUnsignedArgument;
inline constexpr std::uint32_t kWideInteger = kAttrWideInteger;
inline constexpr std::uint32_t kLowercaseArgument = kAttrLowercaseArgument;
inline constexpr std::uint32_t kSizeArgument = kAttrSizeArgument;

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

// The three files read and the model derived, as every generator needs it.
Model read_definitions(const std::string& options, const std::string& enums,
                       const std::string& variables);

// Checks the counts the table must have; fails with a list of every mismatch.
void check_counts(const Model& model);

void write_codes_header(const Model& model, const std::string& path);
void write_record_header(const Model& model, const std::string& path);
void write_source(const Model& model, const std::string& path);

}  // namespace vorn::gen

#endif  // VORN_OPTIONS_GEN_GEN_MODEL_H
