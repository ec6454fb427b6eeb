// Times repeated spec expansions over a long command line and prints the
// seconds they took:
//   spec_expand_bench switches N   a print group and conditions over N switches
//   spec_expand_bench inputs N     "%i" with N inputs compiled by one run
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "options/option_table.h"
#include "options/options_record.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/run_specs.h"
#include "specs/spec_hooks.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"
#include "support/memory.h"

namespace {

// Rounds per measurement: "%i" is so cheap that one round is lost in the
// noise of the clock.
constexpr int kSwitchRounds = 20;
constexpr int kInputRounds = 400;

class NoHooks final : public vorn::SpecHooks {
 public:
  int execute(const std::vector<const char*>&) override { return 0; }
  const char* new_temp_name(const char* suffix) override { return vorn::xstrdup(suffix); }
  void register_temp_file(const char*, bool, bool) override {}
};

// A mix like a long generated command line: include directories, macros,
// warnings and flags, some of them negated again later, so that liveness
// tests ask whether a later switch cancels an earlier one.
void add_switches(std::size_t n) {
  vorn::SwitchTable& table = vorn::command_line().switches;
  for (std::size_t i = 0; i < n; ++i) {
    std::string number = std::to_string(i);
    std::string text;
    const char* argument = nullptr;
    switch (i % 8) {
      case 0:
        text = "-I";
        argument = "include/dir";
        break;
      case 1:
        text = "-DMACRO_" + number + "=1";
        break;
      case 2:
        text = "-Wwarning-" + number;
        break;
      case 3:
        text = "-Wno-warning-" + std::to_string(i - 1);
        break;
      case 4:
        text = "-fflag-" + number;
        break;
      case 5:
        text = "-fno-other-" + number;
        break;
      case 6:
        text = "-O" + std::to_string(i % 3);
        break;
      default:
        text = "-std=c++20";
        break;
    }
    const char* arguments[] = {argument};
    table.record(vorn::xstrdup(text.c_str()), argument != nullptr ? 1 : 0, arguments, false, true);
  }
}

vorn::CompilerEntry compiler{"@c", "", nullptr, 1, 0};

void add_inputs(std::size_t n) {
  vorn::InputList& inputs = vorn::command_line().inputs;
  for (std::size_t i = 0; i < n; ++i) {
    std::string name = "src/file" + std::to_string(i) + ".c";
    inputs.add(vorn::xstrdup(name.c_str()), nullptr).compiler = &compiler;
  }
  vorn::compile_progress().combined_inputs = true;
  vorn::select_input(0, &compiler);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s switches|inputs N\n", argv[0]);
    return 2;
  }
  std::size_t n = std::strtoul(argv[2], nullptr, 10);
  vorn::BoundState<vorn::RunSpecs> specs;  // the run's spec state
  NoHooks hooks;
  vorn::set_spec_hooks(&hooks);
  vorn::OptionsRecord options = vorn::kInitialOptionsRecord;
  vorn::command_line().options = &options;
  vorn::install_default_specs(false);

  const char* spec;
  int rounds = kSwitchRounds;
  if (std::strcmp(argv[1], "inputs") == 0) {
    add_inputs(n);
    spec = "cfe1 -quiet %i -o out.s";
    rounds = kInputRounds;
  } else {
    add_switches(n);
    spec =
        "cfe1 %{I*&D*} %{W*&pedantic*} %{fflag*} %{fno-*} %{O*} %{std*&ansi} "
        "%{Wwarning-2:-two} %{!fflag-4:-no-four}";
  }
  // Each round starts from an untested copy of the switch table (so that
  // liveness and the cancellation index are decided afresh) and from
  // uncompiled inputs; only the expansion is timed.
  const vorn::SwitchTable untested = vorn::command_line().switches;
  double seconds = 0;
  for (int round = 0; round < rounds; ++round) {
    vorn::command_line().switches = untested;
    for (vorn::InputFile& input : vorn::command_line().inputs) input.compiled = false;
    auto start = std::chrono::steady_clock::now();
    int status = vorn::expand_spec(spec, nullptr);
    auto stop = std::chrono::steady_clock::now();
    if (status != 0) return 1;
    seconds += std::chrono::duration<double>(stop - start).count();
  }
  std::printf("%.6f\n", seconds);
  return 0;
}
