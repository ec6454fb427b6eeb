// The owner of one run's whole state.  `main` makes one; a unit test makes
// a fresh one.  Each module keeps its own state type in its own header and
// reaches it through the binding the owner sets up here, in the order the
// modules stand in (each may use the ones before it while it is made).
//
// Outside the owner stays only what must survive any state: the two
// temporary-file deletion lists the signal handler walks
// (driver/temp_files.h), the way out's own words (support/process_exit.h,
// support/live_children.h), and facts of the process rather than of the
// run (the C library's locale, standard output's first write error, the
// option arena's blocks).
#ifndef VORN_DRIVER_RUN_H
#define VORN_DRIVER_RUN_H

#include "diagnostics/run_diagnostics.h"
#include "driver/run_driver.h"
#include "options/run_options.h"
#include "specs/run_specs.h"
#include "support/current_state.h"

namespace vorn {

class Run {
 public:
  Run() = default;
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  RunDiagnostics& diagnostics() { return diagnostics_.state; }
  RunOptions& options() { return options_.state; }
  RunSpecs& specs() { return specs_.state; }
  RunDriver& driver() { return driver_.state; }

 private:
  BoundState<RunDiagnostics> diagnostics_;  // context, colours, links, quotes
  BoundState<RunOptions> options_;          // the common option state
  BoundState<RunSpecs> specs_;              // command line, named specs, prefixes, ...
  BoundState<RunDriver> driver_;            // children, driver options, environment, ...
};

}  // namespace vorn

#endif  // VORN_DRIVER_RUN_H
