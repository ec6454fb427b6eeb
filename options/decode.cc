// decode_cmdline_option: find the row, collect the argument, resolve aliases,
// check language and argument, and fill the record.
#include <cstring>
#include <string>

#include "options/canonical.h"
#include "options/decode.h"
#include "options/enum_args.h"
#include "options/integer_argument.h"
#include "options/lookup.h"
#include "options/option_arena.h"
#include "options/option_codes.h"
#include "options/option_errors.h"
#include "options/option_table.h"
#include "options/prefix_mappings.h"

namespace vorn {
namespace {

// The row an argument names and how it was reached.
struct Found {
  std::size_t index;
  // The option text as matched, with its "-": the element itself, or the
  // rewritten text of a prefix mapping.  A joined argument follows the row's
  // text in it.
  const char* text;
  bool negated;
  std::size_t elements;  // argv elements the option text used (2 for "--machine" "no-x")
};

bool mapping_applies(const PrefixMapping& m, const char* const* argv, const char** rest,
                     std::size_t* elements) {
  std::size_t length = std::strlen(m.prefix);
  if (std::strncmp(argv[0], m.prefix, length) != 0) return false;
  *rest = argv[0] + length;
  *elements = 1;
  if (m.second_prefix != nullptr) {
    // The option continues in the next element, so this one must end here.
    std::size_t second = std::strlen(m.second_prefix);
    if (**rest != '\0' || argv[1] == nullptr) return false;
    if (std::strncmp(argv[1], m.second_prefix, second) != 0) return false;
    *rest = argv[1] + second;
    *elements = 2;
  }
  return !m.needs_more || **rest != '\0';
}

Found look_up(const char* const* argv, std::uint32_t language_mask) {
  std::size_t index = find_option(argv[0] + 1, language_mask);
  if (index != UNKNOWN_OPTION) return Found{index, argv[0], false, 1};
  std::string candidate;
  for (const PrefixMapping& m : kPrefixMappings) {
    const char* rest = nullptr;
    std::size_t elements = 0;
    if (!mapping_applies(m, argv, &rest, &elements)) continue;
    candidate.assign(m.replacement).append(rest);
    index = find_option(candidate.c_str() + 1, language_mask);
    if (index != UNKNOWN_OPTION) {
      return Found{index, arena_strdup(candidate.c_str()), m.negated, elements};
    }
  }
  return Found{UNKNOWN_OPTION, argv[0], false, 1};
}

// What decoding has gathered so far.
struct State {
  std::size_t index;
  const char* argument = nullptr;
  bool argument_separate = false;
  std::int64_t value = 1;
  std::int64_t mask = 0;
  int errors = 0;
  const char* usage_warning = nullptr;
  std::size_t consumed = 1;
  std::size_t separate_args = 0;
};

// The elements as written, separated by blanks; an empty element is
// written as "".  Measured first, then copied straight into the arena.
const char* written_text(const char* const* argv, std::size_t count) {
  auto element = [](const char* text) { return text[0] == '\0' ? "\"\"" : text; };
  if (count == 1) return arena_strdup(element(argv[0]));
  std::size_t total = 0;
  for (std::size_t i = 0; i < count; ++i) total += (i > 0 ? 1 : 0) + std::strlen(element(argv[i]));
  char* text = static_cast<char*>(arena_allocate(total + 1));
  char* out = text;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) *out++ = ' ';
    const char* source = element(argv[i]);
    std::size_t length = std::strlen(source);
    std::memcpy(out, source, length);
    out += length;
  }
  *out = '\0';
  return text;
}

void collect_argument(const char* const* argv, const Found& found, std::uint32_t language_mask,
                      State* s) {
  const OptionDescriptor& row = kOptionTable[found.index];
  unsigned extra = (row.attributes & kAttrExtraSeparateArgs) >> kAttrExtraSeparateArgsShift;
  bool driver_without_argument =
      option_has(row, kAttrNoDriverArgument) && (language_mask & kFlagDriver);
  if ((row.flags & kFlagSeparate) && !driver_without_argument) s->separate_args = extra + 1;
  if (row.flags & kFlagJoined) {
    s->argument = found.text + row.text_length + 1;
    if (*s->argument == '\0' && !option_has(row, kAttrArgumentOptional)) {
      s->argument = s->separate_args > 0 ? argv[s->consumed] : nullptr;
      if (s->argument != nullptr) {
        ++s->consumed;
        s->argument_separate = true;
      }
    }
  } else if (s->separate_args > 0) {
    for (std::size_t i = 0; i < s->separate_args; ++i) {
      const char* element = argv[s->consumed];
      if (element == nullptr) {
        s->errors |= ERR_MISSING_ARGUMENT;
        break;
      }
      if (i == 0) s->argument = element;
      ++s->consumed;
    }
    s->argument_separate = true;
  }
  bool takes_argument = (row.flags & kFlagJoined) || s->separate_args > 0;
  if (takes_argument && s->argument == nullptr) s->errors |= ERR_MISSING_ARGUMENT;
}

// Replaces an alias by its target.  Returns false when the target is
// IGNORED_OPTION or REMOVED_OPTION, which end decoding.
bool resolve_alias(State* s) {
  const OptionDescriptor& row = kOptionTable[s->index];
  if (row.alias_target == OPTION_COUNT) return true;
  if (option_has(row, kAttrSeparateAlias) && !s->argument_separate) return true;
  if (row.alias_target == IGNORED_OPTION || row.alias_target == REMOVED_OPTION) {
    s->index = row.alias_target;
    s->argument = nullptr;
    return false;
  }
  if (row.alias_argument && row.negative_alias_argument) {
    s->argument = s->value ? row.alias_argument : row.negative_alias_argument;
    s->value = 1;
  } else if (row.alias_argument) {
    s->argument = row.alias_argument;
  }
  if (option_has(row, kAttrNegativeAlias)) s->value = !s->value;
  const OptionDescriptor& target = kOptionTable[row.alias_target];
  if (target.alias_target != OPTION_COUNT) {
    option_internal_error("%s is an alias of the alias %s", row.text.c_str(), target.text.c_str());
  }
  s->index = row.alias_target;
  if (s->argument == nullptr && option_has(target, kAttrArgumentOptional)) s->argument = "";
  if (target.usage_warning) s->usage_warning = target.usage_warning;
  if (option_has(target, kAttrDisabled)) s->errors |= ERR_DISABLED;
  return true;
}

void check_language(std::uint32_t language_mask, State* s) {
  const OptionDescriptor& row = kOptionTable[s->index];
  if (!option_ok_for_language_mask(row.flags, language_mask)) {
    s->errors |= ERR_WRONG_LANGUAGE;
    return;
  }
  // "-Werror=name" is only as valid as the warning it names.
  if (s->index != OPT_Werror_ || s->argument == nullptr || std::strchr(s->argument, ',')) return;
  std::string warning = std::string("W") + s->argument;
  std::size_t named = find_option(warning.c_str(), language_mask);
  if (named != UNKNOWN_OPTION &&
      !option_ok_for_language_mask(kOptionTable[named].flags, language_mask)) {
    s->errors |= ERR_WRONG_LANGUAGE;
  }
}

const char* lower_case(const char* text) {
  std::string copy(text);
  for (char& c : copy) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return arena_strdup(copy.c_str());
}

void check_integer(State* s) {
  const OptionDescriptor& row = kOptionTable[s->index];
  if (*s->argument == '\0') {
    s->value = 0;
  } else {
    int error = 0;
    s->value = integer_argument(s->argument, &error, option_has(row, kAttrSizeArgument));
    if (error != 0) s->errors |= ERR_NOT_UNSIGNED;
  }
  if (row.range_max != -1 && (s->value < row.range_min || s->value > row.range_max)) {
    s->errors |= ERR_OUT_OF_RANGE;
  }
}

void check_enumerated(std::uint32_t language_mask, State* s) {
  const OptionDescriptor& row = kOptionTable[s->index];
  const OptionEnumTable& table = kOptionEnumTables[row.enum_index];
  if (row.variable_value == 0) {
    int value = 0;
    if (enum_value_from_text(table, s->argument, std::strlen(s->argument), &value, language_mask) <
        0) {
      s->errors |= ERR_BAD_ENUM;
      return;
    }
    s->value = value;
    bool canonical = false;
    const char* name = enum_value_name(table, value, language_mask, &canonical);
    if (canonical && std::strcmp(name, s->argument) != 0) s->argument = name;
    return;
  }
  EnumListResult list =
      decode_enum_list(table, s->argument, static_cast<int>(row.variable_value), language_mask);
  if (!list.ok) {
    s->errors |= ERR_BAD_ENUM_SET;
    return;
  }
  s->mask = list.mask;
  if (s->value == 1) s->value = list.value;
}

void check_argument(std::uint32_t language_mask, State* s) {
  const OptionDescriptor& row = kOptionTable[s->index];
  if (s->argument == nullptr) return;
  if (option_has(row, kAttrLowercaseArgument)) s->argument = lower_case(s->argument);
  if (option_has(row, kAttrUnsignedArgument) || option_has(row, kAttrWideInteger)) {
    check_integer(s);
  }
  if (row.variable_kind == VariableKind::Enumerated) check_enumerated(language_mask, s);
}

std::size_t fill_unknown(const char* const* argv, std::int64_t value, int errors,
                         DecodedOption* out) {
  *out = DecodedOption{};
  out->index = UNKNOWN_OPTION;
  out->argument = argv[0];
  out->written_text = written_text(argv, 1);
  out->canonical[0] = argv[0];
  out->canonical_count = 1;
  out->value = value;
  out->errors = errors;
  return 1;
}

std::size_t fill(const char* const* argv, const State& s, DecodedOption* out) {
  *out = DecodedOption{};
  out->index = s.index;
  out->usage_warning = s.usage_warning;
  out->argument = s.argument;
  out->value = s.value;
  out->mask = s.mask;
  out->errors = s.errors;
  out->written_text = written_text(argv, s.consumed);
  if (s.index >= OPTION_COUNT) {
    out->canonical_count = s.consumed;
    return s.consumed;
  }
  generate_canonical_option(s.index, s.argument, s.value, out);
  if (s.separate_args > 1) {
    if (s.consumed > kMaxCanonicalElements) option_internal_error("too many option elements");
    for (std::size_t i = 1; i < s.consumed; ++i) out->canonical[i] = argv[i];
    out->canonical_count = s.consumed;
  }
  return s.consumed;
}

}  // namespace

std::size_t decode_cmdline_option(const char* const* argv, std::uint32_t language_mask,
                                  DecodedOption* out) {
  Found found = look_up(argv, language_mask);
  if (found.index == UNKNOWN_OPTION) return fill_unknown(argv, 1, 0, out);
  const OptionDescriptor& row = kOptionTable[found.index];
  if (found.negated && option_has(row, kAttrNoNegativeForm)) {
    return fill_unknown(argv, 0, ERR_NEGATIVE_REJECTED, out);
  }
  State s;
  s.index = found.index;
  s.value = found.negated ? 0 : 1;
  if (row.variable_kind == VariableKind::ByteSize) s.value = 0;
  s.consumed = found.elements;
  s.usage_warning = row.usage_warning;
  if (option_has(row, kAttrDisabled)) s.errors |= ERR_DISABLED;
  collect_argument(argv, found, language_mask, &s);
  if (resolve_alias(&s)) {
    check_language(language_mask, &s);
    check_argument(language_mask, &s);
  }
  return fill(argv, s, out);
}

}  // namespace vorn
