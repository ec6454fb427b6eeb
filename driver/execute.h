// Running the commands that specs build: pipeline splitting, -wrapper,
// program lookup, the -v / -### echo, -time reports, and the bookkeeping of
// child statuses and signals that decides the exit status.
#ifndef VORN_DRIVER_EXECUTE_H
#define VORN_DRIVER_EXECUTE_H

#include <string>
#include <vector>

namespace vorn {

// What execute() counts over a run.
struct ExecutionCounters {
  int executions = 0;  // calls that ran, or under -### showed, commands
};

// Runs ARGUMENTS: one command, or several separated by words that are
// exactly "|", connected by pipes.  Returns 0 when every command succeeded
// (or, under -###, was only shown), -1 when one failed.  A child killed by
// SIGINT, SIGQUIT, SIGKILL or SIGTERM is fatal; by SIGPIPE it counts in
// signal_failures; by any other signal it is an internal error.
int execute(const std::vector<const char*>& arguments);

// The number of execute() calls that ran, or under -### showed, commands.
int execution_count();

// The words of a -wrapper string: split at commas, runs of commas being one
// separator, empty words dropped.
std::vector<const char*> split_wrapper(const char* wrapper);

// One argument as the -v echo writes it (with its leading blank).
// QUOTE_FOR_SHELL is -###: arguments with other characters than letters,
// digits, "_-./" are put in double quotes with \ before " \ and $.
std::string echo_argument(const char* argument, bool quote_for_shell);

// Re-runs a crashed compiler proper (ARGV, null-terminated, program first)
// to decide whether the crash is reproducible and, when it is, leaves a
// preprocessed reproduction file for a bug report.
void generate_crash_report(const char* const* argv);

}  // namespace vorn

#endif  // VORN_DRIVER_EXECUTE_H
