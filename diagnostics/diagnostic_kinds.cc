#include "diagnostics/diagnostic_kinds.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "diagnostics/intl.h"
#include "support/text_pool.h"

namespace vorn {
namespace {

constexpr int kKindCount = static_cast<int>(DiagnosticKind::kLastKind) + 1;

struct KindSource {
  std::string_view text;
  std::string_view colour;  // default-constructed: none
};

constexpr std::string_view kNone{};

consteval std::array<KindSource, kKindCount> kind_sources() {
  return {{
      {"", kNone},                                 // unspecified
      {"", kNone},                                 // ignored
      {N_("fatal error: "), "error"},              // fatal error
      {N_("internal compiler error: "), "error"},  // internal error
      {N_("error: "), "error"},                    // error
      {N_("sorry, unimplemented: "), "error"},     // sorry
      {N_("warning: "), "warning"},                // warning
      {N_("anachronism: "), "warning"},            // anachronism
      {N_("note: "), "note"},                      // note
      {N_("debug: "), "note"},                     // debug
      {N_("path: "), "path"},                      // path
      {N_("pedwarn: "), kNone},                    // pedwarn
      {N_("permerror: "), kNone},                  // permerror
      {N_("error: "), kNone},                      // warning as error
      {N_("internal compiler error: "), "error"},  // internal error, no backtrace
      {"must-not-happen", kNone},                  // end marker
  }};
}

// The texts, then the colour names.
constexpr auto kPool = make_text_pool<std::uint8_t>([] {
  std::array<std::string_view, 2 * kKindCount> texts{};
  constexpr auto sources = kind_sources();
  for (int i = 0; i < kKindCount; ++i) {
    texts[i] = sources[i].text;
    texts[kKindCount + i] = sources[i].colour;
  }
  return texts;
});

int index_of(DiagnosticKind kind) {
  int index = kind_index(kind);
  if (index < 0 || index > kind_index(DiagnosticKind::kLastKind)) {
    index = kind_index(DiagnosticKind::kLastKind);
  }
  return index;
}

}  // namespace

const char* kind_text(DiagnosticKind kind) {
  return kPool.text(index_of(kind));
}

const char* kind_colour_name(DiagnosticKind kind) {
  return kPool.text(kKindCount + index_of(kind));
}

}  // namespace vorn
