// The driver's own options: driver_handle_option and the callbacks for
// options the driver does not know or that belong to another language.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/command_line.h"
#include "driver/driver.h"
#include "driver/process_state.h"
#include "driver/run_driver.h"
#include "options/common_options.h"
#include "options/edit_distance.h"
#include "options/option_arena.h"
#include "options/option_codes.h"
#include "options/option_table.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/switches.h"
#include "support/memory.h"
#include "support/process_exit.h"

namespace vorn {
namespace {

// Every decoded option has its canonical form: the decoder always fills
// in at least its first word.
void record_canonical(const DecodedOption* decoded, bool validated) {
  command_line().switches.record(decoded->canonical[0], decoded->canonical_count - 1,
                                 decoded->canonical + 1, validated, true);
}

// Calls ADD with every ","-separated piece of TEXT (empty pieces too).
template <typename Add>
void for_each_comma_piece(const char* text, Add add) {
  const char* start = text;
  for (const char* p = text;; ++p) {
    if (*p == ',' || *p == '\0') {
      add(xstrndup(start, static_cast<std::size_t>(p - start)));
      if (*p == '\0') break;
      start = p + 1;
    }
  }
}

// --help, --target-help and --version are also asked of the assembler and
// the linker.
void pass_to_subprocesses(const char* option) {
  command_line().assembler_options.push_back(option);
  command_line().linker_options.push_back(option);
}

void add_b_prefix(const char* value) {
  const char* prefix = value;
  std::size_t length = std::strlen(value);
  struct stat info;
  if (length > 0 && value[length - 1] != '/' && stat(value, &info) == 0 && S_ISDIR(info.st_mode)) {
    prefix = arena_concat(value, "/");
  }
  SearchPaths& paths = search_paths();
  add_search_prefix(&paths.exec_prefixes, prefix, nullptr, kPrefixPriorityB, kPrefixPlain, false);
  add_search_prefix(&paths.startfile_prefixes, prefix, nullptr, kPrefixPriorityB, kPrefixPlain,
                    false);
  add_search_prefix(&paths.include_prefixes, prefix, nullptr, kPrefixPriorityB, kPrefixPlain,
                    false);
}

void set_save_temps(const DecodedOption* decoded) {
  const char* value = decoded->argument;
  CommandLine& line = command_line();
  if (std::strcmp(value, "cwd") == 0) {
    line.save_temps = SaveTempsMode::kCwd;
  } else if (std::strcmp(value, "obj") == 0 || std::strcmp(value, "object") == 0) {
    line.save_temps = SaveTempsMode::kObj;
  } else {
    fatal_error(current_location, _("%qs is an unknown %<-save-temps%> option"),
                decoded->written_text);
  }
  driver_state().save_temps_after_dumpdir = true;
}

void open_times_file(const char* name) {
  DriverState& state = driver_state();
  if (state.times_file != nullptr) {
    std::fclose(state.times_file);
    state.times_file = nullptr;
  }
  state.times_file = std::fopen(name, "a");
}

void set_compare_debug(const DecodedOption* decoded) {
  CommandLine& line = command_line();
  if (decoded->index == OPT_fcompare_debug) {
    bool on = decoded->value != 0;
    line.compare_debug_option = on ? "-gtoggle" : nullptr;
    if (on) {
      line.compare_debug.request();
    } else {
      line.compare_debug.refuse();
    }
    line.switches.record(on ? "-fcompare-debug=-gtoggle" : "-fcompare-debug=", 0, nullptr, false,
                         true);
  } else {
    // A joined argument, possibly empty, never absent.
    const char* option = decoded->argument;
    bool empty = option[0] == '\0';
    line.compare_debug_option = empty ? nullptr : option;
    if (empty) {
      line.compare_debug.refuse();
    } else {
      line.compare_debug.request();
    }
    record_canonical(decoded, false);
  }
  set_source_date_epoch();
}

bool is_known_offload_target(const char* targets, const char* name, std::size_t length) {
  for (const char* p = targets; *p != '\0';) {
    std::size_t item = std::strcspn(p, ":");
    if (item == length && std::strncmp(p, name, length) == 0) return true;
    p += item;
    if (*p == ':') ++p;
  }
  return false;
}

void append_offload_target(const char* name, std::size_t length) {
  DriverState& state = driver_state();
  std::string targets = state.offload_targets != nullptr ? state.offload_targets : "";
  if (is_known_offload_target(targets.c_str(), name, length)) return;
  if (!targets.empty()) targets += ':';
  targets.append(name, length);
  state.offload_targets = xstrdup(targets.c_str());
}

void handle_offload(const DecodedOption* decoded) {
  const char* value = decoded->argument;
  if (value[0] != '-') {
    std::size_t names_end = std::strcspn(value, "=");
    for (const char* p = value; p < value + names_end;) {
      std::size_t length = std::strcspn(p, ",=");
      if (length == 7 && std::strncmp(p, "default", 7) == 0) {
        driver_state().offload_targets = nullptr;
      } else if ((length == 7 && std::strncmp(p, "disable", 7) == 0) ||
                 !check_offload_target_name(p, length)) {
        driver_state().offload_targets = "";
        break;
      } else {
        append_offload_target(p, length);
      }
      p += length;
      if (*p == ',') ++p;
    }
  }
  if (value[0] == '-' || std::strchr(value, '=') != nullptr) {
    command_line().switches.record(arena_concat("-foffload-options=", value), 0, nullptr, false,
                                   true);
  }
}

void handle_offload_options(const DecodedOption* decoded) {
  const char* value = decoded->argument;
  if (value[0] != '-') {
    const char* equals = std::strchr(value, '=');
    if (equals == nullptr) {
      report_error(_("%<=%>options missing after %<-foffload-options=%>target"));
    } else {
      for (const char* p = value; p < equals;) {
        std::size_t length = std::strcspn(p, ",=");
        check_offload_target_name(p, length);
        p += length;
        if (*p == ',') ++p;
      }
    }
  }
  record_canonical(decoded, false);
}

// These answers end the run at once; an error reported before them still
// fails it, and so does an answer that could not be written.
[[noreturn]] void exit_after_answer() {
  exit_process(finish_standard_output(errors_seen() ? 1 : 0));
}

[[noreturn]] void print_and_exit(const char* text) {
  std::printf("%s\n", text);
  exit_after_answer();
}

[[noreturn]] void dump_specs_and_exit() {
  // A -v (or -###) before -dumpspecs is already in force and reports the
  // built-in specs being loaded, as every other -v run does.
  if (!spec_list_exists()) install_default_specs(verbose_flag());
  dump_specs(stdout);
  exit_after_answer();
}

// How a handled option is kept in the switch table; kNotInGroup: the
// option is none of the group's, the next group is asked.
enum class Record { kNo, kYes, kValidated, kNotInGroup };

// -###, --completion= and the help and version requests: they only set
// what the run answers, and --help, --target-help and --version are asked
// of the assembler and the linker as well.
Record handle_request(const DecodedOption* decoded) {
  DriverState& state = driver_state();
  switch (decoded->index) {
    case OPT_HHH:
      state.options.x_verbose_flag = 1;
      ++state.verbose_only_count;
      return Record::kNo;
    case OPT__completion_:
      state.completion = decoded->argument;
      return Record::kValidated;
    case OPT__help:
      state.help_requested = true;
      pass_to_subprocesses("--help");
      return Record::kYes;
    case OPT__target_help:
      state.subprocess_help = SubprocessHelp::kTarget;
      pass_to_subprocesses("--target-help");
      return Record::kYes;
    case OPT__version:
      state.version_requested = true;
      pass_to_subprocesses("--version");
      return Record::kYes;
    case OPT__help_:
      state.subprocess_help = SubprocessHelp::kHelpEquals;
      return Record::kYes;
    default:
      return Record::kNotInGroup;
  }
}

// The options that name where files are looked for: the sysroot, the
// prefixes, the library and framework directories and the specs files.
Record handle_search_option(const DecodedOption* decoded) {
  const char* arg = decoded->argument;
  switch (decoded->index) {
    case OPT__sysroot_:
      search_paths().target_system_root = arg;
      command_line().sysroot_changed = true;
      return Record::kValidated;
    case OPT_B:
      add_b_prefix(arg);
      return Record::kValidated;
    case OPT_L:
      command_line().switches.record(arena_concat("-L", arg), 0, nullptr, false, true);
      return Record::kNo;
    case OPT_F:
      command_line().switches.record(arena_concat("-F", arg), 0, nullptr, false, true);
      return Record::kNo;
    case OPT_specs_:
      driver_state().user_specs_files.push_back(arg);
      return Record::kValidated;
    default:
      return Record::kNotInGroup;
  }
}

// The options whose argument goes, as it is or in its comma-separated
// pieces, to the linker (as link inputs), the assembler or the
// preprocessor.
Record handle_pass_through(const DecodedOption* decoded) {
  CommandLine& line = command_line();
  const char* arg = decoded->argument;
  switch (decoded->index) {
    case OPT_l:
      line.inputs.add(arena_concat("-l", arg), "*");
      return Record::kNo;
    case OPT_Xlinker:
      line.inputs.add(arg, "*");
      return Record::kNo;
    case OPT_Wl_:
      for_each_comma_piece(arg, [&](const char* piece) { line.inputs.add(piece, "*"); });
      return Record::kNo;
    case OPT_Wa_:
      for_each_comma_piece(arg, [&](const char* p) { line.assembler_options.push_back(p); });
      return Record::kNo;
    case OPT_Xassembler:
      line.assembler_options.push_back(arg);
      return Record::kNo;
    case OPT_Wp_:
      for_each_comma_piece(arg, [&](const char* p) { line.preprocessor_options.push_back(p); });
      return Record::kNo;
    case OPT_Xpreprocessor:
      line.preprocessor_options.push_back(arg);
      return Record::kNo;
    default:
      return Record::kNotInGroup;
  }
}

// The output, the language of the inputs that follow, and how outputs,
// kept temporaries, dumps and the times file are named.
Record handle_naming_option(const DecodedOption* decoded) {
  DriverState& state = driver_state();
  CommandLine& line = command_line();
  const char* arg = decoded->argument;
  switch (decoded->index) {
    case OPT_o:
      state.output_given = true;
      state.output_file = arg;
      line.switches.record("-o", 1, &arg, false, true);
      return Record::kNo;
    case OPT_x:
      if (std::strcmp(arg, "none") == 0) {
        state.x_language = nullptr;
      } else {
        state.x_language = arg;
        state.inputs_at_last_x = static_cast<long>(line.inputs.size());
      }
      return Record::kNo;
    case OPT_save_temps:
      if (line.save_temps == SaveTempsMode::kNone) line.save_temps = SaveTempsMode::kDump;
      return Record::kValidated;
    case OPT_save_temps_:
      set_save_temps(decoded);
      return Record::kYes;
    case OPT_dumpdir:
      line.dump_dir = xstrdup(arg);
      state.save_temps_after_dumpdir = false;
      state.explicit_dump_dir = true;
      return Record::kYes;
    case OPT_dumpbase:
      line.dump_base = xstrdup(arg);
      return Record::kYes;
    case OPT_dumpbase_ext:
      line.dump_base_ext = xstrdup(arg);
      return Record::kYes;
    case OPT_time_:
      open_times_file(arg);
      return Record::kNo;
    default:
      return Record::kNotInGroup;
  }
}

// The options that the driver only takes note of: it reads them from the
// switch table or the option record when it needs them, or they were
// looked at before any option was applied.
Record handle_noted_option(const DecodedOption* decoded) {
  switch (decoded->index) {
    case OPT_pipe:
    case OPT_shared_libvorn:
    case OPT_static_libvorn:
    case OPT_static_libcxxstd:
    case OPT_static_libfortrt:
    case OPT_static_libvquad:
    case OPT_static_libphobos:
    case OPT_static_libm2rt:
    case OPT_static_libgo:
      return Record::kValidated;
    case OPT__no_sysroot_suffix:
    case OPT_no_canonical_prefixes:
    case OPT_pass_exit_codes:
    case OPT_print_file_name_:
    case OPT_print_multi_directory:
    case OPT_print_multi_lib:
    case OPT_print_multi_os_directory:
    case OPT_print_multiarch:
    case OPT_print_prog_name_:
    case OPT_print_search_dirs:
    case OPT_print_sysroot:
    case OPT_print_sysroot_headers_suffix:
    case OPT_time:
    case OPT_wrapper:
      return Record::kNo;
    case OPT_print_libvorn_file_name:
      driver_state().options.x_print_file_name = "libvorn.a";
      return Record::kNo;
    default:
      return Record::kNotInGroup;
  }
}

// The options answered at once: the answer is written when the option is
// met, and the run ends there, before the options after it are applied.
Record answer_and_exit(const DecodedOption* decoded) {
  switch (decoded->index) {
    case OPT_dumpspecs:
      dump_specs_and_exit();
    case OPT_dumpversion:
    case OPT_dumpfullversion:
      // The version number: the configured version up to its first blank.
      print_and_exit(driver_state().compiler_version);
    case OPT_dumpmachine:
      print_and_exit(config::kTargetMachine);
    default:
      return Record::kNotInGroup;
  }
}

// The options that set how this run compiles and links: -E, the
// compare-debug request, the diagnostics' colours and links, the linker,
// -fwpa and the offload targets.
Record handle_run_setting(const DecodedOption* decoded) {
  DriverState& state = driver_state();
  switch (decoded->index) {
    case OPT_E:
      state.preprocess_only = true;
      return Record::kYes;
    case OPT_fcompare_debug:
    case OPT_fcompare_debug_:
      set_compare_debug(decoded);
      return Record::kNo;
    case OPT_fcompare_debug_second:
      state.compare_debug_second = true;
      return Record::kYes;
    case OPT_fdiagnostics_color_:
      set_color_mode(&diagnostic_context(), static_cast<int>(decoded->value));
      return Record::kYes;
    case OPT_fdiagnostics_urls_:
      set_url_mode(&diagnostic_context(), static_cast<int>(decoded->value));
      return Record::kYes;
    case OPT_fuse_ld_eq_bfd:
      state.linker_suffix = ".bfd";
      return Record::kYes;
    case OPT_fuse_ld_eq_gold:
      state.linker_suffix = ".gold";
      return Record::kYes;
    case OPT_fuse_ld_eq_mold:
      state.linker_suffix = ".mold";
      return Record::kYes;
    case OPT_fwpa:
      state.options.x_flag_wpa = "";
      return Record::kYes;
    case OPT_foffload_options_:
      handle_offload_options(decoded);
      return Record::kNo;
    case OPT_foffload_:
      handle_offload(decoded);
      return Record::kNo;
    default:
      return Record::kNotInGroup;
  }
}

// Each option belongs to one group at most; one in none is only recorded.
// The groups are called one after the other rather than from a table, which
// would cost a relocation each at start-up.
Record handle_one(const DecodedOption* decoded) {
  Record how = handle_request(decoded);
  if (how == Record::kNotInGroup) how = handle_search_option(decoded);
  if (how == Record::kNotInGroup) how = handle_pass_through(decoded);
  if (how == Record::kNotInGroup) how = handle_naming_option(decoded);
  if (how == Record::kNotInGroup) how = handle_noted_option(decoded);
  if (how == Record::kNotInGroup) how = answer_and_exit(decoded);
  if (how == Record::kNotInGroup) how = handle_run_setting(decoded);
  return how == Record::kNotInGroup ? Record::kYes : how;
}

// Options that steer this run itself and that a self spec may only
// mention, not change.
bool only_recorded_in_self_specs(std::size_t code) {
  return code == OPT_fcompare_debug || code == OPT_fcompare_debug_second ||
         code == OPT_fcompare_debug_ || code == OPT_o;
}

}  // namespace

void set_self_spec_mode(bool on) {
  run_driver().self_spec_mode = on;
}

// Reached only through apply_driver_option, which passes the driver's own
// options record, its class and diagnostic context.
bool driver_handle_option(OptionsRecord*, OptionsRecord*, const DecodedOption* decoded,
                          std::uint32_t, DiagnosticKind, SourceLocation, const OptionHandlers*,
                          DiagnosticContext*, TargetOverrideHook) {
  if (run_driver().self_spec_mode && only_recorded_in_self_specs(decoded->index)) {
    record_canonical(decoded, false);
    return true;
  }
  Record how = handle_one(decoded);
  if (how != Record::kNo) record_canonical(decoded, how == Record::kValidated);
  return true;
}

bool driver_unknown_option_callback(const DecodedOption* decoded) {
  // An unknown option is one word, the one written: nothing is known of
  // an argument it might take.
  const char* text = decoded->canonical[0];
  if (std::strncmp(text, "-Wno-", 5) == 0 && (decoded->errors & ERR_NEGATIVE_REJECTED) == 0) {
    // A warning the compilers proper may know; they judge it.
    command_line().switches.record(text, 0, nullptr, false, true);
    return false;
  }
  // Kept unvalidated: a user's specs file may still accept it, and what
  // no spec accepted is reported once, after the specs are set up.
  command_line().switches.record(text, 0, nullptr, false, false);
  return false;
}

// An option that only survives as an alias of the ignored code (old build
// scripts still pass them) is accepted without a word.  It stays in the
// switch table, as written, so that a user's spec can still test it; it
// counts as validated so that it is never reported as unrecognized.
namespace {
void record_ignored_option(const DecodedOption* decoded) {
  command_line().switches.record(decoded->written_text, 0, nullptr, true, false);
}
}  // namespace

void driver_wrong_language_callback(const DecodedOption* decoded, std::uint32_t) {
  const OptionDescriptor& row = kOptionTable[decoded->index];
  if ((row.attributes & kAttrRejectedByDriver) != 0) {
    report_error(_("unrecognized command-line option %qs"), decoded->written_text);
    return;
  }
  record_canonical(decoded, false);
}

// Filled in on first use rather than initialised as constant data, which
// would hold five pointers for the loader to relocate at every start.
const OptionHandlers& driver_option_handlers() {
  static OptionHandlers handlers{};
  if (handlers.handler_count == 0) {
    handlers.unknown_option_callback = driver_unknown_option_callback;
    handlers.wrong_language_callback = driver_wrong_language_callback;
    handlers.target_override = nullptr;
    handlers.handlers[0].handler = driver_handle_option;
    handlers.handlers[0].class_mask = kFlagDriver;
    handlers.handlers[1].handler = common_handle_option;
    handlers.handlers[1].class_mask = kFlagCommon;
    handlers.handlers[2].handler = target_handle_option;
    handlers.handlers[2].class_mask = kFlagTarget;
    handlers.handler_count = 3;
  }
  return handlers;
}

void apply_driver_option(const DecodedOption* decoded) {
  if (decoded->index == IGNORED_OPTION) {
    record_ignored_option(decoded);
    return;
  }
  DriverState& state = driver_state();
  read_cmdline_option(&state.options, &state.explicitly_set, decoded, kNoLocation, kFlagDriver,
                      &driver_option_handlers(), &diagnostic_context());
}

bool check_offload_target_name(const char* name, std::size_t length) {
  if (length == 0) return true;
  std::string target(name, length);
  report_error(_("VORN is not configured to support %qs as %<-foffload=%> argument"),
               target.c_str());
  CandidatesAndHint valid = candidates_list_and_hint(target.c_str(), {"default", "disable"});
  if (valid.hint != nullptr) {
    inform(current_location, _("valid %<-foffload=%> arguments are: %s; did you mean %qs?"),
           valid.list.c_str(), valid.hint);
  } else {
    inform(current_location, _("valid %<-foffload=%> arguments are: %s"), valid.list.c_str());
  }
  return false;
}

}  // namespace vorn
