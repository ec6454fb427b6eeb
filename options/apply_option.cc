#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "options/option_codes.h"
#include "options/option_errors.h"
#include "options/option_handlers.h"
#include "options/option_variables.h"

namespace vorn {

bool apply_option(OptionsRecord* options, OptionsRecord* explicitly_set,
                  const DecodedOption* decoded, std::uint32_t language_mask,
                  SourceLocation location, const OptionHandlers* handlers,
                  DiagnosticContext* diagnostics) {
  const OptionDescriptor& row = kOptionTable[decoded->index];
  if (row.variable_offset != kNoVariable) {
    set_option_variable(options, explicitly_set, decoded->index, decoded->value, decoded->argument,
                        location, decoded->mask);
  }
  for (std::size_t i = 0; i < handlers->handler_count; ++i) {
    const auto& h = handlers->handlers[i];
    if ((h.class_mask & row.flags) == 0) continue;
    if (!h.handler(options, explicitly_set, decoded, language_mask, DiagnosticKind::kUnspecified,
                   location, handlers, diagnostics, handlers->target_override)) {
      return false;
    }
  }
  return true;
}

void read_cmdline_option(OptionsRecord* options, OptionsRecord* explicitly_set,
                         const DecodedOption* decoded, SourceLocation location,
                         std::uint32_t language_mask, const OptionHandlers* handlers,
                         DiagnosticContext* diagnostics) {
  if (decoded->usage_warning) {
    warning_at(location, 0, _(decoded->usage_warning), decoded->written_text);
  }
  switch (decoded->index) {
    case UNKNOWN_OPTION:
      if (handlers->unknown_option_callback(decoded)) {
        error_at(location, _("unrecognized command-line option %qs"), decoded->argument);
      }
      return;
    case IGNORED_OPTION:
      return;
    case REMOVED_OPTION:
      // The "no-" form of a removed option is accepted silently.
      if (decoded->value) {
        warning_at(location, 0, _("switch %qs is no longer supported"), decoded->written_text);
      }
      return;
    default:
      break;
  }
  if (decoded->errors) {
    if (report_option_error(location, decoded->index, decoded->written_text, decoded->argument,
                            decoded->errors, language_mask)) {
      return;
    }
    if (decoded->errors & ~ERR_WRONG_LANGUAGE) {
      option_internal_error("unexpected option errors 0x%x", decoded->errors);
    }
    handlers->wrong_language_callback(decoded, language_mask);
    return;
  }
  if (!apply_option(options, explicitly_set, decoded, language_mask, location, handlers,
                    diagnostics)) {
    error_at(location, _("unrecognized command-line option %qs"), decoded->written_text);
  }
}

}  // namespace vorn
