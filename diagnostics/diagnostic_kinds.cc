#include "diagnostics/diagnostic_kinds.h"

#include "diagnostics/intl.h"

namespace vorn {
namespace {

struct KindInfo {
  const char* text;
  const char* colour;
};

constexpr KindInfo kKinds[] = {
    {"", nullptr},                               // unspecified
    {"", nullptr},                               // ignored
    {N_("fatal error: "), "error"},              // fatal error
    {N_("internal compiler error: "), "error"},  // internal error
    {N_("error: "), "error"},                    // error
    {N_("sorry, unimplemented: "), "error"},     // sorry
    {N_("warning: "), "warning"},                // warning
    {N_("anachronism: "), "warning"},            // anachronism
    {N_("note: "), "note"},                      // note
    {N_("debug: "), "note"},                     // debug
    {N_("path: "), "path"},                      // path
    {N_("pedwarn: "), nullptr},                  // pedwarn
    {N_("permerror: "), nullptr},                // permerror
    {N_("error: "), nullptr},                    // warning as error
    {N_("internal compiler error: "), "error"},  // internal error, no backtrace
    {"must-not-happen", nullptr},                // end marker
};

static_assert(sizeof(kKinds) / sizeof(kKinds[0]) ==
              static_cast<int>(DiagnosticKind::kLastKind) + 1);

const KindInfo& info(DiagnosticKind kind) {
  int index = kind_index(kind);
  if (index < 0 || index > kind_index(DiagnosticKind::kLastKind)) {
    index = kind_index(DiagnosticKind::kLastKind);
  }
  return kKinds[index];
}

}  // namespace

const char* kind_text(DiagnosticKind kind) {
  return info(kind).text;
}

const char* kind_colour_name(DiagnosticKind kind) {
  return info(kind).colour;
}

}  // namespace vorn
