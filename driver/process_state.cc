#include "driver/process_state.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "config.h"

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/driver.h"
#include "driver/env_manager.h"
#include "driver/run_driver.h"
#include "driver/temp_files.h"
#include "options/option_codes.h"
#include "options/option_table.h"
#include "support/base_name.h"
#include "support/memory.h"
#include "support/process_exit.h"
#include "support/standard_output.h"
#include "support/relative_prefix.h"

namespace vorn {
namespace {

// Deep recursion in the spec interpreter and the sub-processes that
// inherit the limit both want room.
constexpr rlim_t kWantedStack = 64ull * 1024 * 1024;

// Nothing in the driver calls exit: every ending goes through
// exit_process.  The handler still guards an exit from elsewhere, with the
// same cleanup, which is safe at any point of the run.
void run_exit_handler() {
  remove_files_at_exit(Ending::kSuccess);
}

// An installation moved away from its configured prefix keeps its catalogues
// beside its programs, so they are found relative to this program, like the
// other installation directories.
std::string locale_directory() {
  const char* argv0 = driver_state().argv0;
  if (argv0 != nullptr) {
    std::optional<std::string> moved =
        make_relative_prefix(argv0, config::kBinDir, std::string(config::kLocaleDir) + "/",
                             SymlinkMode::kResolve, env_manager().getenv("PATH"));
    if (moved) return *moved;
  }
  return config::kLocaleDir;
}

}  // namespace

void open_missing_standard_descriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lower descriptors are open by now, so open() returns FD itself.
    open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
  }
}

int finish_standard_output(int status) {
  if (flush_standard_output()) return status;
  errno = standard_output_errno();
  if (errno != 0) {
    // Not looked up here: the first lookup of a run sets up the catalogue,
    // which changes errno; report_error keeps errno before it translates.
    report_error("write error on standard output: %m");
  } else {
    report_error(_("write error on standard output"));
  }
  return 1;
}

const char* record_program_name(const char* argv0) {
  const char* name = base_name(argv0);
  driver_state().program_name = name;
  diagnostic_context().program_name = name;
  set_memory_program_name(name);
  return name;
}

void fatal_signal_handler(int signal_number) {
  // Dying of the same signal tells the parent what happened.
  die_of_signal(signal_number);
}

void install_signal_handlers() {
  for (int signal_number : {SIGINT, SIGHUP, SIGTERM, SIGPIPE}) {
    if (signal(signal_number, SIG_IGN) != SIG_IGN) signal(signal_number, fatal_signal_handler);
  }
  // Waiting for children needs the default, whatever the parent set.
  signal(SIGCHLD, SIG_DFL);
}

unsigned long long raise_stack_limit() {
  struct rlimit limit;
  if (getrlimit(RLIMIT_STACK, &limit) != 0) return 0;
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= kWantedStack) return 0;
  rlim_t wanted = kWantedStack;
  if (limit.rlim_max != RLIM_INFINITY) {
    if (limit.rlim_cur >= limit.rlim_max) return 0;
    if (wanted > limit.rlim_max) wanted = limit.rlim_max;
  }
  limit.rlim_cur = wanted;
  if (setrlimit(RLIMIT_STACK, &limit) != 0) return 0;
  return wanted;
}

void initialize_process_state() {
  init_locale_and_quotes(locale_directory().c_str());
  diagnostic_context_init(&diagnostic_context(), static_cast<int>(OPTION_COUNT));
  set_color_mode(&diagnostic_context(), kModeDefault);
  set_url_mode(&diagnostic_context(), kModeDefault);
  set_exit_cleanup(remove_files_at_exit);
  if (std::atexit(run_exit_handler) != 0) {
    fatal_error(current_location, _("atexit failed"));
  }
  install_signal_handlers();
  raise_stack_limit();
  // The argument vectors of command building and the string-building area
  // grow on demand; nothing to create up front.
}

}  // namespace vorn
