#include "options/lookup.h"

#include <cstring>

#include "options/option_codes.h"
#include "options/option_table.h"

namespace vorn {
namespace {

// The text of ROW without its "-" compared with TEXT over the row's length,
// as strncmp compares (bytes as unsigned char, up to the first NUL).  Most
// comparisons end at the first or second byte, before a call would have
// paid for itself.
int compare_prefix(const char* text, const OptionDescriptor& row) {
  const char* name = row.text + 1;
  for (std::size_t i = 0; i < row.text_length; ++i) {
    unsigned char a = static_cast<unsigned char>(text[i]);
    unsigned char b = static_cast<unsigned char>(name[i]);
    if (a != b) return a < b ? -1 : 1;
    if (a == '\0') return 0;
  }
  return 0;
}

bool row_matches(const char* text, const OptionDescriptor& row) {
  if (compare_prefix(text, row) != 0) return false;
  return text[row.text_length] == '\0' || (row.flags & kFlagJoined) != 0;
}

// A joined, undocumented row with no language or class: it exists only so
// that its prefix is remapped, never as an option of its own.
bool is_remapping_prefix(const OptionDescriptor& row) {
  constexpr std::uint32_t kTested = kFlagLanguageMaskBits | kFlagJoined | kFlagUndocumented;
  return (row.flags & kTested) == (kFlagJoined | kFlagUndocumented);
}

// The last row whose text, over its own length, is not greater than TEXT.
// Rows that start with a smaller byte than TEXT are all not greater, those
// that start with a greater byte all greater: the search keeps to the rows
// that start with TEXT's first byte and the row before them.
std::size_t binary_search(const char* text) {
  const unsigned char first = static_cast<unsigned char>(text[0]);
  std::size_t lo = kOptionFirstByteStart[first];
  lo = lo > 0 ? lo - 1 : 0;
  std::size_t hi = kOptionFirstByteStart[first + 1];
  while (hi - lo > 1) {
    std::size_t mid = (lo + hi) / 2;
    if (compare_prefix(text, kOptionTable[mid]) < 0) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  return lo;
}

// "--hel" may stand for "--help" (the pair "--help" and "--help=" counts as
// one candidate), "--verb" for "--verbose"; anything ambiguous is unknown.
std::size_t find_abbreviation(const char* text, std::size_t lo) {
  std::size_t length = std::strlen(text);
  std::size_t first = lo + 1;
  std::size_t found = UNKNOWN_OPTION;
  for (std::size_t i = first; i < OPTION_COUNT; ++i) {
    const OptionDescriptor& row = kOptionTable[i];
    if (std::strncmp(row.text + 1, text, length) != 0) break;
    if (i == first) {
      if (row.flags & kFlagJoined) return UNKNOWN_OPTION;
      found = i;
      continue;
    }
    const OptionDescriptor& accepted = kOptionTable[first];
    bool equals_form = i == first + 1 && (row.flags & kFlagJoined) &&
                       row.text_length == accepted.text_length + 1 &&
                       std::strncmp(row.text, accepted.text, accepted.text_length + 1) == 0;
    if (!equals_form) return UNKNOWN_OPTION;
  }
  return found;
}

}  // namespace

bool option_ok_for_language_mask(std::uint32_t flags, std::uint32_t language_mask) {
  if ((flags & language_mask) == 0) return false;
  bool target_with_languages = (flags & kFlagTarget) && (flags & (kFlagLanguages | kFlagDriver));
  if (target_with_languages && (flags & language_mask & ~(kFlagCommon | kFlagTarget)) == 0) {
    return false;
  }
  return true;
}

std::size_t find_option(const char* text, std::uint32_t language_mask) {
  std::size_t lo = binary_search(text);
  std::size_t wrong_language = UNKNOWN_OPTION;
  for (std::size_t i = lo; i != OPTION_COUNT; i = kOptionTable[i].prefix_link) {
    const OptionDescriptor& row = kOptionTable[i];
    if (!row_matches(text, row)) continue;
    if (row.flags & language_mask) return i;
    if (is_remapping_prefix(row)) return UNKNOWN_OPTION;
    if (wrong_language == UNKNOWN_OPTION) wrong_language = i;
  }
  if (wrong_language == UNKNOWN_OPTION && text[0] == '-') return find_abbreviation(text, lo);
  return wrong_language;
}

}  // namespace vorn
