// The diagnostic context: everything that decides whether and how a
// diagnostic is reported, its counters, and the hooks an output format or a
// client replaces.
#ifndef VORN_DIAGNOSTICS_DIAGNOSTIC_CONTEXT_H
#define VORN_DIAGNOSTICS_DIAGNOSTIC_CONTEXT_H

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "diagnostics/diagnostic_kinds.h"
#include "diagnostics/message_text.h"
#include "diagnostics/pretty_printer.h"
#include "diagnostics/source_location.h"

namespace vorn {

struct DiagnosticContext;

// A rule of a coding standard that a diagnostic says was broken.
class DiagnosticRule {
 public:
  virtual ~DiagnosticRule() = default;
  // The text of the annotation; empty for none.
  virtual std::string description() const = 0;
  // Where the rule is explained; empty for no link.
  virtual std::string url() const = 0;
};

// Metadata a diagnostic may carry: a CWE number (0 for none) and the rules
// it concerns.
struct DiagnosticTags {
  int cwe = 0;
  std::vector<const DiagnosticRule*> rules;
};

// One diagnostic on its way through delivery.
struct DiagnosticRecord {
  MessageText message;
  SourceLocation location = kNoLocation;
  const DiagnosticTags* tags = nullptr;
  DiagnosticKind kind = DiagnosticKind::kUnspecified;
  int option_index = 0;  // the controlling option; 0 for none
  void* scratch = nullptr;
  // Where the diagnostic applies, innermost first (more than one when code
  // was inlined), and whether all of them are in system headers.
  std::vector<SourceLocation> inlining_locations;
  bool all_in_system_headers = false;
};

// A change of an option's kind at a location.  An entry with option -1 is a
// pop; its kind field holds the index of the matching push point.
struct ClassificationChange {
  SourceLocation location;
  int option;
  DiagnosticKind kind;
};

using MessageHook = void (*)(DiagnosticContext& context, DiagnosticRecord& record);
using ContextHook = void (*)(DiagnosticContext& context);
using InternalErrorHook = void (*)(DiagnosticContext& context, const char* message, va_list* args);
using OptionEnabledHook = bool (*)(int option_index, unsigned language_mask, void* data);
// Return the text shown for an option ("-Wfoo"), or an empty string.
using OptionNameHook = std::string (*)(const DiagnosticContext& context, int option_index,
                                       DiagnosticKind entry_kind, DiagnosticKind kind);
using OptionUrlHook = std::string (*)(const DiagnosticContext& context, int option_index);
// Expands a location; without one, every location expands to nothing.
using LocationExpander = ExpandedLocation (*)(SourceLocation location);

// The text hooks: end a pending line and set the prefix; end the message
// line and flush; report warnings that were treated as errors.
void text_starter(DiagnosticContext& context, DiagnosticRecord& record);
void text_finalizer(DiagnosticContext& context, DiagnosticRecord& record);
void text_final_hook(DiagnosticContext& context);

// The defaults below make a context usable even before it is initialised,
// for problems found before the driver sets diagnostics up.
struct DiagnosticContext {
  // Created on first use when missing.
  std::unique_ptr<PrettyPrinter> output_printer;
  // The location text of diagnostics without a file: the base name of the
  // program, set by the driver from argv[0].  Initialising the context keeps
  // it, because the name is recorded before the context is set up.
  std::string program_name = "vorn-cxx";

  std::int32_t kind_counts[kCountedKinds] = {};
  bool warnings_are_errors = false;

  int option_count = 0;
  std::vector<DiagnosticKind> option_kinds;
  std::vector<ClassificationChange> reclass_log;
  std::vector<int> reclass_push_points;

  bool quote_source = false;
  int quote_width_limit = 0;
  char range_marks[3] = {'^', '^', '^'};
  bool annotate_cwe = false;
  bool annotate_rules = false;
  int event_path_style = 0;  // 0 none, 1 separate events, 2 inline events
  bool event_path_depths = false;
  bool annotate_option = false;
  // Raise SIGABRT instead of exiting on fatal errors, errors and internal
  // errors (to debug the program that reports them).
  bool abort_instead_of_exit = false;
  bool print_columns = false;
  bool pedwarns_are_errors = false;
  bool permerrors_are_warnings = false;
  int permissive_option = 0;
  bool stop_at_first_error = false;
  bool suppress_warnings = false;
  bool report_in_system_headers = false;
  int error_limit = 0;  // 0: no limit

  MessageHook before_message_hook = text_starter;
  MessageHook source_span_hook = nullptr;
  MessageHook after_message_hook = text_finalizer;
  InternalErrorHook internal_error_hook = nullptr;
  OptionEnabledHook option_enabled_hook = nullptr;
  void* option_enabled_data = nullptr;
  OptionNameHook option_name_hook = nullptr;
  OptionUrlHook option_url_hook = nullptr;
  MessageHook path_printer = nullptr;
  LocationExpander expand_location = nullptr;

  void* client_data = nullptr;
  SourceLocation last_quoted_location = kNoLocation;
  int reentry_depth = 0;
  unsigned option_language_mask = 0;
  bool suppress_notes = false;
  bool colour_quoted_ranges = false;
  bool quote_labels = false;
  bool quote_line_numbers = false;
  int quote_margin_min = 0;
  bool quote_ruler = false;
  // -freport-bug, given: the bug-report text does not ask for it.
  bool full_report_requested = false;
  // 0 none, 1 parseable fix-its with byte columns, 2 with display columns.
  int fixit_output_mode = 0;
  int column_measure = 0;  // 0 display, 1 byte
  int first_column_number = 1;
  int tab_width = 8;
  int source_escape_style = 0;  // 0 unicode, 1 bytes

  int group_depth = 0;
  int group_emissions = 0;
  ContextHook begin_group_hook = nullptr;
  ContextHook end_group_hook = nullptr;
  ContextHook final_hook = text_final_hook;
  MessageHook set_locations_hook = nullptr;
  ContextHook ice_hook = nullptr;

  std::int32_t count(DiagnosticKind kind) const { return kind_counts[kind_index(kind)]; }
};

// The context of the current run; every reporting function uses it.
DiagnosticContext& diagnostic_context();

// Sets CONTEXT up: a printer on standard error without wrapping, the default
// settings, an unclassified entry per option, and "VORN_EXTRA_DIAGNOSTIC_OUTPUT".
void diagnostic_context_init(DiagnosticContext* context, int option_count);

// Runs the final hook and releases the printer and the tables.  Only the
// fatal paths finish a context; a normal end leaves it as it is.
void diagnostic_context_finish(DiagnosticContext* context);

// The printer of CONTEXT, made (with no wrapping, on standard error) when a
// report comes before the context was set up or after it was finished.
PrettyPrinter& ensure_printer(DiagnosticContext& context);

// Selects the output format: 0 is text, the only one this layer has, so
// any other number is an internal error.
void diagnostic_output_format_init(DiagnosticContext* context, const char* base_name, int format);

// Colour and hyperlink output for MODE (0 never, 1 always, 2 auto, negative
// for the default).
void set_color_mode(DiagnosticContext* context, int mode);
void set_url_mode(DiagnosticContext* context, int mode);

// Reports OPTION's diagnostics as KIND from now on (from LOCATION on, when it
// is not 0).  Returns the previous kind, or unspecified without a change for
// an option or kind out of range.
DiagnosticKind classify_option(DiagnosticContext* context, int option_index, DiagnosticKind kind,
                               SourceLocation location);
// Saves and restores the classifications at a location (source pragmas).
void push_classifications(DiagnosticContext* context, SourceLocation location);
void pop_classifications(DiagnosticContext* context, SourceLocation location);

// Reports one diagnostic; true when it was printed.
bool deliver_diagnostic(DiagnosticContext* context, DiagnosticRecord* record);

// Groups the diagnostics reported during its lifetime (a note belongs to the
// error before it); the outermost batch ends the group.
class DiagnosticBatch {
 public:
  explicit DiagnosticBatch(DiagnosticContext* context = &diagnostic_context());
  ~DiagnosticBatch();
  DiagnosticBatch(const DiagnosticBatch&) = delete;
  DiagnosticBatch& operator=(const DiagnosticBatch&) = delete;

 private:
  DiagnosticContext* context_;
};

// "COLUMNS" when it is a positive integer, otherwise the largest int.
int terminal_width();

// The "<location>: <kind>" prefix of a diagnostic.
std::string build_prefix(const DiagnosticContext& context, const DiagnosticRecord& record);

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_DIAGNOSTIC_CONTEXT_H
