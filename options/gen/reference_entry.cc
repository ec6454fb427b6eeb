// One entry of the option reference.  Every sentence states a field of the
// row (or of its enumerated table); a row without help text gets no
// description beyond them.
#include <set>
#include <vector>

#include "options/gen/reference.h"

namespace vorn::gen {
namespace {

bool has_attr(const Row& row, std::uint32_t bit) {
  return (row.attributes & bit) != 0;
}

std::string bold(std::string_view text) {
  return "\\fB" + roff_text(text) + "\\fP";
}

std::string join(const std::vector<std::string>& words, const char* separator) {
  std::string out;
  for (const std::string& word : words) out += (out.empty() ? "" : separator) + word;
  return out;
}

// The placeholder the heading writes for the argument.
const char* placeholder(const Row& row) {
  if (row.enum_index >= 0) return "value";
  if (has_attr(row, kSizeArgument)) return "size";
  if (has_attr(row, kUnsignedArgument) || row.has_range) return "number";
  return "arg";
}

// How ROW is written, spelled TEXT (the row's own text, or its "no-" form).
std::string heading(const Row& row, const std::string& spelling) {
  const std::string arg = std::string("\\fI") + placeholder(row) + "\\fP";
  const std::string text = bold(spelling);
  const bool joined = row.flags & kJoined;
  const bool separate = row.flags & kSeparate;
  if (joined && separate) return text + " " + arg + ", " + text + arg;
  if (separate) return text + " " + arg;
  if (joined) return has_attr(row, kArgumentOptional) ? text + "[" + arg + "]" : text + arg;
  return text;
}

std::string argument_form(const Row& row) {
  const bool joined = row.flags & kJoined;
  const bool separate = row.flags & kSeparate;
  std::string form;
  if (joined && separate)
    form = "Argument: joined to the option or the next word.";
  else if (joined)
    form = "Argument: joined to the option.";
  else if (separate)
    form = "Argument: the next word.";
  if (joined && has_attr(row, kArgumentOptional)) form.insert(form.size() - 1, "; it may be empty");
  if (!form.empty() && has_attr(row, kNoDriverArgument)) {
    form.insert(form.size() - 1, ", though the driver itself reads the option without one");
  }
  return form;
}

std::string argument_kind(const Row& row) {
  std::string kind;
  if (has_attr(row, kUnsignedArgument))
    kind = "a non-negative integer";
  else if (row.has_range || has_attr(row, kSizeArgument))
    kind = "an integer";
  if (row.has_range) {
    kind += " from " + std::to_string(row.range_min) + " to " + std::to_string(row.range_max);
  }
  if (has_attr(row, kSizeArgument)) kind += ", optionally followed by a byte-size unit";
  std::string out = kind.empty() ? "" : "The argument is " + kind + ".";
  if (has_attr(row, kLowercaseArgument)) {
    out += std::string(out.empty() ? "" : "\n") + "The argument is converted to lower case.";
  }
  return out;
}

std::string values(const Model& model, const Row& row) {
  if (row.enum_index < 0) return "";
  std::vector<std::string> names;
  for (const EnumValue& value : model.enums[row.enum_index].values) {
    std::string name = bold(value.name);
    if (row.list_mode == 1) name += " (set " + std::to_string(value.flags >> 2) + ")";
    if (value.flags & 2) name += " (driver only)";
    names.push_back(name);
  }
  const char* lead = row.list_mode == 1
                         ? "Values, a comma-separated list with at most one of each set: "
                     : row.list_mode == 2 ? "Values, a comma-separated list whose values combine: "
                                          : "Values: ";
  return lead + join(names, ", ") + ".";
}

std::string classes(const Row& row) {
  static const struct {
    std::uint32_t bit;
    const char* name;
  } kClasses[] = {{kDriver, "driver"},   {kCommon, "common"},
                  {kWarning, "warning"}, {kOptimization, "optimisation"},
                  {kTarget, "target"},   {kParams, "parameter"}};
  std::vector<std::string> names;
  for (const auto& c : kClasses) {
    if (row.flags & c.bit) names.push_back(c.name);
  }
  std::string out = "Classes: " + (names.empty() ? std::string("none") : join(names, ", ")) + ".";
  std::vector<std::string> languages;
  for (std::size_t i = 0; i < std::size(kLanguageNames); ++i) {
    if (row.flags & (1u << i)) languages.push_back(roff_text(kLanguageNames[i]));
  }
  if (!languages.empty()) out += "\nLanguages: " + join(languages, ", ") + ".";
  return out;
}

std::string handling(const Row& row) {
  if (has_attr(row, kDisabled)) return "Not supported in this configuration.";
  if (has_attr(row, kRejectedByDriver)) return "The driver reports it as unrecognized.";
  if (row.flags & kDriver) return "Handled by the driver.";
  return "Checked by the driver and passed on to the compilers proper.";
}

std::string alias(const Model& model, const Row& row) {
  switch (row.alias) {
    case AliasKind::kNone:
      return "";
    case AliasKind::kIgnored:
      return "Accepted and ignored.";
    case AliasKind::kRemoved:
      return "Accepted and reported as no longer supported.";
    case AliasKind::kRow:
      break;
  }
  std::string out = "Alias of " + bold(model.rows[row.alias_target].text);
  if (row.alias_argument) out += " with the argument " + bold(*row.alias_argument);
  if (row.negative_alias_argument) {
    out += " (the negative form: " + bold(*row.negative_alias_argument) + ")";
  }
  return out + ".";
}

// The other members of the ring of ROW, when ROW is in one.
std::vector<std::string> ring_members(const Model& model, unsigned index) {
  std::vector<std::string> members;
  std::set<long> seen;
  long at = model.rows[index].negation_link;
  while (at >= 0 && at != static_cast<long>(index) && seen.insert(at).second) {
    members.push_back(bold(model.rows[at].text));
    at = model.rows[at].negation_link;
  }
  if (at != static_cast<long>(index)) members.clear();
  return members;
}

// "a", "a or b", "a, b or c".
std::string alternatives(const std::vector<std::string>& words) {
  if (words.size() < 2) return join(words, "");
  std::vector<std::string> head(words.begin(), words.end() - 1);
  return join(head, ", ") + " or " + words.back();
}

// The "no-" form, which decoding accepts for the -W, -f, -g and -m families
// unless the row forbids it; and the ring of options that cancel each other.
std::string negation(const Model& model, const Row& row) {
  const unsigned index = model.index_of.at(row.text);
  const char family = row.text[1];
  std::string out;
  if (has_attr(row, kNoNegativeForm)) {
    out = row.negation_link == static_cast<long>(index)
              ? "No negative form; a later use cancels an earlier one."
              : "No negative form.";
  } else if (family == 'W' || family == 'f' || family == 'g' || family == 'm') {
    out =
        "Negative form: " + heading(row, row.text.substr(0, 2) + "no-" + row.text.substr(2)) + ".";
  }
  std::vector<std::string> ring = ring_members(model, index);
  if (!ring.empty()) {
    out += std::string(out.empty() ? "" : "\n") + "A later " + alternatives(ring) +
           " cancels it, and it cancels an earlier " +
           (ring.size() == 1 ? ring.front() : std::string("one of them")) + ".";
  }
  return out;
}

// A diagnostic format with the option in place of "%qs" and plain quotes
// for "%<" and "%>".
std::string message(const std::string& format, const std::string& option) {
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format.compare(i, 3, "%qs") == 0) {
      out += "\\(aq" + roff_text(option) + "\\(aq";
      i += 2;
    } else if (format.compare(i, 2, "%<") == 0 || format.compare(i, 2, "%>") == 0) {
      out += "\\(aq";
      ++i;
    } else {
      out += roff_text(format.substr(i, 1));
    }
  }
  return out;
}

std::string messages(const Model& model, const Row& row) {
  std::string out;
  if (row.missing_message > 0) {
    out = "Without its argument: " +
          message(model.missing_messages[row.missing_message - 1], row.text) + ".";
  }
  if (row.usage_warning) {
    out += std::string(out.empty() ? "" : "\n") +
           "Every use is warned about: " + message(*row.usage_warning, row.text) + ".";
  }
  return out;
}

std::string help(const Row& row) {
  if (!row.help) return "";
  std::size_t tab = row.help->find('\t');
  return roff_text(tab == std::string::npos ? *row.help : row.help->substr(tab + 1));
}

}  // namespace

std::string roff_text(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  return out;
}

std::string reference_entry(const Model& model, const Row& row) {
  std::string out = ".TP\n" + heading(row, row.text) + "\n";
  for (const std::string& line :
       {help(row), argument_form(row), argument_kind(row), values(model, row), classes(row),
        handling(row), alias(model, row), negation(model, row), messages(model, row)}) {
    if (line.empty()) continue;
    // A line starting with "." or "'" would be read as a request.
    if (line[0] == '.' || line[0] == '\'') out += "\\&";
    out += line + "\n";
  }
  return out;
}

}  // namespace vorn::gen
