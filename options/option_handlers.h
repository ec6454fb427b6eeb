// Applying decoded options: reporting their errors, storing their
// variables and running the handlers of their classes.
#ifndef VORN_OPTIONS_OPTION_HANDLERS_H
#define VORN_OPTIONS_OPTION_HANDLERS_H

#include <cstddef>
#include <cstdint>

#include "diagnostics/diagnostic_kinds.h"
#include "diagnostics/source_location.h"
#include "options/decoded_option.h"
#include "options/option_table.h"

namespace vorn {

struct DiagnosticContext;
struct OptionHandlers;

using TargetOverrideHook = void (*)();

// Returns false to refuse the option.
using OptionHandler = bool (*)(OptionsRecord* options, OptionsRecord* explicitly_set,
                               const DecodedOption* decoded, std::uint32_t language_mask,
                               DiagnosticKind kind, SourceLocation location,
                               const OptionHandlers* handlers, DiagnosticContext* diagnostics,
                               TargetOverrideHook target_override);

struct OptionHandlers {
  // True when the unknown option is to be reported as unrecognized.
  bool (*unknown_option_callback)(const DecodedOption* decoded);
  void (*wrong_language_callback)(const DecodedOption* decoded, std::uint32_t language_mask);
  TargetOverrideHook target_override;
  std::size_t handler_count;
  struct {
    OptionHandler handler;
    std::uint32_t class_mask;
  } handlers[3];
};

// Reports, stores and handles one decoded option from the command line.
void read_cmdline_option(OptionsRecord* options, OptionsRecord* explicitly_set,
                         const DecodedOption* decoded, SourceLocation location,
                         std::uint32_t language_mask, const OptionHandlers* handlers,
                         DiagnosticContext* diagnostics);

// Stores the option's variable and calls the handlers whose class mask
// shares a bit with the row; false as soon as one refuses.
bool apply_option(OptionsRecord* options, OptionsRecord* explicitly_set,
                  const DecodedOption* decoded, std::uint32_t language_mask,
                  SourceLocation location, const OptionHandlers* handlers,
                  DiagnosticContext* diagnostics);

// Reports the first of ERRORS that has a message for row INDEX; false when
// none has (wrong language, rejected negative form).
bool report_option_error(SourceLocation location, std::size_t index, const char* written_text,
                         const char* argument, int errors, std::uint32_t language_mask);

}  // namespace vorn

#endif  // VORN_OPTIONS_OPTION_HANDLERS_H
