// Which recorded switches are in force, how one is copied into a command,
// and which switches the specs name (validation).
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

#include "specs/spec_groups.h"
#include "specs/spec_interpreter.h"
#include "specs/spec_state.h"
#include "specs/switch_index.h"
#include "support/memory.h"

namespace vorn {
namespace {

// Rebuilt only when the table changes, so that testing every switch of a
// long command line stays linear.
const SwitchTextIndex& switch_index(const SwitchTable& table) {
  static SwitchTextIndex index;
  index.update(table);
  return index;
}

// "-Wno-x" is cancelled by a later "-Wx", and "-Wx" by a later "-Wno-x".
bool cancelled_by_opposite(const SwitchTable& table, std::size_t i) {
  std::string_view text(table[i].text);
  TextPieces opposite;
  if (text.substr(1, 3) == "no-") {
    opposite = TextPieces{text.substr(0, 1), text.substr(4), {}};
  } else {
    opposite = TextPieces{text.substr(0, 1), "no-", text.substr(1)};
  }
  return switch_index(table).last_position(opposite) > static_cast<std::ptrdiff_t>(i);
}

bool is_live_liveness(std::uint32_t liveness) {
  return (liveness & kSwitchLive) != 0 &&
         (liveness & (kSwitchCancelled | kSwitchIgnoredForGood)) == 0;
}

// ARGUMENT with the suffix substitution in place of its last suffix (or
// appended when its last component has none).
std::string substitute_suffix(const char* argument, const char* substitution) {
  std::string_view text(argument);
  std::size_t slash = text.rfind('/');
  std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
  std::size_t dot = text.rfind('.');
  std::string result(text);
  if (dot != std::string_view::npos && dot >= start) result.resize(dot);
  result += substitution;
  return result;
}

}  // namespace

bool switch_is_live(std::size_t index, int prefix_length) {
  SwitchTable& table = command_line().switches;
  CommandSwitch& sw = table[index];
  if (sw.liveness != 0) return is_live_liveness(sw.liveness);
  if (prefix_length == 0 || prefix_length == 1) return true;
  switch (sw.text[0]) {
    case 'O':
      if (switch_index(table).last_optimization() > static_cast<std::ptrdiff_t>(index)) {
        sw.validated = true;
        sw.liveness = kSwitchCancelled;
        return false;
      }
      break;
    case 'W':
    case 'f':
    case 'g':
    case 'm':
      if (cancelled_by_opposite(table, index)) {
        if (sw.known) sw.validated = true;
        sw.liveness = kSwitchCancelled;
        return false;
      }
      break;
    default:
      break;
  }
  sw.liveness = kSwitchLive;
  return true;
}

void emit_switch(std::size_t index, bool omit_name) {
  CommandSwitch& sw = command_line().switches[index];
  if ((sw.liveness & kSwitchIgnored) != 0) return;
  if (!omit_name) {
    do_spec_1("-", false, nullptr);
    do_spec_1(sw.text, true, nullptr);
  }
  if (sw.arguments != nullptr) {
    for (const char** argument = sw.arguments; *argument != nullptr; ++argument) {
      do_spec_1(" ", false, nullptr);
      const char* substitution = spec_state().suffix_substitution;
      if (substitution != nullptr) {
        std::string replaced = substitute_suffix(*argument, substitution);
        do_spec_1(replaced.c_str(), true, nullptr);
      } else {
        do_spec_1(*argument, true, nullptr);
      }
    }
  }
  do_spec_1(" ", false, nullptr);
  sw.validated = true;
}

namespace {

bool is_validation_name_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
         (c != '\0' && std::strchr("_+,-.=@", c) != nullptr);
}

const char* skip_blanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

void mark_validated(std::string_view name, bool starred, bool user_spec) {
  for (CommandSwitch& sw : command_line().switches) {
    if (!switch_text_matches(sw.text, name, starred)) continue;
    if (sw.known || user_spec) sw.validated = true;
  }
}

// Groups nested deeper than this cannot be expanded anyway (the
// interpreter stops far earlier); their switches are left unvalidated
// rather than risking the stack on hostile specs files.
constexpr int kMaxValidationDepth = 1000;
int validation_depth = 0;

const char* validate_nested(const char* p, bool user_spec, bool braced) {
  if (validation_depth >= kMaxValidationDepth) return p;
  ++validation_depth;
  p = validate_spec_switches(p, user_spec, braced);
  --validation_depth;
  return p;
}

// Scans a group body for nested "%{", "%<", "%W{" and "%@{" up to the ";"
// or "}" that ends it.
const char* validate_body(const char* p, bool user_spec) {
  while (*p != '\0' && *p != ';' && *p != '}') {
    if (*p != '%') {
      ++p;
      continue;
    }
    ++p;
    if (*p == '{' || *p == '<') {
      bool braced = *p == '{';
      p = validate_nested(p + 1, user_spec, braced);
    } else if ((*p == 'W' || *p == '@') && p[1] == '{') {
      p = validate_nested(p + 2, user_spec, true);
    } else if (*p != '\0') {
      ++p;
    }
  }
  return p;
}

}  // namespace

const char* validate_spec_switches(const char* p, bool user_spec, bool braced) {
  for (;;) {
    p = skip_blanks(p);
    if (*p == '!') p = skip_blanks(p + 1);
    bool test_only = *p == '.' || *p == ',';
    if (test_only) ++p;
    const char* start = p;
    while (is_validation_name_char(*p)) ++p;
    std::string_view name(start, static_cast<std::size_t>(p - start));
    bool starred = *p == '*';
    if (starred) ++p;
    if (!test_only) mark_validated(name, starred, user_spec);
    if (!braced) return p;
    p = skip_blanks(p);
    if (*p == '&' || *p == '|') {
      ++p;
      continue;
    }
    if (*p == ':') p = validate_body(p + 1, user_spec);
    if (*p == ';') {
      ++p;
      continue;
    }
    if (*p == '}') ++p;
    return p;
  }
}

void validate_switches_in_spec(const char* spec, bool user_spec) {
  const char* p = spec;
  while ((p = std::strchr(p, '%')) != nullptr) {
    ++p;
    if (*p == '{' || *p == '<') {
      bool braced = *p == '{';
      p = validate_spec_switches(p + 1, user_spec, braced);
    } else if ((*p == 'W' || *p == '@') && p[1] == '{') {
      p = validate_spec_switches(p + 2, user_spec, true);
    } else if (*p != '\0') {
      ++p;
    }
  }
}

}  // namespace vorn
