// The diagnostics layer's part of a run's state: what it has counted and
// decided while the run reports.
#ifndef VORN_DIAGNOSTICS_RUN_DIAGNOSTICS_H
#define VORN_DIAGNOSTICS_RUN_DIAGNOSTICS_H

#include "diagnostics/colours.h"
#include "diagnostics/diagnostic_context.h"
#include "diagnostics/locale_and_quotes.h"
#include "support/current_state.h"

namespace vorn {

struct RunDiagnostics {
  // Whether and how each diagnostic is reported, its printer and counters.
  DiagnosticContext context;
  // The sequences "VORN_COLORS" gave the named colours.
  ColourOverrides colours;
  // The quotation marks in force and what of the catalogue's set-up is
  // still to come.
  MessageLocale message_locale;
};

inline RunDiagnostics& run_diagnostics() {
  return CurrentState<RunDiagnostics>::get();
}

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_RUN_DIAGNOSTICS_H
