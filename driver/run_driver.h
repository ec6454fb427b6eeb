// The driver's own part of a run's state: what the children did, the
// driver's option state, the environment manager, the execution counters
// and what the phases hand each other.
#ifndef VORN_DRIVER_RUN_DRIVER_H
#define VORN_DRIVER_RUN_DRIVER_H

#include "support/current_state.h"

namespace vorn {

struct RunDriver {};

inline RunDriver& run_driver() {
  return CurrentState<RunDriver>::get();
}

}  // namespace vorn

#endif  // VORN_DRIVER_RUN_DRIVER_H
