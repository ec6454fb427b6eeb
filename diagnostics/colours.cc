#include "diagnostics/colours.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "diagnostics/check.h"
#include "support/memory.h"

namespace vorn {
namespace {

#define VORN_SGR(parameters) "\033[" parameters "m\033[K"

struct ColourEntry {
  const char* name;
  unsigned char name_length;
  const char* sequence;
  // The sequence came from the environment and is ours to free.
  bool owned;
};

#define VORN_COLOUR(name, parameters) \
  { name, sizeof(name) - 1, VORN_SGR(parameters), false }

constexpr ColourEntry kDefaultColours[] = {
    VORN_COLOUR("error", "01;31"),      VORN_COLOUR("warning", "01;35"),
    VORN_COLOUR("note", "01;36"),       VORN_COLOUR("range1", "32"),
    VORN_COLOUR("range2", "34"),        VORN_COLOUR("locus", "01"),
    VORN_COLOUR("quote", "01"),         VORN_COLOUR("path", "01;36"),
    VORN_COLOUR("fnname", "01;32"),     VORN_COLOUR("targs", "35"),
    VORN_COLOUR("fixit-insert", "32"),  VORN_COLOUR("fixit-delete", "31"),
    VORN_COLOUR("diff-filename", "01"), VORN_COLOUR("diff-hunk", "36"),
    VORN_COLOUR("diff-delete", "31"),   VORN_COLOUR("diff-insert", "32"),
    VORN_COLOUR("type-diff", "01;32"),
};

constexpr std::size_t kColourCount = sizeof(kDefaultColours) / sizeof(kDefaultColours[0]);

constexpr std::array<ColourEntry, kColourCount> default_table() {
  std::array<ColourEntry, kColourCount> table{};
  for (std::size_t i = 0; i < kColourCount; ++i) table[i] = kDefaultColours[i];
  return table;
}

// The process-wide table; starts as the defaults.
constinit std::array<ColourEntry, kColourCount> g_colours = default_table();

constexpr char kColourStop[] = "\033[m\033[K";

ColourEntry* find_colour(const char* name, std::size_t length) {
  for (ColourEntry& entry : g_colours) {
    if (entry.name_length == length && std::memcmp(entry.name, name, length) == 0) return &entry;
  }
  return nullptr;
}

void set_sequence(ColourEntry& entry, const char* sequence, bool owned) {
  if (entry.owned) std::free(const_cast<char*>(entry.sequence));
  entry.sequence = sequence;
  entry.owned = owned;
}

void apply_entry(const char* name, std::size_t name_length, const char* value,
                 std::size_t value_length) {
  ColourEntry* entry = find_colour(name, name_length);
  if (entry == nullptr) return;
  std::string sequence = "\033[";
  sequence.append(value, value_length);
  sequence += "m\033[K";
  set_sequence(*entry, xstrdup(sequence.c_str()), true);
}

}  // namespace

bool stderr_is_terminal_session() {
  const char* term = std::getenv("TERM");
  return term != nullptr && std::strcmp(term, "dumb") != 0 && isatty(STDERR_FILENO);
}

const char* colour_start(bool colour_on, const char* name, std::size_t length) {
  if (!colour_on || name == nullptr) return "";
  const ColourEntry* entry = find_colour(name, length);
  return entry != nullptr ? entry->sequence : "";
}

const char* colour_start(bool colour_on, const char* name) {
  return colour_start(colour_on, name, name != nullptr ? std::strlen(name) : 0);
}

const char* colour_stop(bool colour_on) {
  return colour_on ? kColourStop : "";
}

void reset_colour_table() {
  for (std::size_t i = 0; i < kColourCount; ++i) {
    set_sequence(g_colours[i], kDefaultColours[i].sequence, false);
  }
}

// Entries are "name" or "name=value" separated by ":".  An entry whose value
// is not made of digits and ";" stops the reading, as does an empty name
// before "=" or a second "="; what was applied before stays applied.
bool apply_colour_settings(const char* value) {
  if (*value == '\0') return false;
  const char* name = value;
  const char* entry_value = nullptr;
  for (const char* p = value;; ++p) {
    char c = *p;
    if (c == ':' || c == '\0') {
      if (entry_value != nullptr) {
        apply_entry(name, static_cast<std::size_t>(entry_value - 1 - name), entry_value,
                    static_cast<std::size_t>(p - entry_value));
      }
      if (c == '\0') break;
      name = p + 1;
      entry_value = nullptr;
    } else if (c == '=') {
      if (p == name || entry_value != nullptr) break;
      entry_value = p + 1;
    } else if (entry_value != nullptr && !(c >= '0' && c <= '9') && c != ';') {
      break;
    }
  }
  return true;
}

bool decide_colour(int mode) {
  if (mode < 0) mode = kModeAuto;
  switch (mode) {
    case kModeNever:
      return false;
    case kModeAuto:
      if (!stderr_is_terminal_session()) return false;
      [[fallthrough]];
    case kModeAlways: {
      const char* settings = std::getenv("VORN_COLORS");
      return settings == nullptr || apply_colour_settings(settings);
    }
    default:
      VORN_CHECK_FAILED("colorize_init");
  }
}

}  // namespace vorn
