// The phases of one run, in their fixed order, and the exit status.
#include <cstdio>
#include <cstdlib>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/argument_files.h"
#include "driver/driver.h"
#include "driver/env_manager.h"
#include "driver/process_state.h"
#include "driver/run.h"
#include "driver/spec_hooks_impl.h"
#include "driver/spec_setup.h"
#include "driver/temp_files.h"
#include "options/common_options.h"
#include "options/decode.h"
#include "specs/spec_hooks.h"
#include "specs/switches.h"
#include "support/standard_output.h"

namespace vorn {

int compute_exit_status(const RunState& state, bool errors, bool pass_codes) {
  if (state.signal_failures != 0) return 2;
  if (errors) return pass_codes ? state.highest_child_status : 1;
  return 0;
}

CompilerDriver::CompilerDriver(Run& run, bool record_for_restore, bool trace) : run_(run) {
  run_.driver().environment.init(record_for_restore, trace);
}

CompilerDriver::~CompilerDriver() {
  std::free(explicit_link_inputs_);
  std::free(decoded_);
}

void CompilerDriver::record_program_name(const char* argv0) {
  vorn::record_program_name(argv0);
}

void CompilerDriver::expand_argument_files(int* argc, char*** argv) {
  if (vorn::expand_argument_files(argc, argv)) command_line().argument_files_supplied = true;
}

void CompilerDriver::decode_command_line(int argc, char** argv, DriverState* state) {
  init_options_struct(&state->options, &state->explicitly_set);
  command_line().options = &state->options;
  decode_options_to_array(static_cast<std::size_t>(argc), argv, kFlagDriver, &decoded_,
                          &decoded_count_);
}

void CompilerDriver::initialize_process_state(DriverSpecHooks* hooks) {
  vorn::initialize_process_state();
  // The run's own hooks: they live as long as every later expansion.
  set_spec_hooks(hooks);
}

void CompilerDriver::prepare_multilib_strings() {
  // No multilibs are configured for this target; the built-in multilib
  // specs already describe the single default.
}

void CompilerDriver::set_up_specs() {
  prepare_specs(decoded_count_, decoded_);
}

void CompilerDriver::report_unrecognized_options() {
  // Switches that neither a driver handler nor any spec accepted.
  for (const CommandSwitch& sw : command_line().switches) {
    if (sw.validated) continue;
    if (const char* hint = suggester_.suggest_option(sw.text)) {
      report_error(_("unrecognized command-line option %<-%s%>; did you mean %<-%s%>?"), sw.text,
                   hint);
    } else {
      report_error(_("unrecognized command-line option %<-%s%>"), sw.text);
    }
  }
}

bool CompilerDriver::completion_requested(const char* prefix) {
  if (prefix == nullptr) return false;
  suggester_.print_completions(prefix, stdout);
  flush_standard_output();
  return true;
}

void CompilerDriver::finish_run(bool help_requested) {
  if (errors_seen()) {
    remove_failure_files();
    // Dealt with: the way out must not delete (and report) them again.
    forget_failure_files();
  }
  remove_temp_files();
  if (help_requested) {
    std::printf("%s", _("\nFor bug reporting instructions, please see:\n"));
    std::printf("%s\n", config::kBugReportUrl);
  }
}

int CompilerDriver::exit_status(const RunDriver& driver) const {
  const bool pass_codes = driver.state.options.x_pass_exit_codes != 0;
  return compute_exit_status(driver.children, errors_seen(), pass_codes);
}

int CompilerDriver::main(int argc, char** argv) {
  RunDriver& driver = run_.driver();
  DriverState& state = driver.state;
  open_missing_standard_descriptors();
  record_program_name(argv[0]);
  expand_argument_files(&argc, &argv);
  state.argv0 = argv[0];
  decode_command_line(argc, argv, &state);
  initialize_process_state(&driver.spec_hooks);
  prepare_multilib_strings();
  set_up_specs();
  export_assembler_options();
  export_driver_name(argv[0]);
  export_lto_runner();
  export_offload_targets(state.offload_targets);
  report_unrecognized_options();
  // A query is answered even after an error, but the error still fails
  // the run.
  if (completion_requested(state.completion)) return exit_status(driver);
  if (answer_queries(state) != 0) return exit_status(driver);
  if (!assign_input_languages(state)) return exit_status(driver);
  do_spec_on_infiles(state);
  maybe_run_linker(argv[0], state, &driver.environment);
  finish_run(state.help_requested);
  return exit_status(driver);
}

}  // namespace vorn
