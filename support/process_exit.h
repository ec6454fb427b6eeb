// The one way out of a program.  Every ending (the end of the driver's run,
// a fatal or internal error, out of memory, the error limit, an answer that
// could not be written, a temporary file that could not be made, a signal)
// ends here: the children still running are stopped, the program's files
// removed, the standard streams flushed, and the process ends with its
// status, without exit handlers or static destructors.  Those could meet an
// object whose first-use initialisation the failure interrupted (an
// allocation failing inside it), and would re-enter that initialisation.
#ifndef VORN_SUPPORT_PROCESS_EXIT_H
#define VORN_SUPPORT_PROCESS_EXIT_H

namespace vorn {

// What an ending leaves behind.
enum class Ending {
  kSuccess,      // outputs stay; temporaries go
  kKeepOutputs,  // a failure that must not touch outputs; temporaries go
  kFailure,      // the outputs of the failed work go with the temporaries
  kSignal,       // as kFailure, from a signal handler: nothing is reported
};

// Removes the program's files for ENDING.  It runs after any failure, so it
// must not allocate, report through the diagnostics layer or touch any
// object that is initialised at run time; and with kSignal it may make
// async-signal-safe calls only.
using ExitCleanup = void (*)(Ending ending);

// The program's cleanup (none until set).
void set_exit_cleanup(ExitCleanup cleanup);

// Stops the children still running, runs the cleanup (for kSuccess when
// STATUS is 0, for kFailure otherwise), flushes the standard streams and
// ends the process with STATUS.
[[noreturn]] void exit_process(int status);

// The same for an explicit ENDING.
[[noreturn]] void exit_process(int status, Ending ending);

// From a signal handler, or for an abort: runs the cleanup for kSignal and
// ends the process by SIGNAL_NUMBER, so that the parent sees that signal.
[[noreturn]] void die_of_signal(int signal_number);

// Dies of SIGABRT through die_of_signal: the end of a run whose own error
// reporting failed.
[[noreturn]] void abort_process();

// Writes the COUNT texts of PIECES to standard error with one system call
// (repeated only for what a short write left), so that a message on the
// way out comes whole; null pieces are skipped.  No allocation, no stdio.
void write_exit_message(const char* const* pieces, int count);

}  // namespace vorn

#endif  // VORN_SUPPORT_PROCESS_EXIT_H
