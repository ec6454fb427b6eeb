// The option machinery's part of a run's state.
#ifndef VORN_OPTIONS_RUN_OPTIONS_H
#define VORN_OPTIONS_RUN_OPTIONS_H

#include "options/common_options.h"
#include "support/current_state.h"

namespace vorn {

struct RunOptions {
  // The "--help=" requests and the DWARF version the common handler keeps.
  CommonOptionState common;
};

inline RunOptions& run_options() {
  return CurrentState<RunOptions>::get();
}

}  // namespace vorn

#endif  // VORN_OPTIONS_RUN_OPTIONS_H
