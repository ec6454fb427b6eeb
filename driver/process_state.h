// The process-wide set-up of a run: message translation, diagnostics, the
// exit handler, signal handlers and the stack limit.
#ifndef VORN_DRIVER_PROCESS_STATE_H
#define VORN_DRIVER_PROCESS_STATE_H

namespace vorn {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so
// that no pipe or file the run opens later takes one of those numbers: a
// pipe's write end on descriptor 2 would stay open in the driver and the
// reader would never see the end of its input.  Runs before anything else
// opens a file.
void open_missing_standard_descriptors();

// Flushes standard output and checks that nothing written to it was lost.
// On a loss reports "write error on standard output: %m" and returns 1;
// otherwise returns STATUS.  Every exit after an answer goes through it.
int finish_standard_output(int status);

// Records the base name of ARGV0 as the name diagnostics and the
// out-of-memory message print.  Returns it.
const char* record_program_name(const char* argv0);

// Everything in its order; a failing exit-handler registration is fatal.
void initialize_process_state();

// The handler for SIGINT, SIGHUP, SIGTERM and SIGPIPE: deletes the
// temporary files and dies of the same signal.
void fatal_signal_handler(int signal_number);

// Installs the handler for each of those signals unless the parent had
// the signal ignored, which it then stays.
void install_signal_handlers();

// Raises a low soft stack limit to 64 MiB (or to the hard limit when that
// is lower); returns the soft limit now in force, or 0 when unchanged.
unsigned long long raise_stack_limit();

}  // namespace vorn

#endif  // VORN_DRIVER_PROCESS_STATE_H
