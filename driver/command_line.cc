// process_command: from decoded options to the switch table, the input
// list and the driver's option state.
#include "driver/command_line.h"

#include <cstring>
#include <ctime>
#include <string>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/cxx_adjustments.h"
#include "driver/driver.h"
#include "driver/env_manager.h"
#include "driver/run_driver.h"
#include "options/option_codes.h"
#include "options/option_table.h"
#include "specs/input_identity.h"
#include "specs/switches.h"

namespace vorn {
namespace {

bool any_option_is(std::size_t count, const DecodedOption* options, std::size_t code) {
  for (std::size_t i = 1; i < count; ++i) {
    if (options[i].index == code) return true;
  }
  return false;
}

StopOptions stop_options_given(std::size_t count, const DecodedOption* options) {
  StopOptions stops;
  for (std::size_t i = 1; i < count; ++i) {
    std::size_t code = options[i].index;
    stops.compile = stops.compile || code == OPT_c;
    stops.assemble = stops.assemble || code == OPT_S;
    stops.preprocess = stops.preprocess || code == OPT_E;
    stops.syntax_only = stops.syntax_only || code == OPT_fsyntax_only;
  }
  return stops;
}

// The configured version up to its first blank: what specs call the
// version.
const char* short_compiler_version() {
  const char* version = config::kVersion;
  std::size_t length = std::strcspn(version, " \t");
  return xstrndup(version, length);
}

// The compare-debug request of the environment, taken only when the
// command line said nothing about it.
void read_compare_debug_environment() {
  CommandLine& line = command_line();
  if (line.compare_debug == CompareDebug::kNotRequested) {
    const char* value = env_manager().getenv("VORN_COMPARE_DEBUG");
    if (value != nullptr && value[0] == '-') {
      line.compare_debug.request_from_environment(true);
      line.compare_debug_option = value;
    } else if (value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0) {
      line.compare_debug.request_from_environment(false);
      line.compare_debug_option = "-gtoggle";
    }
  }
  line.compare_debug.forget_refusal();
}

// -gtoggle flips the debug level as the compiler proper will, so that
// specs testing the level see the final one.
void apply_gtoggle() {
  OptionsRecord& options = driver_state().options;
  if (!options.x_flag_gtoggle) return;
  // 0 is no debug information, 2 the normal level.
  options.x_debug_level = options.x_debug_level == 0 ? 2 : 0;
}

void warn_trailing_x_language() {
  const DriverState& state = driver_state();
  const CommandLine& line = command_line();
  if (line.inputs.empty() || state.x_language == nullptr) return;
  if (state.inputs_at_last_x >= 0 &&
      static_cast<std::size_t>(state.inputs_at_last_x) == line.inputs.size()) {
    report_warning(0, _("%<-x %s%> after last input file has no effect"), state.x_language);
  }
}

void record_compare_debug_switch() {
  CommandLine& line = command_line();
  if (!line.compare_debug.from_environment()) return;
  // The environment's request always names the options or -gtoggle.
  std::string text = std::string("-fcompare-debug=") + line.compare_debug_option;
  line.switches.record(xstrdup(text.c_str()), 0, nullptr, false, true);
  line.compare_debug.accept_environment_request();
}

void add_help_dummy() {
  const DriverState& state = driver_state();
  if (!command_line().inputs.empty()) return;
  if (state.help_requested || state.version_requested ||
      state.subprocess_help != SubprocessHelp::kNone) {
    command_line().inputs.add("help-dummy", "c");
  }
}

// A command line made only of the program name and -v, or of the program
// name and at most --help and --version, may name environment variables
// that are unset in specs (those runs only print).
bool undefined_variables_allowed(std::size_t count) {
  const DriverState& state = driver_state();
  if (state.options.x_verbose_flag && count == 2) return true;
  std::size_t queries = (state.help_requested ? 1 : 0) + (state.version_requested ? 1 : 0);
  return count == 1 + queries;
}

void apply_options(std::size_t count, const DecodedOption* options) {
  driver_state().inputs_at_last_x = -1;
  for (std::size_t i = 1; i < count; ++i) {
    const DecodedOption& decoded = options[i];
    if (decoded.index == INPUT_FILE_ENTRY) {
      command_line().inputs.add(decoded.argument, driver_state().x_language);
      continue;
    }
    apply_driver_option(&decoded);
  }
}

}  // namespace

void process_command(std::size_t count, const DecodedOption* options) {
  CommandLine& line = command_line();
  DriverState& state = driver_state();
  line.options = &state.options;

  // What the later steps read: the environment's installation prefix,
  // empty tables, the version and how symbolic links in argv[0] are
  // treated.
  const char* exec_prefix_env = env_manager().getenv("VORN_EXEC_PREFIX");
  line.exec_prefix_from_env = exec_prefix_env;
  line.inputs.clear();
  line.switches.clear();
  state.added_libraries = 0;
  state.compiler_version = short_compiler_version();
  state.resolve_links = !any_option_is(count, options, OPT_no_canonical_prefixes);

  // Where this installation is, the C++ adjustments of the argument list
  // (so that the options applied below include what they add), and the
  // search paths the environment adds.
  // The first entry is always the program name as run.
  set_up_installation_prefixes(options[0].argument, exec_prefix_env);
  // The count as given decides whether a print-only run may name unset
  // variables; what the adjustments append is not the user's.
  const std::size_t given_count = count;
  lang_specific_driver(&options, &count, &state.added_libraries);
  add_environment_path_prefixes();

  // -c, -S, -E and -fsyntax-only are known before any option is applied,
  // so that handlers and specs see them whatever the order.
  line.stops = stop_options_given(count, options);

  apply_options(count, options);

  // What depends on all the options together: -gtoggle, the output file,
  // the dump names, -pipe against -save-temps, and the compare-debug
  // environment.
  apply_gtoggle();
  check_output_file();
  compute_dump_naming(state.options.x_flag_wpa != nullptr);
  if (line.save_temps != SaveTempsMode::kNone && state.options.x_use_pipes) {
    report_warning(0, _("%<-pipe%> ignored because %<-save-temps%> specified"));
    state.options.x_use_pipes = 0;
  }
  read_compare_debug_environment();

  // The configured prefixes and the tool directory, which rank after
  // those that the options and the environment gave.
  add_configured_prefixes();

  // Last, what looks at or adds to the tables the options filled.  They
  // need no closing: each always ends with its end entry.
  warn_trailing_x_language();
  record_compare_debug_switch();
  add_help_dummy();
  line.undefined_variables_allowed = undefined_variables_allowed(given_count);
}

void check_output_file() {
  const DriverState& state = driver_state();
  if (!state.output_given) return;
  const char* output = state.output_file;
  // -o always carries its argument; only an empty one is refused here.
  if (output[0] == '\0') {
    fatal_error(current_location, _("output filename may not be empty"));
  }
  if (std::strcmp(output, "-") == 0 || std::strcmp(output, "/dev/null") == 0) return;
  // By device and inode as well as by name: a hard link or a symbolic link
  // to an input is that input.
  if (const char* input = input_overwritten_by(output)) {
    fatal_error(current_location, _("input file %qs is the same as output file"), input);
  }
}

void set_source_date_epoch() {
  std::time_t now = std::time(nullptr);
  unsigned long long seconds = now > 0 ? static_cast<unsigned long long>(now) : 0;
  // Set directly, not through the environment manager, so that it is not
  // restored and the second compare-debug compilation sees the same value.
  set_environment_variable("SOURCE_DATE_EPOCH", std::to_string(seconds).c_str(), false);
}

}  // namespace vorn
