// The link step: dump naming for the link, the linker front and its
// plug-in, the environment the linker needs, and the warnings about linker
// inputs when no link was done.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/driver.h"
#include "driver/env_manager.h"
#include "driver/execute.h"
#include "driver/jobserver_hook.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"
#include "support/memory.h"
#include "support/standard_output.h"

namespace vorn {
namespace {

bool live_switch_named(const char* text) {
  for (const CommandSwitch& sw : command_line().switches) {
    if (std::strcmp(sw.text, text) == 0 && (sw.liveness & kSwitchIgnored) == 0) return true;
  }
  return false;
}

// The dump names of the link step: DIR + STEM + "." for its own files.
void prepare_link_dump_naming() {
  CommandLine& line = command_line();
  if (line.output_stem != nullptr && line.output_stem[0] != '\0') {
    std::string dir = line.dump_dir != nullptr ? line.dump_dir : "";
    dir += line.output_stem;
    dir += '.';
    line.dump_dir = xstrdup(dir.c_str());
    // The stem's own length: a stem chosen after the output name of a link
    // has a recorded length of 0, yet its text belongs in the link's names.
    line.dump_dir_length += std::strlen(line.output_stem) + 1;
    line.dump_dir_trailing_dash = true;
  } else if (line.dump_dir_trailing_dash) {
    // A trailing dash is only ever set with a dump directory that ends in
    // it, and its length counted.
    char* dir = xstrdup(line.dump_dir);
    dir[std::strlen(dir) - 1] = '.';
    line.dump_dir = dir;
  }
  if (line.dump_dir_trailing_dash) --line.dump_dir_length;
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
    char* plugin = locate_file(&search_paths().exec_prefixes, config::kLinkerPlugin, R_OK, false);
    if (plugin == nullptr) {
      fatal_error(current_location, _("%<-fuse-linker-plugin%>, but %s not found"),
                  config::kLinkerPlugin);
    }
    // Spec text: the path found may hold "%", backslashes or blanks.
    set_static_spec(spec_slot(SpecId::kLinkerPluginFile), xstrdup(quote_spec_text(plugin).c_str()),
                    true);
    std::free(plugin);
  }
  set_static_spec(spec_slot(SpecId::kLtoVorn), xstrdup(quote_spec_text(argv0).c_str()), true);
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

void CompilerDriver::maybe_run_linker(const char* argv0, const DriverState& state,
                                      EnvManager* environment) {
  const InputList& inputs = command_line().inputs;
  const std::vector<const char*>& outputs = compile_progress().outputs;
  std::size_t linker_inputs = 0;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (explicit_link_inputs_[i] || outputs[i] != nullptr) ++linker_inputs;
  }
  prepare_link_dump_naming();

  bool linker_ran = false;
  if (linker_inputs > 0 && !errors_seen() && state.subprocess_help != SubprocessHelp::kHelpEquals) {
    int executions = execution_count();
    if (const char* makeflags = jobserver_makeflags_replacement()) environment->xput(makeflags);
    if (!command_line().stops.compile_only()) prepare_linker(argv0);
    export_link_paths();
    if (state.subprocess_help == SubprocessHelp::kTarget) {
      std::printf("%s", _("\nLinker options\n==============\n\n"));
      std::printf("%s", _("Use \"-Wl,OPTION\" to pass \"OPTION\" to the linker.\n\n"));
      flush_standard_output();
    }
    if (run_spec(link_command_spec()) < 0 && !errors_seen()) count_silent_error();
    linker_ran = execution_count() != executions;
  }
  if (!linker_ran && !errors_seen()) warn_unused_linker_inputs(explicit_link_inputs_);
}

}  // namespace vorn
