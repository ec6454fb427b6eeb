#include "diagnostics/colours.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "diagnostics/check.h"
#include "diagnostics/run_diagnostics.h"
#include "support/memory.h"

namespace vorn {
namespace {

#define VORN_SGR(parameters) "\033[" parameters "m\033[K"

// The names and default sequences are held in the tables rather than
// pointed to, so that they need no relocation when the driver is loaded.
constexpr char kColourNames[][14] = {
    "error",         "warning",   "note",        "range1",      "range2",       "locus",
    "quote",         "path",      "fnname",      "targs",       "fixit-insert", "fixit-delete",
    "diff-filename", "diff-hunk", "diff-delete", "diff-insert", "type-diff",
};

constexpr std::size_t kColourCount = sizeof(kColourNames) / sizeof(kColourNames[0]);
static_assert(kColourCount == kNamedColourCount);

constexpr auto kNameLengths = [] {
  std::array<unsigned char, kColourCount> lengths{};
  for (std::size_t i = 0; i < kColourCount; ++i) {
    lengths[i] = static_cast<unsigned char>(std::string_view(kColourNames[i]).size());
  }
  return lengths;
}();

constexpr char kDefaultSequences[kColourCount][12] = {
    VORN_SGR("01;31"), VORN_SGR("01;35"), VORN_SGR("01;36"), VORN_SGR("32"),    VORN_SGR("34"),
    VORN_SGR("01"),    VORN_SGR("01"),    VORN_SGR("01;36"), VORN_SGR("01;32"), VORN_SGR("35"),
    VORN_SGR("32"),    VORN_SGR("31"),    VORN_SGR("01"),    VORN_SGR("36"),    VORN_SGR("31"),
    VORN_SGR("32"),    VORN_SGR("01;32"),
};

constexpr char kColourStop[] = "\033[m\033[K";

// The index of the colour called NAME (exactly LENGTH bytes), or
// kColourCount.
std::size_t find_colour(const char* name, std::size_t length) {
  for (std::size_t i = 0; i < kColourCount; ++i) {
    if (kNameLengths[i] == length && std::memcmp(kColourNames[i], name, length) == 0) {
      return i;
    }
  }
  return kColourCount;
}

void set_override(std::size_t index, char* sequence) {
  char*& entry = run_diagnostics().colours.sequences[index];
  std::free(entry);
  entry = sequence;
}

void apply_entry(const char* name, std::size_t name_length, const char* value,
                 std::size_t value_length) {
  std::size_t index = find_colour(name, name_length);
  if (index == kColourCount) return;
  std::string sequence = "\033[";
  sequence.append(value, value_length);
  sequence += "m\033[K";
  set_override(index, xstrdup(sequence.c_str()));
}

}  // namespace

bool stderr_is_terminal_session() {
  const char* term = std::getenv("TERM");
  return term != nullptr && std::strcmp(term, "dumb") != 0 && isatty(STDERR_FILENO);
}

const char* colour_start(bool colour_on, const char* name, std::size_t length) {
  if (!colour_on || name == nullptr) return "";
  std::size_t index = find_colour(name, length);
  if (index == kColourCount) return "";
  const char* given = run_diagnostics().colours.sequences[index];
  return given != nullptr ? given : kDefaultSequences[index];
}

const char* colour_start(bool colour_on, const char* name) {
  return colour_start(colour_on, name, name != nullptr ? std::strlen(name) : 0);
}

const char* colour_stop(bool colour_on) {
  return colour_on ? kColourStop : "";
}

ColourOverrides::~ColourOverrides() {
  for (char* sequence : sequences) std::free(sequence);
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
