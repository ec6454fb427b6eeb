// The spec machinery's part of a run's state: the command line as the
// specs see it, the named specs, the compilers table, multilib, the search
// prefixes, the input index and the interpreter's state.
#ifndef VORN_SPECS_RUN_SPECS_H
#define VORN_SPECS_RUN_SPECS_H

#include "support/current_state.h"

namespace vorn {

struct RunSpecs {};

inline RunSpecs& run_specs() {
  return CurrentState<RunSpecs>::get();
}

}  // namespace vorn

#endif  // VORN_SPECS_RUN_SPECS_H
