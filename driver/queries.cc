// The information queries answered after the specs are set up: where the
// driver looks for things, what a name resolves to, which multilib applies,
// and the usage, version and configuration texts.  The first query present
// answers; the -print-* queries stop the run before any input is examined.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/driver.h"
#include "driver/queries.h"
#include "specs/multilib.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/switches.h"
#include "support/standard_output.h"

namespace vorn {
namespace {

constexpr int kStop = 1;
constexpr int kGoOn = 0;

void print_line(const char* text) {
  std::printf("%s\n", text);
}

// The program and library lines list the search paths as the children see them,
// without checking that the directories exist.
void print_search_dirs() {
  const DriverState& state = driver_state();
  const SearchPaths& paths = search_paths();
  // A known executable prefix is the installation as found (from the
  // environment or from the driver's own location); only the configured
  // fallback needs the machine suffix to name the installed directory.
  const char* from_env = command_line().exec_prefix_from_env;
  if (from_env != nullptr) {
    std::printf(_("install: %s%s\n"), from_env, "");
  } else if (state.exec_prefix != nullptr) {
    std::printf(_("install: %s%s\n"), state.exec_prefix, "");
  } else {
    std::printf(_("install: %s%s\n"), config::kExecPrefix, paths.machine_suffix);
  }
  char* programs = join_search_list(&paths.exec_prefixes, "", false, false);
  std::printf(_("programs: %s\n"), programs);
  std::free(programs);
  char* libraries = join_search_list(&paths.startfile_prefixes, "", false, true);
  std::printf(_("libraries: %s\n"), libraries);
  std::free(libraries);
}

void print_file_name(const char* name) {
  char* found = locate_file(&search_paths().startfile_prefixes, name, R_OK, true);
  print_line(found != nullptr ? found : name);
  std::free(found);
}

void print_prog_name(const char* name) {
  std::string wanted = name;
  const char* suffix = driver_state().linker_suffix;
  if (wanted == "ld" && suffix != nullptr) {
    // A configured linker with the -fuse-ld= suffix wins.
    std::string linker = std::string(config::kDefaultLinker) + suffix;
    if (config::kDefaultLinker[0] != '\0' && access(linker.c_str(), X_OK) == 0) {
      print_line(linker.c_str());
      return;
    }
    wanted += suffix;
  }
  char* found = locate_program(wanted.c_str());
  print_line(found != nullptr ? found : wanted.c_str());
  std::free(found);
}

void print_sysroot() {
  const SearchPaths& paths = search_paths();
  if (paths.target_system_root == nullptr) return;
  const char* suffix = paths.target_sysroot_suffix != nullptr ? paths.target_sysroot_suffix : "";
  std::printf("%s%s\n", paths.target_system_root, suffix);
}

void print_sysroot_headers_suffix() {
  if (spec_text(SpecId::kSysrootHdrsSuffixSpec)[0] == '\0') {
    fatal_error(current_location, _("not configured with sysroot headers suffix"));
  }
  const char* suffix = command_line().sysroot_headers_suffix;
  print_line(suffix != nullptr ? suffix : "");
}

const char* or_dot(const char* directory) {
  return directory != nullptr ? directory : ".";
}

// --help, --version and -v do not exclude each other.  Under -v the first
// two let the run go on, so that the sub-processes print theirs too.
int answer_texts(const DriverState& state) {
  const bool verbose = state.options.x_verbose_flag != 0;
  if (state.help_requested) {
    print_usage(stdout, state.program_name, verbose);
    if (!verbose) {
      std::fputs(_("\nFor bug reporting instructions, please see:\n"), stdout);
      std::printf("%s.\n", config::kBugReportUrl);
      return kStop;
    }
    std::putchar('\n');
    flush_standard_output();
  }
  if (state.version_requested) {
    print_version_banner(stdout, state.program_name);
    if (!verbose) return kStop;
    std::putchar('\n');
    flush_standard_output();
  }
  if (verbose) {
    print_configuration_report(stderr);
    if (command_line().inputs.empty()) return kStop;
  }
  return kGoOn;
}

}  // namespace

int CompilerDriver::answer_queries(const DriverState& state) {
  const OptionsRecord& options = state.options;
  const SearchPaths& paths = search_paths();
  if (options.x_print_search_dirs) {
    print_search_dirs();
  } else if (options.x_print_file_name != nullptr) {
    print_file_name(options.x_print_file_name);
  } else if (options.x_print_prog_name != nullptr) {
    print_prog_name(options.x_print_prog_name);
  } else if (options.x_print_multi_lib) {
    print_multilib_table(stdout);
  } else if (options.x_print_multi_directory) {
    print_line(or_dot(paths.multilib_dir));
  } else if (options.x_print_multiarch) {
    print_line(paths.multiarch_dir != nullptr ? paths.multiarch_dir : "");
  } else if (options.x_print_sysroot) {
    print_sysroot();
  } else if (options.x_print_multi_os_directory) {
    print_line(or_dot(paths.multilib_os_dir));
  } else if (options.x_print_sysroot_headers_suffix) {
    print_sysroot_headers_suffix();
  } else if (answer_texts(state) == kGoOn) {
    return kGoOn;
  }
  flush_standard_output();
  return kStop;
}

}  // namespace vorn
