#include "diagnostics/termination.h"

#include "config.h"
#include "diagnostics/backtrace.h"
#include "diagnostics/check.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "support/process_exit.h"

namespace vorn {
namespace {

// Frames of the stack reader's callers inside this layer that the backtrace
// leaves out in any case.
constexpr int kSkippedInnerFrames = 2;

void run_ice_hook_once(DiagnosticContext& context) {
  ContextHook hook = context.ice_hook;
  context.ice_hook = nullptr;
  if (hook != nullptr) hook(context);
}

}  // namespace

ExpandedLocation expand_location(const DiagnosticContext& context, SourceLocation location) {
  if (location > kBuiltinLocation && context.expand_location != nullptr) {
    return context.expand_location(location);
  }
  return ExpandedLocation{};
}

void check_error_limit(const DiagnosticContext& context) {
  if (context.error_limit == 0) return;
  long reported = static_cast<long>(context.count(DiagnosticKind::kError)) +
                  context.count(DiagnosticKind::kSorry) +
                  context.count(DiagnosticKind::kWarningAsError);
  if (reported < context.error_limit) return;
  print_notice(stderr, "compilation terminated due to -fmax-errors=%u.\n",
               static_cast<unsigned>(context.error_limit));
  exit_process(kFatalExitStatus);
}

void exit_after_report(DiagnosticContext&, int status) {
  exit_process(status);
}

void internal_error_tail(DiagnosticContext& context, int frames) {
  if (context.abort_instead_of_exit) abort_process();
  if (context.full_report_requested) {
    print_notice(stderr, "Please submit a full bug report, with preprocessed source.\n");
  } else {
    print_notice(stderr,
                 "Please submit a full bug report, with preprocessed source "
                 "(by using -freport-bug).\n");
  }
  if (frames > 0) {
    print_notice(stderr, "Please include the complete backtrace with any bug report.\n");
  }
  print_notice(stderr, "See %s for instructions.\n", config::kBugReportUrl);
  exit_after_report(context, kInternalErrorExitStatus);
}

void action_after_output(DiagnosticContext& context, DiagnosticKind kind) {
  switch (kind) {
    case DiagnosticKind::kWarning:
    case DiagnosticKind::kAnachronism:
    case DiagnosticKind::kNote:
    case DiagnosticKind::kDebug:
      return;
    case DiagnosticKind::kError:
    case DiagnosticKind::kSorry:
      if (context.abort_instead_of_exit) abort_process();
      if (context.stop_at_first_error) {
        print_notice(stderr, "compilation terminated due to -Wfatal-errors.\n");
        diagnostic_context_finish(&context);
        exit_after_report(context, kFatalExitStatus);
      }
      return;
    case DiagnosticKind::kFatal:
      if (context.abort_instead_of_exit) abort_process();
      diagnostic_context_finish(&context);
      print_notice(stderr, "compilation terminated.\n");
      exit_after_report(context, kFatalExitStatus);
    case DiagnosticKind::kInternalError: {
      run_ice_hook_once(context);
      int frames = print_backtrace(stderr, kSkippedInnerFrames);
      internal_error_tail(context, frames);
    }
    case DiagnosticKind::kInternalErrorNoBacktrace:
      run_ice_hook_once(context);
      internal_error_tail(context, 0);
    default:
      VORN_CHECK_FAILED("diagnostic_action_after_output");
  }
}

}  // namespace vorn
