// Delivery of one diagnostic: whether it is shown, as which kind, how it is
// counted, printed, and what happens afterwards.
#include <cstdlib>
#include <string>

#include "diagnostics/check.h"
#include "diagnostics/colours.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "diagnostics/termination.h"
#include "support/process_exit.h"

namespace vorn {
namespace {

// The published pattern of CWE definition pages.
constexpr char kCweUrlFormat[] = "https://cwe.mitre.org/data/definitions/%i.html";

bool in_system_header(const DiagnosticContext& context, SourceLocation location) {
  return expand_location(context, location).in_system_header;
}

bool is_internal_error(DiagnosticKind kind) {
  return kind == DiagnosticKind::kInternalError ||
         kind == DiagnosticKind::kInternalErrorNoBacktrace;
}

// The text of a delivery that a new one interrupts, ended where it stands.
// A delivery under way has its printer: the printer goes only when the run
// ends, and a run that ends has no delivery under way any more.
void end_interrupted_text(DiagnosticContext& context) {
  context.output_printer->abandon_formatting();
  context.output_printer->newline_and_flush();
}

// A diagnostic raised while another is being delivered (say, while its
// arguments are formatted) cannot be trusted to come out right; report that
// instead, once.  Deliveries nest at most two deep (only an internal error
// gets past the first), so this is reached at most once per run.
[[noreturn]] void reentry_failure(DiagnosticContext& context) {
  end_interrupted_text(context);
  print_notice(stderr, "internal compiler error: error reporting routines re-entered.\n");
  action_after_output(context, DiagnosticKind::kInternalError);
  abort_process();
}

// The newest classification of OPTION made before LOCATION, following pops
// back to their pushes.
DiagnosticKind classification_from_history(const DiagnosticContext& context, int option,
                                           SourceLocation location) {
  const auto& log = context.reclass_log;
  for (int i = static_cast<int>(log.size()) - 1; i >= 0; --i) {
    const ClassificationChange& change = log[i];
    if (change.location > location) continue;
    if (change.option == -1) {
      i = kind_index(change.kind);  // the loop's decrement lands before the push
      continue;
    }
    if (change.option == 0 || change.option == option) return change.kind;
  }
  return DiagnosticKind::kUnspecified;
}

void record_locations(DiagnosticContext& context, DiagnosticRecord& record) {
  if (context.set_locations_hook != nullptr) {
    context.set_locations_hook(context, record);
    return;
  }
  record.inlining_locations.assign(1, record.location);
  record.all_in_system_headers = in_system_header(context, record.location);
}

// Applies the option's enablement and classification; false drops it.
bool option_allows(DiagnosticContext& context, DiagnosticRecord& record) {
  record_locations(context, record);
  int option = record.option_index;
  if (option == 0 || option == context.permissive_option) return true;
  if (context.option_enabled_hook != nullptr &&
      !context.option_enabled_hook(option, context.option_language_mask,
                                   context.option_enabled_data)) {
    return false;
  }
  if (record.all_in_system_headers && !context.report_in_system_headers) {
    record.kind = DiagnosticKind::kIgnored;
  } else {
    DiagnosticKind decided = DiagnosticKind::kUnspecified;
    for (SourceLocation location : record.inlining_locations) {
      decided = classification_from_history(context, option, location);
      if (decided != DiagnosticKind::kUnspecified) break;
    }
    if (decided == DiagnosticKind::kUnspecified && option > 0 && option < context.option_count) {
      decided = context.option_kinds[option];
    }
    if (decided != DiagnosticKind::kUnspecified) record.kind = decided;
  }
  return record.kind != DiagnosticKind::kIgnored;
}

void print_annotation(PrettyPrinter& printer, DiagnosticKind kind, const std::string& text,
                      const std::string& url) {
  const char* colour_name = kind_colour_name(kind);
  printer.append_string(" [");
  printer.append_string(colour_name ? colour_start(printer.colour_on, colour_name) : "");
  bool linked = !url.empty() && printer.link_style != kLinksNone;
  if (linked) printer.begin_url(url.c_str());
  printer.append_string(text);
  if (linked) printer.append_string(printer.end_url_string());
  printer.append_string(colour_name ? colour_stop(printer.colour_on) : "");
  printer.append_string("]");
}

void print_annotations(DiagnosticContext& context, const DiagnosticRecord& record,
                       DiagnosticKind entry_kind) {
  PrettyPrinter& printer = *context.output_printer;
  if (context.annotate_cwe && record.tags != nullptr && record.tags->cwe != 0) {
    std::optional<std::string> prefix = printer.take_prefix();
    char text[32];
    char url[96];
    std::snprintf(text, sizeof text, "CWE-%i", record.tags->cwe);
    std::snprintf(url, sizeof url, kCweUrlFormat, record.tags->cwe);
    print_annotation(printer, record.kind, text, url);
    printer.set_prefix(std::move(prefix));
  }
  if (context.annotate_rules && record.tags != nullptr) {
    for (const DiagnosticRule* rule : record.tags->rules) {
      std::string text = rule->description();
      if (text.empty()) continue;
      std::optional<std::string> prefix = printer.take_prefix();
      print_annotation(printer, record.kind, text, rule->url());
      printer.set_prefix(std::move(prefix));
    }
  }
  if (context.annotate_option && context.option_name_hook != nullptr) {
    std::string name =
        context.option_name_hook(context, record.option_index, entry_kind, record.kind);
    if (name.empty()) return;
    std::string url;
    if (printer.link_style != kLinksNone && context.option_url_hook != nullptr) {
      url = context.option_url_hook(context, record.option_index);
    }
    print_annotation(printer, record.kind, name, url);
  }
}

void count(DiagnosticContext& context, DiagnosticKind kind, DiagnosticKind entry_kind) {
  if (kind == DiagnosticKind::kError && entry_kind == DiagnosticKind::kWarning) {
    ++context.kind_counts[kind_index(DiagnosticKind::kWarningAsError)];
  } else {
    ++context.kind_counts[kind_index(kind)];
  }
}

// Ends the process when an internal error follows other errors: it is most
// likely their consequence, and the bug report would mislead.
void bail_out_if_confused(DiagnosticContext& context, const DiagnosticRecord& record) {
  if (context.count(DiagnosticKind::kError) == 0 && context.count(DiagnosticKind::kSorry) == 0) {
    return;
  }
  if (context.abort_instead_of_exit) return;
  ExpandedLocation location = expand_location(context, record.location);
  const char* file = location.file != nullptr ? location.file : context.program_name.c_str();
  print_notice(stderr, "%s:%d: confused by earlier errors, bailing out\n", file, location.line);
  exit_after_report(context, kInternalErrorExitStatus);
}

// The steps before anything is printed; false when the diagnostic is
// dropped.
bool accept(DiagnosticContext& context, DiagnosticRecord& record, DiagnosticKind& entry_kind) {
  bool hidden_in_system_header = false;
  if (record.kind == DiagnosticKind::kWarning || record.kind == DiagnosticKind::kPedwarn) {
    if (context.suppress_warnings) return false;
    if (in_system_header(context, record.location) && !context.report_in_system_headers) {
      if (record.kind == DiagnosticKind::kPedwarn) return false;
      hidden_in_system_header = true;
    }
  }
  if (record.kind == DiagnosticKind::kPedwarn) {
    record.kind = context.pedwarns_are_errors ? DiagnosticKind::kError : DiagnosticKind::kWarning;
    entry_kind = record.kind;
  }
  if (record.kind == DiagnosticKind::kNote && context.suppress_notes) return false;
  if (context.reentry_depth > 0) {
    if (!is_internal_error(record.kind) || context.reentry_depth != 1) reentry_failure(context);
    end_interrupted_text(context);
  } else if (is_internal_error(record.kind) && context.output_printer &&
             context.output_printer->formatting()) {
    // A message printed straight through the context's printer failed
    // half-way; its chunks would swallow the report of the failure.
    context.output_printer->abandon_formatting();
  }
  if (context.warnings_are_errors && record.kind == DiagnosticKind::kWarning) {
    record.kind = DiagnosticKind::kError;
  }
  if (!option_allows(context, record)) return false;
  return !(hidden_in_system_header && record.all_in_system_headers);
}

}  // namespace

bool deliver_diagnostic(DiagnosticContext* context_pointer, DiagnosticRecord* record) {
  DiagnosticContext& context = *context_pointer;
  // A kind outside the table has no counter, text or action.
  if (kind_index(record->kind) < 0 || kind_index(record->kind) >= kCountedKinds) {
    VORN_CHECK_FAILED("deliver_diagnostic");
  }
  DiagnosticKind entry_kind = record->kind;
  if (!accept(context, *record, entry_kind)) return false;

  DiagnosticKind kind = record->kind;
  if (kind != DiagnosticKind::kNote && kind != DiagnosticKind::kInternalError) {
    check_error_limit(context);
  }
  ++context.reentry_depth;
  // A report after the context was finished (or before it was set up) still
  // reaches the user.
  ensure_printer(context);
  if (is_internal_error(kind)) {
    bail_out_if_confused(context, *record);
    if (context.internal_error_hook != nullptr) {
      context.internal_error_hook(context, record->message.format, record->message.args);
    }
  }
  count(context, kind, entry_kind);
  if (context.group_emissions++ == 0 && context.begin_group_hook != nullptr) {
    context.begin_group_hook(context);
  }

  PrettyPrinter& printer = *context.output_printer;
  printer.format(record->message);
  if (context.before_message_hook != nullptr) context.before_message_hook(context, *record);
  printer.output_formatted_text();
  print_annotations(context, *record, entry_kind);
  if (context.after_message_hook != nullptr) context.after_message_hook(context, *record);
  // Parseable fix-it lines (fixit_output_mode) would follow here; the
  // driver's diagnostics carry no fix-it hints.
  action_after_output(context, kind);

  record->scratch = nullptr;
  --context.reentry_depth;
  // Diagnostics with an event path would print it here through path_printer.
  return true;
}

}  // namespace vorn
