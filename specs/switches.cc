// The switch table, the input list and the current input.
#include "specs/switches.h"

#include <cstring>

#include "specs/run_specs.h"
#include "support/base_name.h"
#include "support/memory.h"

namespace vorn {

CommandSwitch& SwitchTable::record(const char* option_text, std::size_t argument_count,
                                   const char* const* arguments, bool validated, bool known) {
  CommandSwitch entry{};
  entry.text = option_text + 1;
  if (argument_count > 0) {
    auto** copy = static_cast<const char**>(xmalloc((argument_count + 1) * sizeof(const char*)));
    for (std::size_t i = 0; i < argument_count; ++i) copy[i] = arguments[i];
    copy[argument_count] = nullptr;
    entry.arguments = copy;
  }
  entry.validated = validated;
  entry.known = known;
  return append(entry);
}

InputFile& InputList::add(const char* name, const char* language) {
  InputFile entry{};
  entry.name = name;
  entry.language = language;
  return append(entry);
}

CommandLine& command_line() {
  return run_specs().command_line;
}

CompileProgress& compile_progress() {
  return run_specs().compile_progress;
}

void split_input_name(const char* name, CurrentInput* input) {
  input->name = name;
  input->name_length = std::strlen(name);
  input->basename = base_name(name);
  input->basename_length = std::strlen(input->basename);
  // The suffix follows the last "."; a "." that starts the base name (as in
  // ".profile") begins no suffix.
  const char* dot = std::strrchr(input->basename, '.');
  if (dot != nullptr && dot != input->basename) {
    input->base_length = static_cast<std::size_t>(dot - input->basename);
    input->suffix = dot + 1;
  } else {
    input->base_length = input->basename_length;
    input->suffix = "";
  }
}

void select_input(int index, const CompilerEntry* compiler) {
  CurrentInput& input = compile_progress().input;
  input = CurrentInput{};
  input.compiler = compiler;
  const InputList& inputs = command_line().inputs;
  if (index < 0 || static_cast<std::size_t>(index) >= inputs.size()) return;
  input.index = index;
  split_input_name(inputs[index].name, &input);
}

}  // namespace vorn
