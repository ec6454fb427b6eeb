// The driver object that runs one invocation's phases, and shorthands for
// the driver's option state (driver/run_driver.h) that many modules read.
// The switch table, the input list and the dump-naming state that specs
// read live in specs/switches.h (`command_line()`); the prefix lists in
// specs/prefixes.h.
#ifndef VORN_DRIVER_DRIVER_H
#define VORN_DRIVER_DRIVER_H

#include <cstddef>
#include <cstdio>

#include "driver/run_driver.h"
#include "options/decoded_option.h"
#include "options/option_table.h"
#include "options/suggestion_candidates.h"
#include "options/suggestions.h"

namespace vorn {

class Run;

// Shorthands for the option flags that execution and temporary files read.
inline bool verbose_flag() {
  return driver_state().options.x_verbose_flag != 0;
}
inline int verbose_only_count() {
  return driver_state().verbose_only_count;
}
inline bool report_times() {
  return driver_state().options.x_report_times != 0;
}
inline std::FILE* times_file() {
  return driver_state().times_file;
}
inline const char* wrapper_string() {
  return driver_state().options.x_wrapper_string;
}
inline bool report_bug_flag() {
  return driver_state().options.x_flag_report_bug != 0;
}
inline bool use_pipes() {
  return driver_state().options.x_use_pipes != 0;
}
inline bool help_requested() {
  return driver_state().help_requested;
}
// The save-temps mode is command_line().save_temps (specs/switches.h).

// Runs one invocation: the phases in their fixed order, over the run's
// state, each given the pieces of it that it reads and writes.
class CompilerDriver {
 public:
  // RUN outlives the driver.  The two modes of the environment manager;
  // the program passes false.
  CompilerDriver(Run& run, bool record_for_restore, bool trace);
  ~CompilerDriver();
  CompilerDriver(const CompilerDriver&) = delete;
  CompilerDriver& operator=(const CompilerDriver&) = delete;

  // Returns the process exit status.
  int main(int argc, char** argv);

  // One byte per input: 1 when no compiler takes it and it goes to the
  // linker unchanged.  Null until the input languages are assigned.
  unsigned char* explicit_link_inputs() { return explicit_link_inputs_; }
  const DecodedOption* decoded_options() const { return decoded_; }
  std::size_t decoded_count() const { return decoded_count_; }

 private:
  void record_program_name(const char* argv0);
  void expand_argument_files(int* argc, char*** argv);
  void decode_command_line(int argc, char** argv, DriverState* state);
  void initialize_process_state(DriverSpecHooks* hooks);
  void prepare_multilib_strings();
  void set_up_specs();
  void report_unrecognized_options();
  bool completion_requested(const char* prefix);
  int answer_queries(const DriverState& state);           // 0: go on; otherwise stop
  bool assign_input_languages(const DriverState& state);  // false: stop
  void do_spec_on_infiles(const DriverState& state);
  void refuse_default_outputs_over_inputs(const DriverState& state);
  void maybe_run_linker(const char* argv0, const DriverState& state, EnvManager* environment);
  void finish_run(bool help_requested);
  int exit_status(const RunDriver& driver) const;

  Run& run_;
  unsigned char* explicit_link_inputs_ = nullptr;
  DecodedOption* decoded_ = nullptr;
  std::size_t decoded_count_ = 0;
  // Builds its candidate list only when a hint or completion is asked for.
  OptionSuggester suggester_{option_suggestion_candidates()};
};

// The exit status from the run state and the error count: 2 after a
// SIGPIPE death, then 1 (or the highest child status with
// -pass-exit-codes) after errors, else 0.
int compute_exit_status(const RunState& state, bool errors_seen, bool pass_exit_codes);

}  // namespace vorn

#endif  // VORN_DRIVER_DRIVER_H
