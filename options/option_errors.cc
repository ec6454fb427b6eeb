#include "options/option_errors.h"

#include <cstdarg>

#include "diagnostics/diagnostic.h"

namespace vorn {

void option_internal_error(const char* format, ...) {
  // The text names table rows, which are not user input; it is formatted
  // before it is reported so that no option text is read as a diagnostic
  // directive.
  va_list args;
  va_start(args, format);
  internal_error_vprintf(format, args);
}

}  // namespace vorn
