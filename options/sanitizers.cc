// Sanitizer lists: "-fsanitize=address,undefined", its "no-" form and
// "-fsanitize-trap=".
#include "options/sanitizers.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/intl.h"
#include "options/edit_distance.h"
#include "options/option_codes.h"
#include "options/option_table.h"

namespace vorn {
namespace {

#define VORN_SANITIZER(name, bits, trap) \
  { name, sizeof(name) - 1, bits, trap }
constexpr SanitizerName kSanitizers[] = {
    VORN_SANITIZER("address", 0x3, false),
    VORN_SANITIZER("hwaddress", 0x30000000, false),
    VORN_SANITIZER("kernel-address", 0x5, false),
    VORN_SANITIZER("kernel-hwaddress", 0x50000000, false),
    VORN_SANITIZER("pointer-compare", 0x4000000, false),
    VORN_SANITIZER("pointer-subtract", 0x8000000, false),
    VORN_SANITIZER("thread", 0x8, false),
    VORN_SANITIZER("leak", 0x10, false),
    VORN_SANITIZER("shift", 0x60, true),
    VORN_SANITIZER("shift-base", 0x20, true),
    VORN_SANITIZER("shift-exponent", 0x40, true),
    VORN_SANITIZER("integer-divide-by-zero", 0x80, true),
    VORN_SANITIZER("undefined", 0x37E7FE0, true),
    VORN_SANITIZER("unreachable", 0x100, true),
    VORN_SANITIZER("vla-bound", 0x200, true),
    VORN_SANITIZER("return", 0x800, true),
    VORN_SANITIZER("null", 0x400, true),
    VORN_SANITIZER("signed-integer-overflow", 0x1000, true),
    VORN_SANITIZER("bool", 0x2000, true),
    VORN_SANITIZER("enum", 0x4000, true),
    VORN_SANITIZER("float-divide-by-zero", 0x8000, true),
    VORN_SANITIZER("float-cast-overflow", 0x10000, true),
    VORN_SANITIZER("bounds", 0x20000, true),
    VORN_SANITIZER("bounds-strict", 0x820000, true),
    VORN_SANITIZER("alignment", 0x40000, true),
    VORN_SANITIZER("nonnull-attribute", 0x80000, true),
    VORN_SANITIZER("returns-nonnull-attribute", 0x100000, true),
    VORN_SANITIZER("object-size", 0x200000, true),
    VORN_SANITIZER("vptr", 0x400000, false),
    VORN_SANITIZER("pointer-overflow", 0x1000000, true),
    VORN_SANITIZER("builtin", 0x2000000, true),
    VORN_SANITIZER("shadow-call-stack", 0x80000000, false),
    VORN_SANITIZER("all", 0xFFFFFFFF, true),
};
#undef VORN_SANITIZER
static_assert(std::size(kSanitizers) == 33);

const SanitizerName* find_sanitizer(std::string_view name) {
  for (const SanitizerName& sanitizer : kSanitizers) {
    if (name == std::string_view(sanitizer.name, sanitizer.length)) return &sanitizer;
  }
  return nullptr;
}

void report_unknown(std::string_view element, SourceLocation location, std::size_t code,
                    bool positive) {
  const char* negated = positive ? "" : "no-";
  const char* suffix = code == OPT_fsanitize_ ? "" : "-trap";
  int length = static_cast<int>(element.size());
  const char* hint = closest_sanitizer_name(element.data(), element.size(), code, positive);
  if (hint != nullptr) {
    error_at(location,
             _("unrecognized argument to %<-f%ssanitize%s=%> option: %q.*s; did you mean %qs?"),
             negated, suffix, length, element.data(), hint);
  } else {
    error_at(location, _("unrecognized argument to %<-f%ssanitize%s=%> option: %q.*s"), negated,
             suffix, length, element.data());
  }
}

// The set after one known ELEMENT.
std::int64_t apply_sanitizer(const SanitizerName& sanitizer, SourceLocation location,
                             std::size_t code, std::int64_t set, bool positive, bool complain) {
  const bool trap = code == OPT_fsanitize_trap_;
  const bool all = std::strcmp(sanitizer.name, "all") == 0;
  if (!positive) {
    set &= ~sanitizer.bits;
    // Another address sanitizer still on keeps the common address bit.
    if ((set & (kSanitizeUserAddress | kSanitizeKernelAddress)) != 0) set |= kSanitizeAddress;
    return set;
  }
  if (all && !trap) {
    if (complain) error_at(location, _("%<-fsanitize=all%> option is not valid"));
    return set;
  }
  if (all) return set | kSanitizeUndefinedChecks;
  // Only "vptr" has no trapping form.  The other names that cannot trap
  // still add their bits: the trap column only keeps them out of hints.
  if (trap && std::strcmp(sanitizer.name, "vptr") == 0) {
    error_at(location, _("%<-fsanitize-trap=%s%> is not supported"), sanitizer.name);
    return set;
  }
  return set | sanitizer.bits;
}

}  // namespace

std::span<const SanitizerName> sanitizer_names() {
  return kSanitizers;
}

std::int64_t parse_sanitizer_list(const char* argument, SourceLocation location, std::size_t code,
                                  std::int64_t set, bool positive, bool complain) {
  std::string_view rest = argument;
  while (!rest.empty()) {
    std::size_t comma = rest.find(',');
    std::string_view element = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    if (element.empty()) continue;
    if (const SanitizerName* sanitizer = find_sanitizer(element)) {
      set = apply_sanitizer(*sanitizer, location, code, set, positive, complain);
    } else if (complain) {
      report_unknown(element, location, code, positive);
    }
  }
  return set;
}

const char* closest_sanitizer_name(const char* name, std::size_t length, std::size_t code,
                                   bool positive) {
  std::vector<const char*> candidates;
  for (const SanitizerName& sanitizer : kSanitizers) {
    if (positive && code == OPT_fsanitize_ && std::strcmp(sanitizer.name, "all") == 0) continue;
    if (positive && code == OPT_fsanitize_trap_ && !sanitizer.trap_allowed) continue;
    candidates.push_back(sanitizer.name);
  }
  std::string goal(name, length);
  return find_closest_string(goal.c_str(), candidates);
}

}  // namespace vorn
