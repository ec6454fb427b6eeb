#include "options/canonical.h"

#include "options/option_arena.h"
#include "options/option_errors.h"
#include "options/option_table.h"

namespace vorn {
namespace {

bool has_no_form(const OptionDescriptor& row) {
  char c = row.text[1];
  return !option_has(row, kAttrNoNegativeForm) && (c == 'W' || c == 'f' || c == 'g' || c == 'm');
}

// "-Wall" becomes "-Wno-all".
const char* negative_text(const char* text) {
  char prefix[] = {'-', text[1], 'n', 'o', '-', '\0'};
  return arena_concat(prefix, text + 2);
}

}  // namespace

void generate_canonical_option(std::size_t index, const char* argument, std::int64_t value,
                               DecodedOption* decoded) {
  const OptionDescriptor& row = kOptionTable[index];
  const char* text = row.text;
  if (value == 0 && has_no_form(row)) text = negative_text(text);
  decoded->canonical[0] = text;
  decoded->canonical[1] = nullptr;
  decoded->canonical_count = 1;
  if (argument != nullptr) {
    if ((row.flags & kFlagSeparate) && !option_has(row, kAttrSeparateAlias)) {
      decoded->canonical[1] = argument;
      decoded->canonical_count = 2;
    } else if (row.flags & kFlagJoined) {
      decoded->canonical[0] = arena_concat(text, argument);
    } else {
      option_internal_error("option %s has an argument but takes none", row.text.c_str());
    }
  }
  decoded->canonical[2] = nullptr;
  decoded->canonical[3] = nullptr;
}

}  // namespace vorn
