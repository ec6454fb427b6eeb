#include "diagnostics/diagnostic_context.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "diagnostics/check.h"
#include "diagnostics/colours.h"
#include "diagnostics/run_diagnostics.h"
#include "diagnostics/urls.h"

namespace vorn {

DiagnosticContext& diagnostic_context() {
  return run_diagnostics().context;
}

void diagnostic_context_init(DiagnosticContext* context, int option_count) {
  std::string program_name = std::move(context->program_name);
  *context = DiagnosticContext{};
  context->program_name = std::move(program_name);

  context->output_printer = std::make_unique<PrettyPrinter>(0);
  context->option_count = option_count > 0 ? option_count : 0;
  context->option_kinds.assign(context->option_count, DiagnosticKind::kUnspecified);

  if (const char* extra = std::getenv("VORN_EXTRA_DIAGNOSTIC_OUTPUT")) {
    if (std::strcmp(extra, "fixits-v1") == 0) {
      context->fixit_output_mode = 1;
    } else if (std::strcmp(extra, "fixits-v2") == 0) {
      context->fixit_output_mode = 2;
    }
  }
}

void diagnostic_context_finish(DiagnosticContext* context) {
  if (context->final_hook != nullptr) context->final_hook(*context);
  context->option_kinds.clear();
  context->reclass_log.clear();
  context->reclass_push_points.clear();
  context->output_printer.reset();
  context->client_data = nullptr;
}

PrettyPrinter& ensure_printer(DiagnosticContext& context) {
  if (!context.output_printer) context.output_printer = std::make_unique<PrettyPrinter>(0);
  return *context.output_printer;
}

void diagnostic_output_format_init(DiagnosticContext* context, const char* base_name, int format) {
  (void)context;
  (void)base_name;
  // The structured formats would replace the text hooks here.
  if (format != 0) VORN_CHECK_FAILED("diagnostic_output_format_init");
}

void set_color_mode(DiagnosticContext* context, int mode) {
  bool on = decide_colour(mode);
  ensure_printer(*context).colour_on = on;
}

void set_url_mode(DiagnosticContext* context, int mode) {
  int style = decide_link_style(mode);
  ensure_printer(*context).link_style = style;
}

DiagnosticKind classify_option(DiagnosticContext* context, int option_index, DiagnosticKind kind,
                               SourceLocation location) {
  if (option_index < 0 || option_index >= context->option_count || kind_index(kind) < 0 ||
      kind_index(kind) >= kCountedKinds) {
    return DiagnosticKind::kUnspecified;
  }
  DiagnosticKind previous = context->option_kinds[option_index];
  if (location != kNoLocation) {
    context->reclass_log.push_back({location, option_index, kind});
  }
  context->option_kinds[option_index] = kind;
  return previous;
}

void push_classifications(DiagnosticContext* context, SourceLocation location) {
  (void)location;
  context->reclass_push_points.push_back(static_cast<int>(context->reclass_log.size()));
}

void pop_classifications(DiagnosticContext* context, SourceLocation location) {
  int jump_to = 0;
  if (!context->reclass_push_points.empty()) {
    jump_to = context->reclass_push_points.back();
    context->reclass_push_points.pop_back();
  }
  context->reclass_log.push_back({location, -1, static_cast<DiagnosticKind>(jump_to)});
}

DiagnosticBatch::DiagnosticBatch(DiagnosticContext* context) : context_(context) {
  ++context_->group_depth;
}

DiagnosticBatch::~DiagnosticBatch() {
  if (--context_->group_depth > 0) return;
  if (context_->group_emissions > 0 && context_->end_group_hook != nullptr) {
    context_->end_group_hook(*context_);
  }
  context_->group_emissions = 0;
}

int terminal_width() {
  const char* columns = std::getenv("COLUMNS");
  if (columns == nullptr || *columns == '\0') return INT_MAX;
  char* end;
  errno = 0;
  long value = std::strtol(columns, &end, 10);
  if (*end != '\0' || errno != 0 || value <= 0 || value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

}  // namespace vorn
