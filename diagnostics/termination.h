// What happens after a diagnostic has been printed: nothing, or the end of
// the process with the texts that go with it.
#ifndef VORN_DIAGNOSTICS_TERMINATION_H
#define VORN_DIAGNOSTICS_TERMINATION_H

#include "diagnostics/diagnostic_context.h"

namespace vorn {

// Exit statuses of the layer.
inline constexpr int kFatalExitStatus = 1;
inline constexpr int kInternalErrorExitStatus = 4;

// Ends the run when the error limit is reached.  Runs before the new
// diagnostic is counted.
void check_error_limit(const DiagnosticContext& context);

// The action for KIND once its text is out.
void action_after_output(DiagnosticContext& context, DiagnosticKind kind);

// Ends the process with STATUS once a report is complete, through the one
// way out (support/process_exit.h), which never comes back to this layer.
[[noreturn]] void exit_after_report(DiagnosticContext& context, int status);

// The bug-report text and exit status 4, after a backtrace of FRAMES frames.
[[noreturn]] void internal_error_tail(DiagnosticContext& context, int frames);

// The location's file and line, with the program name for "no file".
ExpandedLocation expand_location(const DiagnosticContext& context, SourceLocation location);

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_TERMINATION_H
