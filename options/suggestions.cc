// The candidate list: every option of the table as the user could write
// it, including the "no-" and "--" spellings the prefix mappings accept,
// the sanitizer names and the values of enumerated arguments.
#include "options/suggestions.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "options/edit_distance.h"
#include "options/option_codes.h"
#include "options/prefix_mappings.h"
#include "options/sanitizers.h"

namespace vorn {
namespace {

// A row such as "-gno-" only exists so that decoding can remap it; it is
// not something to suggest.
bool is_remapping_prefix(const OptionDescriptor& row) {
  constexpr std::uint32_t kRemapBits = kFlagUndocumented | kFlagJoined;
  return (row.flags & kFlagLanguageMaskBits) == 0 && (row.flags & kRemapBits) == kRemapBits;
}

// The prefix mappings with their lengths worked out once, and for each
// second character of an option text the mappings whose replacement has
// it: every option text is tried against them.
struct Spelling {
  std::string_view written;      // the mapping's prefix without its first "-"
  std::string_view replacement;  // what the prefix stands for
  bool negated;
};

struct Spellings {
  Spelling all[kPrefixMappingCount];
  std::uint32_t by_second_char[256];  // bit I: mapping I may apply
};

const Spellings& spellings() {
  static const Spellings table = [] {
    Spellings result{};
    for (std::size_t i = 0; i < kPrefixMappingCount; ++i) {
      const PrefixMapping& mapping = kPrefixMappings[i];
      result.all[i] = {mapping.prefix + 1, mapping.replacement, mapping.negated};
      const auto second = static_cast<unsigned char>(mapping.replacement[1]);
      result.by_second_char[second] |= std::uint32_t{1} << i;
    }
    return result;
  }();
  return table;
}

}  // namespace

void OptionSuggester::add_constant(const char* text) {
  order_.push_back(text);
}

void OptionSuggester::add(std::string_view head, std::string_view tail) {
  const std::size_t start = storage_.size();
  order_.push_back(nullptr);
  offsets_.push_back(start);
  // Resizing within the reserved block costs no allocation.
  storage_.resize(start + head.size() + tail.size() + 1);
  char* out = storage_.data() + start;
  // An empty view may have no data at all, which memcpy must not be given.
  if (!head.empty()) std::memcpy(out, head.data(), head.size());
  if (!tail.empty()) std::memcpy(out + head.size(), tail.data(), tail.size());
  out[head.size() + tail.size()] = '\0';
}

void OptionSuggester::add_misspelling_candidates(const OptionDescriptor& row, std::string_view text,
                                                 bool no_negative_form) {
  if (is_remapping_prefix(row)) return;
  // The option's own text needs no copy when it is the row's.
  if (text.data() == row.text) {
    add_constant(row.text + 1);
  } else {
    add(text.substr(1));
  }
  const Spellings& table = spellings();
  const auto second = static_cast<unsigned char>(text.size() > 1 ? text[1] : '\0');
  for (std::uint32_t bits = table.by_second_char[second]; bits != 0; bits &= bits - 1) {
    const Spelling& spelling = table.all[std::countr_zero(bits)];
    if (spelling.negated && no_negative_form) continue;
    if (!text.starts_with(spelling.replacement)) continue;
    add(spelling.written, text.substr(spelling.replacement.size()));
  }
  // "--param=NAME=" is also written "--param NAME=".
  constexpr std::string_view kParam = "--param=";
  if (text.starts_with(kParam)) add("-param ", text.substr(kParam.size()));
}

void OptionSuggester::build_option_suggestions(const char*) {
  built_ = true;
  if (has_constant_) {
    candidates_.reserve(constant_.count);
    for (std::size_t i = 0; i < constant_.count; ++i) candidates_.push_back(constant_.text(i));
    return;
  }
  storage_.reserve(256 * 1024);
  offsets_.reserve(8 * 1024);
  order_.reserve(8 * 1024);
  std::string joined;  // an option text followed by a value
  for (std::size_t index = 0; index < OPTION_COUNT; ++index) {
    const OptionDescriptor& row = option_row(index);
    const bool no_negative = option_has(row, kAttrNoNegativeForm);
    const std::string_view text(row.text, row.text_length + 1);
    if (index == OPT_fsanitize_ || index == OPT_fsanitize_recover_) {
      add_misspelling_candidates(row, text, no_negative);
      for (const SanitizerName& sanitizer : sanitizer_names()) {
        // "-fsanitize=all" is an error; only its negative form exists.
        if (index == OPT_fsanitize_ && std::strcmp(sanitizer.name, "all") == 0) {
          add_misspelling_candidates(row, "-fno-sanitize=all", true);
          continue;
        }
        joined.assign(text).append(sanitizer.name, sanitizer.length);
        add_misspelling_candidates(row, joined, no_negative);
      }
    } else if (row.variable_kind == VariableKind::Enumerated) {
      const OptionEnumTable& table = kOptionEnumTables[row.enum_index];
      for (const OptionEnumValue* value = table.values; value->name != nullptr; ++value) {
        joined.assign(text).append(value->name.c_str());
        add_misspelling_candidates(row, joined, no_negative);
      }
      add_misspelling_candidates(row, text, no_negative);
    } else {
      add_misspelling_candidates(row, text, no_negative);
    }
  }
  // The block does not move from here on: the pointers into it stay valid.
  candidates_.reserve(order_.size());
  std::size_t next_offset = 0;
  for (const char* text : order_) {
    candidates_.push_back(text != nullptr ? text : storage_.data() + offsets_[next_offset++]);
  }
  order_ = {};
  offsets_ = {};
}

const std::vector<const char*>& OptionSuggester::candidates() {
  if (!built_) build_option_suggestions(nullptr);
  return candidates_;
}

const char* OptionSuggester::suggest_option(const char* bad) {
  if (has_constant_) return find_closest_candidate(bad, constant_);
  return find_closest_string(bad, candidates());
}

std::vector<const char*> OptionSuggester::matching_candidates(const char* prefix) {
  std::vector<const char*> matches;
  if (prefix == nullptr || prefix[0] == '\0') return matches;
  if (prefix[0] == '-') ++prefix;
  const std::size_t length = std::strlen(prefix);
  if (has_constant_) {
    for (std::size_t i = 0; i < constant_.count; ++i) {
      const char* candidate = constant_.text(i);
      if (constant_.lengths[i] >= length && std::memcmp(candidate, prefix, length) == 0) {
        matches.push_back(candidate);
      }
    }
    return matches;
  }
  if (!built_) build_option_suggestions(prefix);
  for (const char* candidate : candidates_) {
    if (std::strncmp(candidate, prefix, length) == 0) matches.push_back(candidate);
  }
  return matches;
}

std::vector<std::string> OptionSuggester::get_completions(const char* prefix) {
  std::vector<std::string> completions;
  for (const char* candidate : matching_candidates(prefix)) {
    completions.push_back(std::string("-") + candidate);
  }
  return completions;
}

void OptionSuggester::print_completions(const char* prefix, std::FILE* out) {
  // A shell asks for "-f" as readily as for anything: thousands of lines,
  // written in one go.
  std::string text;
  for (const char* candidate : matching_candidates(prefix)) {
    text.push_back('-');
    text.append(candidate);
    text.push_back('\n');
  }
  std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace vorn
