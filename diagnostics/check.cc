#include "diagnostics/check.h"

#include <csignal>
#include <cstdlib>

#include "diagnostics/backtrace.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "support/coverage_counts.h"

namespace vorn {

const char* trim_source_path(const char* path) {
  while (path[0] == '.' && path[1] == '.' && path[2] == '/') path += 3;
  const char* own = __FILE__;
  const char* after_separator = path;
  for (std::size_t i = 0; path[i] != '\0' && path[i] == own[i]; ++i) {
    if (path[i] == '/') after_separator = path + i + 1;
  }
  return after_separator;
}

void check_failed(const char* function, const char* file, int line) {
  const char* short_path = trim_source_path(file);
  if (!process_diagnostics.output_printer) {
    // No printer (the context was finished): write the report directly.
    std::fputs(_("internal compiler error: "), stderr);
    std::fprintf(stderr, "in %s, at %s:%d\n", function, short_path, line);
    print_backtrace(stderr, 1);
    abort_process();
  }
  internal_error("in %s, at %s:%d", function, short_path, line);
}

}  // namespace vorn
