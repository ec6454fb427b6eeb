// The option reference page: the documented rows, in table order, grouped by
// class and, for rows of no class, by their languages.  A row with several
// classes goes to the group of the first of driver, parameter, target,
// warning, optimisation and common; its entry names all of them.
#include <map>
#include <vector>

#include "options/gen/def_reader.h"
#include "options/gen/reference.h"

namespace vorn::gen {
namespace {

struct Group {
  std::uint32_t bit;
  const char* title;
  const char* name;
};

// In the order the page lists them, which is also the order that decides
// the group of a row with several classes: the most specific first.
const Group kGroups[] = {
    {kDriver, "DRIVER OPTIONS", "driver"},
    {kParams, "PARAMETERS", "parameter"},
    {kTarget, "TARGET OPTIONS", "target"},
    {kWarning, "WARNING OPTIONS", "warning"},
    {kOptimization, "OPTIMISATION OPTIONS", "optimisation"},
    {kCommon, "COMMON OPTIONS", "common"},
};

std::uint32_t group_of(const Row& row) {
  for (const Group& group : kGroups) {
    if (row.flags & group.bit) return group.bit;
  }
  return 0;
}

std::string count_line(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " option." : " options.");
}

std::string language_title(std::uint32_t languages) {
  std::string title;
  for (std::size_t i = 0; i < std::size(kLanguageNames); ++i) {
    if (languages & (1u << i)) title += (title.empty() ? "" : ", ") + roff_text(kLanguageNames[i]);
  }
  return title.empty() ? "No language" : title;
}

std::string entries(const Model& model, const std::vector<const Row*>& rows) {
  std::string out;
  for (const Row* row : rows) out += reference_entry(model, *row);
  return out;
}

// The language bits in order: sections of languages sort by it, so that the
// C family comes first.
std::vector<unsigned> language_bits(std::uint32_t languages) {
  std::vector<unsigned> bits;
  for (unsigned i = 0; i < std::size(kLanguageNames); ++i) {
    if (languages & (1u << i)) bits.push_back(i);
  }
  return bits;
}

std::string sections(const Model& model) {
  std::map<std::uint32_t, std::vector<const Row*>> by_class;
  std::map<std::vector<unsigned>, std::pair<std::uint32_t, std::vector<const Row*>>> by_languages;
  for (const Row& row : model.rows) {
    if (row.flags & kUndocumented) continue;
    if (std::uint32_t group = group_of(row)) {
      by_class[group].push_back(&row);
    } else {
      auto& slot = by_languages[language_bits(row.flags & kLanguageMask)];
      slot.first = row.flags & kLanguageMask;
      slot.second.push_back(&row);
    }
  }
  std::string out;
  for (std::size_t i = 0; i < std::size(kGroups); ++i) {
    const auto& rows = by_class[kGroups[i].bit];
    if (rows.empty()) continue;
    out += ".SH \"" + std::string(kGroups[i].title) + "\"\nOptions of the " + kGroups[i].name +
           " class" + (i == 0 ? "" : " that are in none of the sections above") + ": " +
           count_line(rows.size()) + "\n" + entries(model, rows);
  }
  if (by_languages.empty()) return out;
  out += ".SH \"LANGUAGE OPTIONS\"\nOptions of no class, by the languages they belong to.\n";
  for (const auto& [bits, slot] : by_languages) {
    out += ".SS \"" + language_title(slot.first) + "\"\n" + count_line(slot.second.size()) + "\n" +
           entries(model, slot.second);
  }
  return out;
}

}  // namespace

std::string reference_page(const Model& model, const std::string& template_text) {
  const std::string marker = "@OPTION_SECTIONS@\n";
  std::size_t at = template_text.find(marker);
  if (at == std::string::npos) fail("the page template has no line @OPTION_SECTIONS@");
  return template_text.substr(0, at) + sections(model) + template_text.substr(at + marker.size());
}

}  // namespace vorn::gen
