#include "diagnostics/check.h"

#include <csignal>
#include <cstdlib>
#include <string_view>

#include "diagnostics/backtrace.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "support/process_exit.h"

namespace vorn {

namespace {

const char* skip_parent_steps(const char* path) {
  while (path[0] == '.' && path[1] == '.' && path[2] == '/') path += 3;
  return path;
}

constexpr std::string_view kLayerDir = "diagnostics/";
constexpr std::string_view kOwnPath = "diagnostics/check.cc";

}  // namespace

const char* trim_source_path(const char* path) {
  path = skip_parent_steps(path);
  // The source root is what precedes this file's own path in __FILE__:
  // absolute, or nothing once the "../" parts are gone (the compiler cache
  // may rewrite the paths of some files and not of others).
  std::string_view own = skip_parent_steps(__FILE__);
  if (own.ends_with(kOwnPath)) {
    std::string_view root = own.substr(0, own.size() - kOwnPath.size());
    if (!root.empty() && std::string_view(path).starts_with(root)) path += root.size();
  }
  if (std::string_view(path).starts_with(kLayerDir)) path += kLayerDir.size();
  return path;
}

void check_failed(const char* function, const char* file, int line) {
  const char* short_path = trim_source_path(file);
  if (!diagnostic_context().output_printer) {
    // No printer (the context was finished): write the report directly.
    std::fputs(_("internal compiler error: "), stderr);
    std::fprintf(stderr, "in %s, at %s:%d\n", function, short_path, line);
    print_backtrace(stderr, 1);
    abort_process();
  }
  internal_error("in %s, at %s:%d", function, short_path, line);
}

}  // namespace vorn
