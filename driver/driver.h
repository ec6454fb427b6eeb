// The driver object that runs one invocation's phases, and the run-wide
// state its modules share: what happened to the children (for the exit
// status) and the driver's own option state.  The switch table, the input
// list and the dump-naming state that specs read live in specs/switches.h
// (`command_line()`); the prefix lists in specs/prefixes.h.
#ifndef VORN_DRIVER_DRIVER_H
#define VORN_DRIVER_DRIVER_H

#include <cstddef>
#include <cstdio>
#include <vector>

#include "options/decoded_option.h"
#include "options/option_table.h"
#include "options/options_record.h"
#include "options/suggestion_candidates.h"
#include "options/suggestions.h"

namespace vorn {

// What the children did; decides the exit status together with the error
// count of the diagnostics layer.
struct RunState {
  unsigned signal_failures = 0;  // children that died of SIGPIPE
  int highest_child_status = 1;  // raised by any child exiting with >= 1
};
RunState& run_state();

// Which help the sub-processes are asked for.
enum class SubprocessHelp { kNone = 0, kTarget = 1, kHelpEquals = 2 };

// The driver's own option state: what the option handlers decided and the
// option variables the option machinery stored.  Written only while the
// command line is processed; read by every later phase.
struct DriverState {
  // The global option variables (-v, -pipe, -time, -wrapper, -freport-bug,
  // -pass-exit-codes, -print-*, ...).  command_line().options points here.
  OptionsRecord options;
  OptionsRecord explicitly_set;

  const char* program_name = "vorn-cxx";  // argv[0] after its last "/"
  const char* argv0 = nullptr;            // argv[0] of the expanded vector

  int verbose_only_count = 0;  // each -### adds one
  bool help_requested = false;
  bool version_requested = false;
  SubprocessHelp subprocess_help = SubprocessHelp::kNone;
  const char* completion = nullptr;  // --completion= text

  const char* x_language = nullptr;  // -x in force; null: by suffix
  long inputs_at_last_x = -1;
  const char* output_file = nullptr;  // -o
  bool output_given = false;
  bool preprocess_only = false;           // -E, also from a self spec
  bool save_temps_after_dumpdir = false;  // a -save-temps= followed -dumpdir
  bool explicit_dump_dir = false;         // some -dumpdir was given

  std::vector<const char*> user_specs_files;  // -specs=, in order
  const char* linker_suffix = nullptr;        // ".bfd", ".gold", ".mold"
  bool compare_debug_second = false;          // -fcompare-debug-second
  std::FILE* times_file = nullptr;            // -time=FILE, opened for append
  const char* offload_targets = nullptr;      // colon-separated; "" disables

  // Installation directories, each ending in "/" (null: not known).
  const char* exec_prefix = nullptr;       // lib/vorn/ of this installation
  const char* libexec_prefix = nullptr;    // libexec/vorn/
  const char* standard_prefix = nullptr;   // the installation root, for relocation
  const char* compiler_version = nullptr;  // configured version up to a blank
  bool resolve_links = true;               // no -no-canonical-prefixes

  int added_libraries = 0;  // by the C++ adjustments
};
DriverState& driver_state();

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
inline bool pass_exit_codes() {
  return driver_state().options.x_pass_exit_codes != 0;
}
inline bool use_pipes() {
  return driver_state().options.x_use_pipes != 0;
}
inline bool help_requested() {
  return driver_state().help_requested;
}
// The save-temps mode is command_line().save_temps (specs/switches.h).

// Runs one invocation: the phases in their fixed order.
class CompilerDriver {
 public:
  // The two modes of the environment manager; the program passes false.
  CompilerDriver(bool record_for_restore, bool trace);
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
  void decode_command_line(int argc, char** argv);
  void initialize_process_state();
  void prepare_multilib_strings();
  void set_up_specs();
  void report_unrecognized_options();
  bool completion_requested();
  int answer_queries();           // 0: go on; otherwise stop
  bool assign_input_languages();  // false: stop
  void do_spec_on_infiles();
  void refuse_default_outputs_over_inputs();
  void maybe_run_linker(const char* argv0);
  void finish_run();
  int exit_status() const;

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
