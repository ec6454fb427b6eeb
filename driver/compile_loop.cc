// The choice of a compiler for every input and the compile loop that runs
// each input's compiler spec, with the -fcompare-debug recompilation.
#include <cstring>
#include <string>
#include <string_view>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/compare_debug.h"
#include "driver/driver.h"
#include "driver/temp_files.h"
#include "options/option_codes.h"
#include "specs/compilers_table.h"
#include "specs/input_identity.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"
#include "support/memory.h"

namespace vorn {
namespace {

const CompilerEntry* compiler_for(const InputFile& input, bool preprocess_only) {
  return find_compiler_entry(input.name, std::strlen(input.name), input.language, preprocess_only);
}

// Runs COMPILER's spec over INPUT, and under -fcompare-debug the second
// compilation and the comparison.  False when the input failed.
bool compile_input(InputFile* input, const CompilerEntry* compiler) {
  if (compiler->spec[0] == '#') {
    report_error(_("%s: %s compiler not installed on this system"), input->name,
                 compiler->spec + 1);
    return false;
  }
  const bool compare_debug = compare_debug_active();
  if (compare_debug) forget_compare_debug_dumps();
  bool ok = run_spec(compiler->spec) >= 0;
  input->compiled = true;
  if (ok && compare_debug) ok = recompile_and_compare(compiler->spec, input->name);
  if (compare_debug) forget_compare_debug_dumps();
  return ok;
}

}  // namespace

bool CompilerDriver::assign_input_languages(const DriverState& state) {
  InputList& inputs = command_line().inputs;
  if (inputs.size() == static_cast<std::size_t>(state.added_libraries)) {
    fatal_error(current_location, _("no input files"));
  }
  if (errors_seen()) return false;

  CompileProgress& progress = compile_progress();
  progress.outputs.assign(inputs.size(), nullptr);
  explicit_link_inputs_ = static_cast<unsigned char*>(xcalloc(inputs.size() + 1, 1));
  bool combined = state.output_given || state.options.x_flag_wpa != nullptr;

  int counted = 0;
  const CompilerEntry* last = nullptr;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    InputFile& input = inputs[i];
    const CompilerEntry* compiler = compiler_for(input, state.preprocess_only);
    if (compiler != nullptr && !compiler->combinable) combined = false;
    if (counted != 0 && compiler != last && input.language != nullptr && input.language[0] != '*') {
      input.compiler = compiler;
    } else if (compiler != nullptr) {
      input.compiler = compiler;
      ++counted;
      last = compiler;
    } else {
      explicit_link_inputs_[i] = 1;
      input.compiler = nullptr;
    }
    input.compiled = false;
    input.preprocessed = false;
  }
  if (!combined && command_line().stops.compile_only() && state.output_given && counted > 1) {
    fatal_error(current_location,
                _("cannot specify %<-o%> with %<-c%>, %<-S%> or %<-E%> with multiple files"));
  }
  progress.combined_inputs = combined;
  return true;
}

namespace {

// Which default output a compile-only run without -o writes into the
// current directory: the input's base name with ".s" under -S, with ".o"
// under -c; null when the run writes none (-E, also from a self spec,
// -fsyntax-only, a link).
const char* default_output_suffix(const DriverState& state) {
  if (state.output_given || state.preprocess_only) return nullptr;
  const StopOptions& stops = command_line().stops;
  if (stops.syntax_only) return nullptr;
  if (stops.assemble) return ".s";
  return stops.compile ? ".o" : nullptr;
}

// Whether COMPILER writes the default output of SUFFIX.  An input that is
// assembly already is not compiled under -S: the assembler's specs run
// nothing for it, or only the preprocessor onto standard output.  A header
// compiles to a precompiled header, never to an object.
bool writes_default_output(const CompilerEntry& compiler, const char* suffix) {
  std::string_view language = compiler.suffix;
  if (std::strcmp(suffix, ".s") == 0) return !language.starts_with("@assembler");
  return !language.ends_with("-header");
}

}  // namespace

// The specs check every output word they make, but only when the command
// that writes it is built, after the commands before it (the compiler proper
// before the assembler) have run.  A default output that is one of the
// inputs, as l1.o compiled with -x lto, is refused here, before any child
// runs.
void CompilerDriver::refuse_default_outputs_over_inputs(const DriverState& state) {
  const char* suffix = default_output_suffix(state);
  if (suffix == nullptr) return;
  InputList& inputs = command_line().inputs;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (inputs[i].compiler == nullptr || !writes_default_output(*inputs[i].compiler, suffix)) {
      continue;
    }
    select_input(static_cast<int>(i), nullptr);
    const CurrentInput& current = compile_progress().input;
    std::string output(current.basename, current.base_length);
    output += suffix;
    if (const char* input = input_overwritten_by(output.c_str())) {
      fatal_error(current_location, _("input file %qs is the same as output file"), input);
    }
  }
}

void CompilerDriver::do_spec_on_infiles(const DriverState& state) {
  InputList& inputs = command_line().inputs;
  CompileProgress& progress = compile_progress();
  refuse_default_outputs_over_inputs(state);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    InputFile& input = inputs[i];
    select_input(static_cast<int>(i), nullptr);
    if (input.compiled) continue;  // a combined run took it
    progress.outputs[i] = input.name;
    const CompilerEntry* compiler = compiler_for(input, state.preprocess_only);
    input.compiler = compiler;
    progress.input.compiler = compiler;
    bool ok = true;
    if (compiler == nullptr) {
      explicit_link_inputs_[i] = 1;
    } else {
      ok = compile_input(&input, compiler);
    }
    if (!ok) {
      // Only this input's outputs go; earlier inputs keep theirs.
      remove_failure_files();
      count_silent_error();
    }
    forget_failure_files();
  }
  // Link specs name their files after the first input that is compiled.
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (inputs[i].compiler != nullptr || !is_linker_item(inputs[i])) {
      select_input(static_cast<int>(i), inputs[i].compiler);
      break;
    }
  }
  if (!errors_seen()) progress.input.index = static_cast<int>(inputs.size());
}

}  // namespace vorn
