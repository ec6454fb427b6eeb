// Host CPU detection: the implementer, variant and part lines of the CPU
// description name a row of the CPU table, and its "Features" line tells
// which extensions the host really has.
#include "specs/cpu_detect.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "specs/aarch64_cpus.h"

namespace vorn::aarch64 {
namespace {

constexpr long kNoValue = -1;

// The hexadecimal number after the first ":" of LINE, or kNoValue.
long value_after_colon(const char* line) {
  const char* colon = std::strchr(line, ':');
  if (colon == nullptr) return kNoValue;
  char* end;
  unsigned long value = std::strtoul(colon + 1, &end, 16);
  return end == colon + 1 ? kNoValue : static_cast<long>(value);
}

// Up to two distinct values; a third distinct one spoils the set.
struct DistinctValues {
  std::vector<long> values;
  bool add(long value) {
    for (long seen : values) {
      if (seen == value) return true;
    }
    if (values.size() >= 2) return false;
    values.push_back(value);
    return true;
  }
};

struct Description {
  long implementer = kNoValue;
  DistinctValues variants;
  DistinctValues parts;
  bool features_seen = false;
  FeatureFlags detected = 0;
};

bool note_implementer(Description& host, const char* line) {
  long value = value_after_colon(line);
  if (value == kNoValue) return host.implementer == kNoValue;
  if (value == 0xff) return false;
  if (host.implementer == kNoValue) host.implementer = value;
  return host.implementer == value;
}

bool has_all_words(const std::set<std::string_view>& words, std::string_view wanted) {
  while (!wanted.empty()) {
    std::size_t space = wanted.find(' ');
    if (words.count(wanted.substr(0, space)) == 0) return false;
    if (space == std::string_view::npos) break;
    wanted.remove_prefix(space + 1);
  }
  return true;
}

void note_features(Description& host, const char* features) {
  std::set<std::string_view> words;
  std::string_view text(features);
  while (!text.empty()) {
    std::size_t end = text.find_first_of(" \n");
    if (end != 0) words.insert(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  for (const Extension& extension : extensions()) {
    if (extension.host_words[0] == '\0') continue;
    if (has_all_words(words, extension.host_words)) {
      host.detected |= extension.bit;
    } else {
      host.detected &= ~extension.bit;
    }
  }
}

// Applies one line; false when the description cannot be used.
bool read_line(Description& host, const char* line, bool want_features) {
  if (std::strstr(line, "implementer") != nullptr) return note_implementer(host, line);
  if (std::strstr(line, "variant") != nullptr) return host.variants.add(value_after_colon(line));
  if (std::strstr(line, "part") != nullptr) return host.parts.add(value_after_colon(line));
  const char* features = std::strstr(line, "Features");
  if (features != nullptr && want_features && !host.features_seen) {
    host.features_seen = true;
    note_features(host, features + 1);
  }
  return true;
}

// The next line of FILE, its newline included, into *LINE; false at the
// end of the data.  The line grows through the program's own allocation,
// so that running out of memory is that failure, not an early end.
bool next_line(std::FILE* file, std::string* line) {
  line->clear();
  for (int c; (c = std::getc(file)) != EOF;) {
    line->push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line->empty();
}

bool read_description(std::FILE* file, Description& host, bool want_features) {
  std::string line;
  bool usable = true;
  while (usable && next_line(file, &line)) usable = read_line(host, line.c_str(), want_features);
  // A description that could not be read to its end is as good as none.
  if (!usable || std::ferror(file) != 0 || host.implementer == kNoValue) return false;
  std::size_t parts = host.parts.values.size();
  if (parts != 1 && parts != 2) return false;
  return parts == 2 || host.variants.values.size() == 1;
}

const Cpu* find_single_core(const Description& host) {
  long part = host.parts.values[0];
  long variant = host.variants.values.empty() ? kNoValue : host.variants.values[0];
  for (const Cpu& cpu : cpus()) {
    if (static_cast<long>(cpu.implementer) != host.implementer) continue;
    if (static_cast<long>(cpu.part) != part) continue;
    if (cpu.variant == kAnyVariant || cpu.variant == variant) return &cpu;
  }
  return nullptr;
}

const Cpu* find_pair(const Description& host) {
  unsigned first = static_cast<unsigned>(host.parts.values[0]) & 0xfff;
  unsigned second = static_cast<unsigned>(host.parts.values[1]) & 0xfff;
  for (const Cpu& cpu : cpus()) {
    if (static_cast<long>(cpu.implementer) != host.implementer) continue;
    if (cpu.part == ((first << 12) | second) || cpu.part == ((second << 12) | first)) return &cpu;
  }
  return nullptr;
}

}  // namespace

std::optional<std::string> detect_host_cpu(std::FILE* description, std::string_view mode) {
  bool arch = mode == "arch";
  bool tune = mode == "tune";
  if (!arch && !tune && mode != "cpu") return std::nullopt;
  Description host;
  if (!read_description(description, host, !tune)) return std::nullopt;

  std::string result;
  FeatureFlags defaults;
  if (arch || host.parts.values.size() == 1) {
    const Cpu* cpu = find_single_core(host);
    if (cpu == nullptr) {
      result = "-march=armv8-a";
      defaults = kBaseArchFlags;
    } else if (arch) {
      result = std::string("-march=") + cpu->architecture;
      defaults = find_architecture(cpu->architecture)->flags;
    } else {
      result = std::string(tune ? "-mtune=" : "-mcpu=") + cpu->name;
      defaults = cpu->flags;
    }
  } else {
    const Cpu* cpu = find_pair(host);
    if (cpu == nullptr) return std::nullopt;
    result = std::string(tune ? "-mtune=" : "-mcpu=") + cpu->name;
    defaults = cpu->flags;
  }
  if (!tune) result += extension_suffix(host.detected, defaults);
  return result;
}

std::string rewrite_mcpu_value(std::string_view value) {
  std::size_t plus = value.find('+');
  std::string_view name = value.substr(0, plus);
  std::string_view modifiers = plus == std::string_view::npos ? "" : value.substr(plus);
  const Cpu* cpu = find_cpu(name);
  const Architecture* arch = cpu != nullptr ? find_architecture(cpu->architecture) : nullptr;
  if (arch == nullptr) {
    std::string text(value);
    fatal_error(current_location, "unknown value %qs for %<-mcpu%>", text.c_str());
  }
  FeatureFlags flags = apply_extension_modifiers(modifiers, cpu->flags);
  return arch->name + extension_suffix(flags, arch->flags);
}

}  // namespace vorn::aarch64
