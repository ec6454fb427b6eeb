// Multilib selection over the multilib strings of the named specs.
//
// The strings come from the built-in specs or from specs files, so every
// parser here treats them as untrusted text: a malformed string is a fatal
// error naming it, never a read past its end.
#include "specs/multilib.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/run_specs.h"
#include "specs/switches.h"
#include "support/memory.h"

namespace vorn {
namespace {

MultilibState& state() {
  return run_specs().multilib;
}

bool contains(const std::vector<std::string_view>& list, std::string_view text) {
  for (std::string_view item : list) {
    if (item == text) return true;
  }
  return false;
}

const std::vector<std::string_view>& default_options() {
  MultilibState& s = state();
  const char* text = spec_text(SpecId::kMultilibDefaults);
  if (s.defaults_source == text) return s.defaults;
  s.defaults_source = text;
  s.defaults.clear();
  for (const char* p = text; *p != '\0';) {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p != ' ' && *p != '\0') ++p;
    if (p != start) s.defaults.emplace_back(start, static_cast<std::size_t>(p - start));
  }
  return s.defaults;
}

// One entry "OPTION MATCHED" of "multilib_matches".
struct Match {
  std::string_view option;
  std::string_view matched;
};

std::vector<Match> split_matches() {
  const char* text = spec_text(SpecId::kMultilibMatches);
  std::vector<Match> matches;
  for (const char* p = text; *p != '\0';) {
    const char* end = std::strchr(p, ';');
    if (end == nullptr) end = p + std::strlen(p);
    std::string_view entry(p, static_cast<std::size_t>(end - p));
    std::size_t blank = entry.find(' ');
    if (blank == std::string_view::npos || entry.find(' ', blank + 1) != std::string_view::npos) {
      fatal_error(current_location, _("multilib spec %qs is invalid"), text);
    }
    matches.push_back({entry.substr(0, blank), entry.substr(blank + 1)});
    p = *end == ';' ? end + 1 : end;
  }
  return matches;
}

// The group of "multilib_options" that offers OPTION as an alternative,
// or an empty view.
std::string_view options_group_of(std::string_view option) {
  std::string_view groups = spec_text(SpecId::kMultilibOptions);
  while (!groups.empty()) {
    std::size_t blank = groups.find(' ');
    std::string_view group = groups.substr(0, blank);
    groups = blank == std::string_view::npos ? std::string_view() : groups.substr(blank + 1);
    for (std::string_view rest = group; !rest.empty();) {
      std::size_t slash = rest.find('/');
      if (rest.substr(0, slash) == option) return group;
      rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
  }
  return {};
}

bool any_alternative_used(std::string_view group, const std::vector<std::string_view>& used) {
  while (!group.empty()) {
    std::size_t slash = group.find('/');
    if (contains(used, group.substr(0, slash))) return true;
    group = slash == std::string_view::npos ? std::string_view() : group.substr(slash + 1);
  }
  return false;
}

void build_used_table() {
  MultilibState& s = state();
  std::vector<Match> matches = split_matches();
  for (const CommandSwitch& sw : command_line().switches) {
    if (sw.liveness & kSwitchIgnored) continue;
    std::string_view text(sw.text);
    for (const Match& match : matches) {
      if (match.option == text) {
        s.used.push_back(match.matched);
        break;
      }
    }
  }
  // A default is in force unless the user picked another member of its
  // group; defaults outside every group never count.
  for (std::string_view option : default_options()) {
    std::string_view group = options_group_of(option);
    if (!group.empty() && !any_alternative_used(group, s.used)) s.used.push_back(option);
  }
  s.used_ready = true;
}

// One entry of "multilib" or "multilib_exclusions": an optional PATH and
// the option words (a leading "!" kept).
struct Entry {
  std::string_view path;
  std::vector<std::string_view> options;
};

enum class Parse { kEntry, kEnd, kInvalid };

// Reads the options up to and including the ";" that ends the entry.
Parse read_options(const char*& p, Entry* entry) {
  entry->options.clear();
  for (;;) {
    while (*p == ' ') ++p;
    if (*p == ';') {
      ++p;
      return Parse::kEntry;
    }
    const char* start = p;
    while (*p != ' ' && *p != ';') {
      if (*p == '\0') return Parse::kInvalid;
      ++p;
    }
    entry->options.emplace_back(start, static_cast<std::size_t>(p - start));
  }
}

Parse read_entry(const char*& p, bool with_path, Entry* entry) {
  while (*p == '\n') ++p;
  if (*p == '\0') return Parse::kEnd;
  if (with_path) {
    // The path normally ends at a blank; ";" right after it is an entry
    // without options.
    const char* start = p;
    while (*p != ' ' && *p != ';') {
      if (*p == '\0') return Parse::kInvalid;
      ++p;
    }
    entry->path = std::string_view(start, static_cast<std::size_t>(p - start));
  }
  return read_options(p, entry);
}

bool in_use(std::string_view option) {
  return option_in_use(option.data(), option.size());
}

bool is_default(std::string_view option) {
  return option_is_default(option.data(), option.size());
}

// True when the options of an exclusion entry all hold.
bool exclusion_holds(const Entry& entry) {
  for (std::string_view option : entry.options) {
    bool negated = option[0] == '!';
    if (negated) option.remove_prefix(1);
    if (in_use(option) == negated) return false;
  }
  return true;
}

// The current switches hit an entry of "multilib_exclusions".
bool switches_excluded() {
  const char* text = spec_text(SpecId::kMultilibExclusions);
  Entry entry;
  for (const char* p = text;;) {
    Parse parsed = read_entry(p, false, &entry);
    if (parsed == Parse::kEnd) return false;
    if (parsed == Parse::kInvalid) {
      fatal_error(current_location, _("multilib exclusions %qs is invalid"), text);
    }
    if (exclusion_holds(entry)) return true;
  }
}

// How well the switches satisfy an entry: WIDE counts a missing default
// as present (enough to choose the directory), EXACT does not.
struct Fit {
  bool wide = true;
  bool exact = true;
};

Fit evaluate(const Entry& entry) {
  Fit fit;
  for (std::string_view option : entry.options) {
    bool negated = option[0] == '!';
    if (negated) option.remove_prefix(1);
    if (in_use(option) != negated) continue;
    fit.exact = false;
    if (!is_default(option)) {
      fit.wide = false;
      break;
    }
  }
  return fit;
}

const char* copy_or_null(std::string_view text) {
  if (text.empty()) return nullptr;
  return xstrndup(text.data(), text.size());
}

// The operating-system and multiarch parts of "DIR:OSDIR:MULTIARCH".
void take_os_directories(std::string_view path, SearchPaths* paths) {
  std::size_t colon = path.find(':');
  if (colon == std::string_view::npos) return;
  std::string_view rest = path.substr(colon + 1);
  std::size_t second = rest.find(':');
  std::string_view os = rest.substr(0, second);
  paths->multilib_os_dir = os.empty() ? "." : copy_or_null(os);
  if (second != std::string_view::npos) {
    paths->multiarch_dir = copy_or_null(rest.substr(second + 1));
  }
}

void choose_directories(SearchPaths* paths) {
  std::string candidates = spec_text(SpecId::kMultilib);
  candidates += spec_text(SpecId::kMultilibReuse);
  bool chosen = false;
  Entry entry;
  for (const char* p = candidates.c_str();;) {
    Parse parsed = read_entry(p, true, &entry);
    if (parsed == Parse::kEnd) return;
    if (parsed == Parse::kInvalid) {
      fatal_error(current_location, _("multilib select %qs %qs is invalid"),
                  spec_text(SpecId::kMultilib), spec_text(SpecId::kMultilibReuse));
    }
    Fit fit = evaluate(entry);
    if (fit.wide && !chosen) {
      chosen = true;
      if (entry.path != ".") {
        paths->multilib_dir = copy_or_null(entry.path.substr(0, entry.path.find(':')));
      }
    }
    if (fit.exact) {
      take_os_directories(entry.path, paths);
      return;
    }
  }
}

// -print-multi-lib leaves out entries that no distinct set of options
// selects: those an exclusion covers ...
bool excluded_from_table(const Entry& entry) {
  const char* p = spec_text(SpecId::kMultilibExclusions);
  Entry exclusion;
  for (;;) {
    Parse parsed = read_entry(p, false, &exclusion);
    if (parsed != Parse::kEntry) return false;
    bool covered = true;
    for (std::string_view option : exclusion.options) {
      if (!contains(entry.options, option) && !is_default(option)) {
        covered = false;
        break;
      }
    }
    if (covered) return true;
  }
}

// ... and those that only spell out defaults, which the entry without them
// already stands for.
bool only_defaults(const Entry& entry) {
  bool some_default = false;
  for (std::string_view option : entry.options) {
    if (option[0] == '!') {
      if (is_default(option.substr(1))) return false;
    } else if (is_default(option)) {
      some_default = true;
    } else {
      return false;
    }
  }
  return some_default;
}

bool hidden_path(std::string_view path) {
  return path.substr(0, 2) == ".:" && path.substr(0, 3) != ".::";
}

void print_entry(std::FILE* stream, const Entry& entry) {
  std::string line(entry.path.substr(0, entry.path.find(':')));
  line += ';';
  for (std::string_view option : entry.options) {
    if (option[0] == '!') continue;
    line += '@';
    line += option;
  }
  const char* extra = spec_text(SpecId::kMultilibExtra);
  for (const char* p = extra; *p != '\0';) {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p != ' ' && *p != '\0') ++p;
    if (p == start) continue;
    line += '@';
    line.append(start, static_cast<std::size_t>(p - start));
  }
  line += '\n';
  std::fputs(line.c_str(), stream);
}

}  // namespace

bool option_in_use(const char* text, std::size_t length) {
  if (!state().used_ready) build_used_table();
  return contains(state().used, std::string_view(text, length));
}

bool option_is_default(const char* text, std::size_t length) {
  return contains(default_options(), std::string_view(text, length));
}

void select_multilib() {
  SearchPaths& paths = search_paths();
  paths.multilib_dir = nullptr;
  paths.multilib_os_dir = nullptr;
  paths.multiarch_dir = nullptr;
  // Specs files may have replaced the defaults since a previous look.
  state().defaults_source = nullptr;
  default_options();
  if (switches_excluded()) return;
  choose_directories(&paths);
  if (paths.multilib_dir == nullptr) {
    if (paths.multilib_os_dir != nullptr && std::strcmp(paths.multilib_os_dir, ".") == 0) {
      paths.multilib_os_dir = nullptr;
    }
  } else if (paths.multilib_os_dir == nullptr) {
    paths.multilib_os_dir = paths.multilib_dir;
  }
}

void print_multilib_table(std::FILE* stream) {
  const char* text = spec_text(SpecId::kMultilib);
  Entry entry;
  std::string_view previous_path;
  for (const char* p = text;;) {
    Parse parsed = read_entry(p, true, &entry);
    if (parsed == Parse::kEnd) return;
    if (parsed == Parse::kInvalid) {
      fatal_error(current_location, _("multilib select %qs %qs is invalid"), text,
                  spec_text(SpecId::kMultilibReuse));
    }
    bool duplicate = entry.path == previous_path;
    previous_path = entry.path;
    if (hidden_path(entry.path) || duplicate) continue;
    if (excluded_from_table(entry) || only_defaults(entry)) continue;
    print_entry(stream, entry);
  }
}

}  // namespace vorn
