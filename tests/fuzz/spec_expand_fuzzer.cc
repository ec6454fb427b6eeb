// Arbitrary spec text through the interpreter, against a small switch
// table, two inputs and the built-in named specs.  Text before a byte 0x01
// first becomes the named spec "fuzz", so that self-reference through
// "%(fuzz)" is reached too.
//
// Fatal and internal errors end the driver; here the diagnostic hook turns
// them into an exception so that the run goes on with the next input.
// Texts that mention "include" are skipped: they could make the specs-file
// reader open any file of the machine, which tells nothing about the
// interpreter.  So are texts whose expansion grows exponentially (starred
// bodies run once per switch; a self-referent spec that branches runs
// 2^depth times): they are slow, not wrong.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "diagnostics/diagnostic.h"
#include "diagnostics/run_diagnostics.h"
#include "options/option_table.h"
#include "options/options_record.h"
#include "specs/named_specs.h"
#include "specs/run_specs.h"
#include "specs/spec_hooks.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"
#include "support/memory.h"

namespace {

struct FatalReported {};

// Errors are not counted either: an internal error after an error ends the
// process at once ("confused by earlier errors"), before any hook.
void finish_and_escape_fatal(vorn::DiagnosticContext& context, vorn::DiagnosticRecord& record) {
  vorn::text_finalizer(context, record);
  for (auto& count : context.kind_counts) count = 0;
  if (record.kind == vorn::DiagnosticKind::kFatal ||
      record.kind == vorn::DiagnosticKind::kInternalError ||
      record.kind == vorn::DiagnosticKind::kInternalErrorNoBacktrace) {
    throw FatalReported{};
  }
}

// Runs nothing and creates no file: names point into a directory that
// does not exist, so response files fail cleanly.
class FuzzHooks final : public vorn::SpecHooks {
 public:
  int execute(const std::vector<const char*>& arguments) override {
    for (const char* word : arguments) {
      if (word == nullptr) std::abort();
    }
    return 0;
  }
  const char* get_environment(const char* name) override {
    return std::strcmp(name, "HOME") == 0 ? "/home/fuzz" : nullptr;
  }
  const char* new_temp_name(const char* suffix) override {
    std::string name = "/nonexistent-fuzz-dir/cc" + std::to_string(++count_) + suffix;
    return vorn::xstrdup(name.c_str());
  }
  void register_temp_file(const char*, bool, bool) override {}

 private:
  int count_ = 0;
};

vorn::OptionsRecord options;

void set_up_command_line(std::size_t size) {
  vorn::CommandLine& line = vorn::command_line();
  options = vorn::kInitialOptionsRecord;
  options.x_use_pipes = size % 3 == 0;
  line.options = &options;
  line.argument_files_supplied = size % 5 == 0;
  line.compare_debug = size % 7 == 0 ? vorn::CompareDebug::kSecondCompilation : vorn::CompareDebug::kNotRequested;
  static const char* const kSwitches[][3] = {
      {"-O2", nullptr},      {"-O0", nullptr},        {"-fno-x", nullptr}, {"-fx", nullptr},
      {"-Wno-y", nullptr},   {"-o", "out.o"},         {"-I", "inc dir"},   {"-D", "FOO=1"},
      {"-std=c99", nullptr}, {"-mfoo=10.3", nullptr}, {"-MD", nullptr},    {"-Wa,x", nullptr}};
  for (const auto& entry : kSwitches) {
    std::size_t count = entry[1] != nullptr ? 1 : 0;
    line.switches.record(entry[0], count, entry + 1, false, true);
  }
  line.inputs.add("dir/a.tar.c", nullptr);
  line.inputs.add("-lm", "*");
  line.assembler_options = {"--as opt"};
  vorn::CompileProgress& progress = vorn::compile_progress();
  progress.outputs = {"a.o", nullptr, "extra.o"};
  progress.combined_inputs = size % 2 == 0;
  vorn::select_input(0, nullptr);
}

std::size_t count_of(const std::string& text, const char* what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

bool grows_exponentially(const std::string& own, const std::string& spec) {
  if (count_of(own, "*") + count_of(spec, "*") > 3) return true;
  if (count_of(own, "%(") > 1) return true;
  return count_of(own, "%(") == 1 && count_of(own, "*") > 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The diagnostics state every input reports through.
  static vorn::BoundState<vorn::RunDiagnostics> diagnostics;
  static FuzzHooks hooks;
  static const bool ready = [] {
    vorn::diagnostic_context().after_message_hook = finish_and_escape_fatal;
    return true;
  }();
  (void)ready;
  std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find("include") != std::string::npos) return 0;
  text = text.c_str();  // the interpreter reads up to the first NUL

  // Each text runs in a fresh spec state, set up as the driver sets it up.
  vorn::BoundState<vorn::RunSpecs> specs;
  vorn::set_spec_hooks(&hooks);
  vorn::install_default_specs(false);
  set_up_command_line(size);
  std::size_t split = text.find('\x01');
  std::string own = split == std::string::npos ? "" : text.substr(0, split);
  std::string spec = split == std::string::npos ? text : text.substr(split + 1);
  if (grows_exponentially(own, spec)) return 0;
  vorn::define_spec("fuzz", own.c_str(), false);
  try {
    vorn::run_spec(spec.c_str());
  } catch (const FatalReported&) {
    vorn::diagnostic_context().reentry_depth = 0;
    return 0;
  }
  if (vorn::spec_function_depth() != 0) std::abort();
  return 0;
}
