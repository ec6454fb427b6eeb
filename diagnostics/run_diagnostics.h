// The diagnostics layer's part of a run's state: what it has counted and
// decided while the run reports.
#ifndef VORN_DIAGNOSTICS_RUN_DIAGNOSTICS_H
#define VORN_DIAGNOSTICS_RUN_DIAGNOSTICS_H

#include "support/current_state.h"

namespace vorn {

struct RunDiagnostics {};

inline RunDiagnostics& run_diagnostics() {
  return CurrentState<RunDiagnostics>::get();
}

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_RUN_DIAGNOSTICS_H
