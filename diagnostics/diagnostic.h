// The diagnostics layer: every message addressed to the user about a problem
// goes through these functions.  Formats are message-catalogue keys in the
// diagnostic format language ("%qs", "%<...%>", "%m", ...), translated
// before use; they are constants of the program and never user text.
#ifndef VORN_DIAGNOSTICS_DIAGNOSTIC_H
#define VORN_DIAGNOSTICS_DIAGNOSTIC_H

#include <cstdarg>
#include <cstdio>

#include "diagnostics/check.h"
#include "diagnostics/colours.h"
#include "diagnostics/diagnostic_context.h"
#include "diagnostics/diagnostic_kinds.h"
#include "diagnostics/locale_and_quotes.h"
#include "diagnostics/pretty_printer.h"
#include "diagnostics/source_location.h"
#include "diagnostics/urls.h"

namespace vorn {

// The location the driver reports at: always "none".
inline constexpr SourceLocation current_location = kNoLocation;

// Errors, counted; the run goes on.
void report_error(const char* format, ...);
void error_at(SourceLocation location, const char* format, ...);
void error_n(SourceLocation location, unsigned long n, const char* singular, const char* plural,
             ...);

// Warnings controlled by OPTION_INDEX (0 for none); true when printed.
bool report_warning(int option_index, const char* format, ...);
bool warning_at(SourceLocation location, int option_index, const char* format, ...);
bool warning_meta(SourceLocation location, const DiagnosticTags& tags, int option_index,
                  const char* format, ...);
bool warning_n(SourceLocation location, int option_index, unsigned long n, const char* singular,
               const char* plural, ...);

// Notes, which follow the diagnostic they explain.
void inform(SourceLocation location, const char* format, ...);
void inform_n(SourceLocation location, unsigned long n, const char* singular, const char* plural,
              ...);

// An error under -pedantic-errors, otherwise a warning.
bool pedwarn(SourceLocation location, int option_index, const char* format, ...);
// A warning under -fpermissive, otherwise an error.
bool permerror(SourceLocation location, const char* format, ...);

// "sorry, unimplemented: ", counted like an error.
void report_sorry(const char* format, ...);
void report_sorry_at(SourceLocation location, const char* format, ...);

// Ends the process with status 1 after "compilation terminated.".
[[noreturn]] void fatal_error(SourceLocation location, const char* format, ...);

// Ends the process with status 4 after the bug-report text; the first form
// also prints a backtrace of the reporting program.
[[noreturn]] void internal_error(const char* format, ...);
[[noreturn]] void internal_error_no_backtrace(const char* format, ...);
// An internal error whose text is made by the C library's printf from
// program data (table rows, the C++ library's own messages): the result is
// printed as it stands, never read as diagnostic directives.
[[noreturn]] void internal_error_vprintf(const char* format, va_list args);

// Any kind; true when printed.
bool report_with_kind(DiagnosticKind kind, SourceLocation location, int option_index,
                      const char* format, ...);

// Translates FORMAT and writes it with printf formatting: no prefix, no
// newline, not counted.
void print_notice(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Translates and formats a message without prefix or wrapping, adds a
// newline and flushes.
void report_verbatim(const char* format, ...);

// True once an error or a "sorry" was reported (warnings printed as errors
// do not count).
bool errors_seen();

// Counts an error that was already reported by someone else (a failing
// child): it decides the exit status and counts toward the error limit.
void count_silent_error();

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_DIAGNOSTIC_H
