// The text output format: one line per diagnostic, "<location>: <kind>: "
// followed by the message.
#include <cstring>

#include "diagnostics/check.h"
#include "diagnostics/colours.h"
#include "diagnostics/diagnostic_context.h"
#include "diagnostics/intl.h"
#include "diagnostics/termination.h"

namespace vorn {
namespace {

std::string line_and_column(const DiagnosticContext& context, const ExpandedLocation& location) {
  char buffer[32];
  int column = location.column > 0 ? location.column - 1 + context.first_column_number : 0;
  if (context.print_columns && column > 0) {
    std::snprintf(buffer, sizeof buffer, ":%d:%d", location.line, column);
  } else {
    std::snprintf(buffer, sizeof buffer, ":%d", location.line);
  }
  return buffer;
}

}  // namespace

std::string build_prefix(const DiagnosticContext& context, const DiagnosticRecord& record) {
  int kind = kind_index(record.kind);
  if (kind < 0 || kind >= kCountedKinds) VORN_CHECK_FAILED("diagnostic_build_prefix");
  bool colour = context.output_printer && context.output_printer->colour_on;
  const char* colour_name = kind_colour_name(record.kind);
  const char* kind_start = colour_name != nullptr ? colour_start(colour, colour_name) : "";
  const char* kind_stop = colour_name != nullptr ? colour_stop(colour) : "";

  ExpandedLocation location = expand_location(context, record.location);
  const char* file = location.file != nullptr ? location.file : context.program_name.c_str();
  std::string prefix = colour_start(colour, "locus");
  prefix += file;
  if (location.line != 0 && std::strcmp(file, _("<built-in>")) != 0) {
    prefix += line_and_column(context, location);
  }
  prefix += ':';
  prefix += colour_stop(colour);
  prefix += ' ';
  prefix += kind_start;
  // gettext("") would give the catalogue's header, not an empty text.
  const char* text = kind_text(record.kind);
  prefix += *text != '\0' ? _(text) : "";
  prefix += kind_stop;
  return prefix;
}

void text_starter(DiagnosticContext& context, DiagnosticRecord& record) {
  PrettyPrinter& printer = *context.output_printer;
  // Include chains of real source locations would be reported here; the
  // driver's diagnostics have none.
  if (printer.line_pending) printer.newline();
  printer.set_prefix(build_prefix(context, record));
}

void text_finalizer(DiagnosticContext& context, DiagnosticRecord& record) {
  PrettyPrinter& printer = *context.output_printer;
  std::optional<std::string> prefix = printer.take_prefix();
  printer.newline();
  if (context.quote_source && record.location > kBuiltinLocation &&
      context.source_span_hook != nullptr) {
    context.source_span_hook(context, record);
  }
  printer.set_prefix(std::move(prefix));
  printer.flush();
}

void text_final_hook(DiagnosticContext& context) {
  if (context.count(DiagnosticKind::kWarningAsError) == 0 || !context.output_printer) return;
  PrettyPrinter& printer = *context.output_printer;
  if (context.warnings_are_errors) {
    printer.verbatim(_("%s: all warnings being treated as errors"), context.program_name.c_str());
  } else {
    printer.verbatim(_("%s: some warnings being treated as errors"), context.program_name.c_str());
  }
  printer.newline();
  printer.flush();
}

}  // namespace vorn
