#include "options/option_errors.h"

#include <cstdarg>
#include <cstdio>

#include "diagnostics/diagnostic.h"

namespace vorn {

void option_internal_error(const char* format, ...) {
  // The text names table rows, which are not user input; it is formatted
  // here so that no option text is read as a diagnostic directive.
  char message[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  internal_error("%s", message);
}

}  // namespace vorn
