// The phases after the queries: the choice of a compiler for every input,
// the compile loop and the link step.  The compare-debug recompilation and
// the jobserver hand-over are still to come; what is here is complete for
// ordinary compile and link runs.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/driver.h"
#include "driver/env_manager.h"
#include "driver/execute.h"
#include "driver/temp_files.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"
#include "support/memory.h"

namespace vorn {
namespace {

constexpr char kLinkerPlugin[] = "libltolink.so";

const CompilerEntry* compiler_for(const InputFile& input) {
  return find_compiler_entry(input.name, std::strlen(input.name), input.language,
                             driver_state().preprocess_only);
}

bool is_linker_item(const InputFile& input) {
  return input.language != nullptr && input.language[0] == '*';
}

bool live_switch_named(const char* text) {
  for (const CommandSwitch& sw : command_line().switches) {
    if (std::strcmp(sw.text, text) == 0 && (sw.liveness & kSwitchIgnored) == 0) return true;
  }
  return false;
}

// A path with a backslash before every blank and tab, as specs quote it.
const char* escape_blanks(const char* path) {
  std::string escaped;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == ' ' || *p == '\t') escaped += '\\';
    escaped += *p;
  }
  return xstrdup(escaped.c_str());
}

// The dump names of the link step: DIR + STEM + "." for its own files.
void prepare_link_dump_naming() {
  CommandLine& line = command_line();
  if (line.output_stem != nullptr && line.output_stem[0] != '\0') {
    std::string dir = line.dump_dir != nullptr ? line.dump_dir : "";
    dir += line.output_stem;
    dir += '.';
    line.dump_dir = xstrdup(dir.c_str());
    line.dump_dir_length += line.output_stem_length + 1;
    line.dump_dir_trailing_dash = true;
  } else if (line.dump_dir_trailing_dash && line.dump_dir != nullptr) {
    char* dir = xstrdup(line.dump_dir);
    std::size_t length = std::strlen(dir);
    if (length > 0) dir[length - 1] = '.';
    line.dump_dir = dir;
  }
  if (line.dump_dir_trailing_dash && line.dump_dir_length > 0) --line.dump_dir_length;
  line.output_stem = nullptr;
  line.output_stem_length = 0;
  CurrentInput& current = compile_progress().input;
  current.basename = nullptr;
  current.base_length = 0;
  current.basename_length = 0;
}

// The linker front, the plug-in and the driver name for link-time
// optimisation.
void prepare_linker(const char* argv0) {
  if (std::strcmp(spec_text(SpecId::kLinker), "ldwrap") == 0) {
    char* front = locate_program("ldwrap");
    if (front == nullptr) set_static_spec(spec_slot(SpecId::kLinker), "ld", false);
    std::free(front);
  }
  if (!live_switch_named("fno-use-linker-plugin")) {
    char* plugin = locate_file(&search_paths().exec_prefixes, kLinkerPlugin, R_OK, false);
    if (plugin == nullptr) {
      fatal_error(current_location, _("%<-fuse-linker-plugin%>, but %s not found"), kLinkerPlugin);
    }
    set_static_spec(spec_slot(SpecId::kLinkerPluginFile), escape_blanks(plugin), true);
    std::free(plugin);
  }
  set_static_spec(spec_slot(SpecId::kLtoVorn), argv0, false);
}

void warn_unused_linker_inputs(const unsigned char* explicit_inputs) {
  const InputList& inputs = command_line().inputs;
  const std::vector<const char*>& outputs = compile_progress().outputs;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (!explicit_inputs[i] || is_linker_item(inputs[i])) continue;
    const char* name = outputs[i] != nullptr ? outputs[i] : inputs[i].name;
    report_warning(0, _("%s: linker input file unused because linking not done"), name);
    struct stat info;
    if (stat(name, &info) != 0) {
      report_error(_("%s: linker input file not found: %m"), name);
    }
  }
}

}  // namespace

bool CompilerDriver::assign_input_languages() {
  InputList& inputs = command_line().inputs;
  if (inputs.size() == static_cast<std::size_t>(driver_state().added_libraries)) {
    fatal_error(current_location, _("no input files"));
  }
  if (errors_seen()) return false;

  CompileProgress& progress = compile_progress();
  progress.outputs.assign(inputs.size(), nullptr);
  explicit_link_inputs_ = static_cast<unsigned char*>(xcalloc(inputs.size() + 1, 1));
  const DriverState& state = driver_state();
  bool combined = state.output_given || state.options.x_flag_wpa != nullptr;

  int counted = 0;
  const CompilerEntry* last = nullptr;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    InputFile& input = inputs[i];
    const CompilerEntry* compiler = compiler_for(input);
    if (compiler != nullptr && !compiler->combinable) combined = false;
    if (counted != 0 && compiler != last && input.language != nullptr && input.language[0] != '*') {
      input.compiler = compiler;
    } else if (compiler != nullptr) {
      input.compiler = compiler;
      ++counted;
      last = compiler;
    } else {
      explicit_link_inputs_[i] = 1;
      input.compiler = nullptr;
    }
    input.compiled = false;
    input.preprocessed = false;
  }
  if (!combined && command_line().compile_only && state.output_given && counted > 1) {
    fatal_error(current_location,
                _("cannot specify %<-o%> with %<-c%>, %<-S%> or %<-E%> with multiple files"));
  }
  progress.combined_inputs = combined;
  return true;
}

void CompilerDriver::do_spec_on_infiles() {
  InputList& inputs = command_line().inputs;
  CompileProgress& progress = compile_progress();
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    InputFile& input = inputs[i];
    if (input.compiled) continue;
    progress.outputs[i] = input.name;
    const CompilerEntry* compiler = compiler_for(input);
    input.compiler = compiler;
    select_input(static_cast<int>(i), compiler);
    bool failed = false;
    if (compiler == nullptr) {
      explicit_link_inputs_[i] = 1;
    } else if (compiler->spec[0] == '#') {
      report_error(_("%s: %s compiler not installed on this system"), input.name,
                   compiler->spec + 1);
      failed = true;
    } else {
      failed = run_spec(compiler->spec) < 0;
      input.compiled = true;
    }
    if (failed) {
      // Only this input's outputs go; earlier inputs keep theirs.
      remove_failure_files();
      count_silent_error();
    }
    forget_failure_files();
  }
  // Link specs name their files after the first input that is compiled.
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (inputs[i].compiler != nullptr || !is_linker_item(inputs[i])) {
      select_input(static_cast<int>(i), inputs[i].compiler);
      break;
    }
  }
  if (!errors_seen()) progress.input.index = static_cast<int>(inputs.size());
}

void CompilerDriver::maybe_run_linker(const char* argv0) {
  const InputList& inputs = command_line().inputs;
  const std::vector<const char*>& outputs = compile_progress().outputs;
  std::size_t linker_inputs = 0;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (explicit_link_inputs_[i] || outputs[i] != nullptr) ++linker_inputs;
  }
  prepare_link_dump_naming();

  bool linker_ran = false;
  if (linker_inputs > 0 && !errors_seen() &&
      driver_state().subprocess_help != SubprocessHelp::kHelpEquals) {
    int executions = execution_count();
    if (!command_line().compile_only) prepare_linker(argv0);
    export_link_paths();
    if (driver_state().subprocess_help == SubprocessHelp::kTarget) {
      std::printf("%s", _("\nLinker options\n==============\n\n"));
      std::printf("%s", _("Use \"-Wl,OPTION\" to pass \"OPTION\" to the linker.\n\n"));
      std::fflush(stdout);
    }
    if (run_spec(link_command_spec()) < 0 && !errors_seen()) count_silent_error();
    linker_ran = execution_count() != executions;
  }
  if (!linker_ran && !errors_seen()) warn_unused_linker_inputs(explicit_link_inputs_);
}

}  // namespace vorn
