// The reporting functions: each makes a record for its kind and delivers it
// through the process-wide context.
#include <libintl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "support/process_exit.h"

namespace vorn {
namespace {

struct Origin {
  DiagnosticKind kind;
  SourceLocation location;
  int option_index;
  const DiagnosticTags* tags;
};

// TRANSLATED is the format already looked up in the catalogue.
bool make_and_deliver(const Origin& origin, const char* translated, va_list* args,
                      int saved_errno) {
  DiagnosticContext& context = diagnostic_context();
  DiagnosticBatch batch(&context);
  DiagnosticRecord record;
  record.message = MessageText{translated, args, saved_errno, nullptr};
  record.location = origin.location;
  record.tags = origin.tags;
  record.kind = origin.kind;
  if (origin.kind == DiagnosticKind::kPermerror) {
    record.kind =
        context.permerrors_are_warnings ? DiagnosticKind::kWarning : DiagnosticKind::kError;
    record.option_index = context.permissive_option;
  } else if (origin.kind == DiagnosticKind::kWarning || origin.kind == DiagnosticKind::kPedwarn) {
    record.option_index = origin.option_index;
  }
  return deliver_diagnostic(&context, &record);
}

bool deliver(const Origin& origin, const char* format, va_list* args) {
  int saved_errno = errno;
  return make_and_deliver(origin, _(format), args, saved_errno);
}

bool deliver_plural(const Origin& origin, unsigned long n, const char* singular, const char* plural,
                    va_list* args) {
  int saved_errno = errno;
  return make_and_deliver(origin, translate_plural(singular, plural, n), args, saved_errno);
}

}  // namespace

#define VORN_DELIVER(result, origin, last) \
  va_list args;                            \
  va_start(args, last);                    \
  result deliver(origin, last, &args);     \
  va_end(args)

#define VORN_DELIVER_PLURAL(result, origin, n, singular, plural) \
  va_list args;                                                  \
  va_start(args, plural);                                        \
  result deliver_plural(origin, n, singular, plural, &args);     \
  va_end(args)

void report_error(const char* format, ...) {
  VORN_DELIVER(, (Origin{DiagnosticKind::kError, current_location, 0, nullptr}), format);
}

void error_at(SourceLocation location, const char* format, ...) {
  VORN_DELIVER(, (Origin{DiagnosticKind::kError, location, 0, nullptr}), format);
}

void error_n(SourceLocation location, unsigned long n, const char* singular, const char* plural,
             ...) {
  VORN_DELIVER_PLURAL(, (Origin{DiagnosticKind::kError, location, 0, nullptr}), n, singular,
                      plural);
}

bool report_warning(int option_index, const char* format, ...) {
  bool printed;
  VORN_DELIVER(printed =,
               (Origin{DiagnosticKind::kWarning, current_location, option_index, nullptr}), format);
  return printed;
}

bool warning_at(SourceLocation location, int option_index, const char* format, ...) {
  bool printed;
  VORN_DELIVER(printed =, (Origin{DiagnosticKind::kWarning, location, option_index, nullptr}),
               format);
  return printed;
}

bool warning_meta(SourceLocation location, const DiagnosticTags& tags, int option_index,
                  const char* format, ...) {
  bool printed;
  VORN_DELIVER(printed =, (Origin{DiagnosticKind::kWarning, location, option_index, &tags}),
               format);
  return printed;
}

bool warning_n(SourceLocation location, int option_index, unsigned long n, const char* singular,
               const char* plural, ...) {
  bool printed;
  VORN_DELIVER_PLURAL(printed =,
                      (Origin{DiagnosticKind::kWarning, location, option_index, nullptr}), n,
                      singular, plural);
  return printed;
}

void inform(SourceLocation location, const char* format, ...) {
  VORN_DELIVER(, (Origin{DiagnosticKind::kNote, location, 0, nullptr}), format);
}

void inform_n(SourceLocation location, unsigned long n, const char* singular, const char* plural,
              ...) {
  VORN_DELIVER_PLURAL(, (Origin{DiagnosticKind::kNote, location, 0, nullptr}), n, singular, plural);
}

bool pedwarn(SourceLocation location, int option_index, const char* format, ...) {
  bool printed;
  VORN_DELIVER(printed =, (Origin{DiagnosticKind::kPedwarn, location, option_index, nullptr}),
               format);
  return printed;
}

bool permerror(SourceLocation location, const char* format, ...) {
  bool printed;
  VORN_DELIVER(printed =, (Origin{DiagnosticKind::kPermerror, location, 0, nullptr}), format);
  return printed;
}

void report_sorry(const char* format, ...) {
  VORN_DELIVER(, (Origin{DiagnosticKind::kSorry, current_location, 0, nullptr}), format);
}

void report_sorry_at(SourceLocation location, const char* format, ...) {
  VORN_DELIVER(, (Origin{DiagnosticKind::kSorry, location, 0, nullptr}), format);
}

void fatal_error(SourceLocation location, const char* format, ...) {
  VORN_DELIVER(, (Origin{DiagnosticKind::kFatal, location, 0, nullptr}), format);
  // Delivery of a fatal error ends the process; getting here means the
  // layer itself is broken.
  abort_process();
}

void internal_error(const char* format, ...) {
  VORN_DELIVER(, (Origin{DiagnosticKind::kInternalError, current_location, 0, nullptr}), format);
  abort_process();
}

void internal_error_vprintf(const char* format, va_list args) {
  char message[512];
  std::vsnprintf(message, sizeof message, format, args);
  internal_error("%s", message);
}

void internal_error_no_backtrace(const char* format, ...) {
  VORN_DELIVER(, (Origin{DiagnosticKind::kInternalErrorNoBacktrace, current_location, 0, nullptr}),
               format);
  abort_process();
}

bool report_with_kind(DiagnosticKind kind, SourceLocation location, int option_index,
                      const char* format, ...) {
  bool printed;
  VORN_DELIVER(printed =, (Origin{kind, location, option_index, nullptr}), format);
  return printed;
}

void print_notice(std::FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stream, _(format), args);
  va_end(args);
}

void report_verbatim(const char* format, ...) {
  PrettyPrinter& printer = ensure_printer(diagnostic_context());
  va_list args;
  va_start(args, format);
  printer.vverbatim(_(format), &args);
  va_end(args);
  printer.newline_and_flush();
}

bool errors_seen() {
  return diagnostic_context().count(DiagnosticKind::kError) != 0 ||
         diagnostic_context().count(DiagnosticKind::kSorry) != 0;
}

void count_silent_error() {
  ++diagnostic_context().kind_counts[kind_index(DiagnosticKind::kError)];
}

}  // namespace vorn
