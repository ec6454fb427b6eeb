// The spec functions that resolve "native" CPU requests and rewrite
// -mcpu= for the assembler.
#include <cstdio>
#include <string_view>

#include "diagnostics/diagnostic.h"
#include "specs/cpu_detect.h"
#include "specs/spec_function_handlers.h"
#include "specs/spec_hooks.h"
#include "support/memory.h"

namespace vorn::spec_functions {

// The host description is read only here, so a run without "native"
// never opens it.
const char* local_cpu_detect(int argc, const char** argv) {
  if (argc < 1) internal_error("spec function %qs called without arguments", "local_cpu_detect");
  const char* path = spec_hooks().get_environment("VORN_CPUINFO");
  std::FILE* file = std::fopen(path != nullptr ? path : "/proc/cpuinfo", "r");
  if (file == nullptr) return nullptr;
  auto option = aarch64::detect_host_cpu(file, argv[0]);
  std::fclose(file);
  return option ? xstrdup(option->c_str()) : nullptr;
}

const char* rewrite_mcpu(int argc, const char** argv) {
  if (argc < 1) internal_error("spec function %qs called without arguments", "rewrite_mcpu");
  return xstrdup(aarch64::rewrite_mcpu_value(argv[argc - 1]).c_str());
}

}  // namespace vorn::spec_functions
