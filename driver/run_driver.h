// The driver's own part of a run's state: what the children did, the
// driver's option state, the environment manager, the execution counters
// and what the phases hand each other.
#ifndef VORN_DRIVER_RUN_DRIVER_H
#define VORN_DRIVER_RUN_DRIVER_H

#include <cstdio>
#include <vector>

#include "driver/env_manager.h"
#include "driver/execute.h"
#include "driver/spec_hooks_impl.h"
#include "driver/temp_files.h"
#include "options/decoded_option.h"
#include "options/options_record.h"
#include "specs/switches.h"
#include "support/current_state.h"

namespace vorn {

// What the children did; decides the exit status together with the error
// count of the diagnostics layer.
struct RunState {
  unsigned signal_failures = 0;  // children that died of SIGPIPE
  int highest_child_status = 1;  // raised by any child exiting with >= 1
};

// Which help the sub-processes are asked for.
enum class SubprocessHelp { kNone = 0, kTarget = 1, kHelpEquals = 2 };

// The driver's own option state: what the option handlers decided and the
// option variables the option machinery stored.  Written only while the
// command line is processed; read by every later phase.
struct DriverState {
  // The global option variables (-v, -pipe, -time, -wrapper, -freport-bug,
  // -pass-exit-codes, -print-*, ...).  command_line().options points here.
  // Zero until the option machinery fills them in.
  OptionsRecord options{};
  OptionsRecord explicitly_set{};

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

struct RunDriver {
  // What the children did, for the exit status.
  RunState children;
  // The driver's option state, set while the command line is processed.
  DriverState state;
  // The one path to the environment, with its restore records.
  EnvManager environment;
  // COLLECT_VORN_OPTIONS as last exported, handed out again while current.
  LastCollectExport collect_export;
  // The commands run, or under -### shown, so far.
  ExecutionCounters execution;
  // What the spec interpreter calls back into.
  DriverSpecHooks spec_hooks;
  // The second compilation's switches under -fcompare-debug.
  SwitchTable compare_debug_switches;
  // The decoded options as the C++ adjustments rewrote them.
  std::vector<DecodedOption> cxx_options;
  // While self specs are applied, the options that steer the run are only recorded.
  bool self_spec_mode = false;
  // The deletion lists' indexes and the temporary directory.
  TempFileIndexes temp_files;
};

inline RunDriver& run_driver() {
  return CurrentState<RunDriver>::get();
}

inline RunState& run_state() {
  return run_driver().children;
}

inline DriverState& driver_state() {
  return run_driver().state;
}

// The one instance of the environment manager: the run's.
inline EnvManager& env_manager() {
  return run_driver().environment;
}

}  // namespace vorn

#endif  // VORN_DRIVER_RUN_DRIVER_H
