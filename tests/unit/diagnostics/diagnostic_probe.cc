// Reports the diagnostics of one scenario through the run's context, so
// that tests can check the exact bytes on standard error and the exit
// status of the paths that end the process.
//   diagnostic_probe SCENARIO [colour]
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "diagnostics/diagnostic.h"
#include "diagnostics/run_diagnostics.h"
#include "support/process_exit.h"

using vorn::current_location;
using vorn::diagnostic_context;

// Keeps a frame of the probe's own on the stack below the layer, so that an
// internal error has something to show in its backtrace.  Not in the
// anonymous namespace: only exported functions can be named.
__attribute__((noinline)) void probe_failing_function() {
  vorn::internal_error("unexpected state %d", 3);
}

namespace {

bool reenter(vorn::PrettyPrinter&, const vorn::ExtraDirective&) {
  vorn::report_error("reported while formatting");
  return true;
}

bool fail_while_formatting(vorn::PrettyPrinter&, const vorn::ExtraDirective&) {
  vorn::internal_error_no_backtrace("child died");
}

void announce_internal_error(vorn::DiagnosticContext&, const char* message, va_list*) {
  vorn::print_notice(stderr, "internal error hook: %s\n", message);
}

void announce_ice(vorn::DiagnosticContext&) {
  vorn::print_notice(stderr, "ice hook\n");
}

// What a program's cleanup on the way out may report, such as a file it
// could not delete, after a fatal error has ended the run: with a raw
// write, since the diagnostics layer is not entered again.
void report_at_exit(vorn::Ending) {
  const char* pieces[] = {"vorn-cxx: error: cannot delete 'a.s'\n"};
  vorn::write_exit_message(pieces, 1);
}

int run(const char* scenario) {
  if (std::strcmp(scenario, "kinds") == 0) {
    vorn::report_error("unrecognized command-line option %<-%s%>", "foo");
    vorn::report_warning(0, "%qs is deprecated", "-bar");
    vorn::inform(current_location, "valid arguments are: %s", "always auto never");
  } else if (std::strcmp(scenario, "fatal") == 0) {
    vorn::fatal_error(current_location, "no input files");
  } else if (std::strcmp(scenario, "fatal-errno") == 0) {
    errno = ENOENT;
    vorn::fatal_error(current_location, "cannot read %qs: %m", "specs");
  } else if (std::strcmp(scenario, "ice") == 0) {
    probe_failing_function();
  } else if (std::strcmp(scenario, "ice-no-backtrace") == 0) {
    vorn::internal_error_no_backtrace("%s terminated with signal %d [%s]", "cxxfe1", 11,
                                      "Segmentation fault");
  } else if (std::strcmp(scenario, "ice-report-bug") == 0) {
    diagnostic_context().full_report_requested = true;
    vorn::internal_error_no_backtrace("child died");
  } else if (std::strcmp(scenario, "confused") == 0) {
    vorn::report_error("first problem");
    vorn::internal_error_no_backtrace("child died");
  } else if (std::strcmp(scenario, "bad-format") == 0) {
    vorn::report_warning(0, "ends in %");
  } else if (std::strcmp(scenario, "reentry") == 0) {
    diagnostic_context().output_printer->extra_directive_hook = reenter;
    vorn::report_error("outer %Q", 1);
  } else if (std::strcmp(scenario, "internal-error-while-formatting") == 0) {
    diagnostic_context().output_printer->extra_directive_hook = fail_while_formatting;
    vorn::report_warning(0, "outer %Q", 1);
  } else if (std::strcmp(scenario, "fatal-errors") == 0) {
    diagnostic_context().stop_at_first_error = true;
    vorn::report_error("first");
    vorn::report_error("second");
  } else if (std::strcmp(scenario, "max-errors") == 0) {
    diagnostic_context().error_limit = 2;
    vorn::report_error("one");
    vorn::inform(current_location, "a note is not counted");
    vorn::report_error("two");
    vorn::inform(current_location, "nor tested");
    vorn::report_warning(0, "three");
  } else if (std::strcmp(scenario, "werror-final") == 0) {
    diagnostic_context().warnings_are_errors = true;
    vorn::report_warning(0, "promoted");
    vorn::fatal_error(current_location, "giving up");
  } else if (std::strcmp(scenario, "ice-hooks") == 0) {
    // The ice hook runs once, however many internal errors follow.
    diagnostic_context().internal_error_hook = announce_internal_error;
    diagnostic_context().ice_hook = announce_ice;
    vorn::internal_error_no_backtrace("child died");
  } else if (std::strcmp(scenario, "abort-error") == 0) {
    diagnostic_context().abort_instead_of_exit = true;
    vorn::report_error("first");
  } else if (std::strcmp(scenario, "abort-fatal") == 0) {
    diagnostic_context().abort_instead_of_exit = true;
    vorn::fatal_error(current_location, "no input files");
  } else if (std::strcmp(scenario, "abort-ice") == 0) {
    vorn::report_error("first");
    diagnostic_context().abort_instead_of_exit = true;
    vorn::internal_error_no_backtrace("child died");
  } else if (std::strcmp(scenario, "fatal-then-exit-report") == 0) {
    vorn::set_exit_cleanup(report_at_exit);
    vorn::fatal_error(current_location, "no input files");
  } else if (std::strcmp(scenario, "ice-then-exit-report") == 0) {
    vorn::set_exit_cleanup(report_at_exit);
    vorn::internal_error_no_backtrace("child died");
  } else if (std::strcmp(scenario, "verbatim") == 0) {
    vorn::report_verbatim("%s: %d warnings", "vorn-cxx", 2);
  } else {
    return 2;
  }
  return vorn::errors_seen() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  // The probe's one run; it lives until the way out.
  vorn::BoundState<vorn::RunDiagnostics> diagnostics;
  vorn::init_locale_and_quotes();
  vorn::diagnostic_context_init(&diagnostic_context(), 0);
  bool colour = argc > 2 && std::strcmp(argv[2], "colour") == 0;
  vorn::set_color_mode(&diagnostic_context(), colour ? vorn::kModeAlways : vorn::kModeNever);
  return run(argv[1]);
}
