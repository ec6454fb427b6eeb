// Makes the C++ library fail in one way and lets the driver's handlers
// report it, as vorn-cxx would.
//   runtime_failure_probe SCENARIO
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "diagnostics/run_diagnostics.h"
#include "support/current_state.h"
#include "support/memory.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  // The reports go through the diagnostics layer, which reports for a run.
  vorn::BoundState<vorn::RunDiagnostics> diagnostics;
  vorn::init_locale_and_quotes();
  vorn::diagnostic_context_init(&vorn::diagnostic_context(), 0);
  vorn::set_color_mode(&vorn::diagnostic_context(), vorn::kModeNever);
  vorn::set_memory_program_name("vorn-cxx");
  std::string scenario = argv[1];
  std::vector<char> bytes;
  if (scenario == "position") {
    std::string text = "abc";
    return static_cast<int>(text.substr(text.size() + argc).size());
  }
  if (scenario == "null") {
    const char* volatile nothing = nullptr;
    return static_cast<int>(std::string(nothing).size());
  }
  if (scenario == "allocation" || scenario == "array-length") {
    // Beyond what an allocator may hand out at all; past SIZE_MAX bytes
    // for the array length case.
    std::size_t count = scenario == "allocation" ? SIZE_MAX / sizeof(std::int32_t)
                                                 : SIZE_MAX / 2 + static_cast<std::size_t>(argc);
    return std::allocator<std::int32_t>().allocate(count) != nullptr;
  }
  if (scenario == "length") {
    bytes.reserve(bytes.max_size() + static_cast<std::size_t>(argc));
    return static_cast<int>(bytes.capacity());
  }
  return 2;
}
