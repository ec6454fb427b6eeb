// The call mechanism of spec functions: parsing the call, expanding the
// arguments in a fresh interpreter context, and putting the caller's
// context back before the result is expanded into the caller's command.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "specs/spec_functions.h"
#include "specs/spec_interpreter.h"
#include "specs/spec_state.h"
#include "support/char_class.h"

namespace vorn {
namespace {

constexpr AsciiClass kFunctionNameChars("_-");

bool is_function_name_char(char c) {
  return kFunctionNameChars.contains(c);
}

// The caller's half-built command, set aside while the arguments expand.
struct SavedContext {
  std::string word;
  bool word_started;
  std::vector<const char*> arguments;
  std::vector<const char*> response_words;
  bool response_file_open;
  bool library_file;
  bool linker_script;
  bool output_file;
  int delete_mode;
  WordFile word_file;
  const char* suffix_substitution;
};

SavedContext save_context() {
  SpecState& state = spec_state();
  SavedContext saved{std::move(state.word),      state.word_started,
                     std::move(state.arguments), std::move(state.response_words),
                     state.response_file_open,   state.library_file,
                     state.linker_script,        state.output_file,
                     state.delete_mode,          state.word_file,
                     state.suffix_substitution};
  state.word.clear();
  state.arguments = std::vector<const char*>();
  state.arguments.reserve(10);
  state.response_words = std::vector<const char*>();
  state.response_words.reserve(10);
  // Words of the arguments belong to the function, not to a response file
  // the caller has open.
  state.response_file_open = false;
  return saved;
}

void restore_context(SavedContext& saved) {
  SpecState& state = spec_state();
  state.word = std::move(saved.word);
  state.word_started = saved.word_started;
  state.arguments = std::move(saved.arguments);
  state.response_words = std::move(saved.response_words);
  state.response_file_open = saved.response_file_open;
  state.library_file = saved.library_file;
  state.linker_script = saved.linker_script;
  state.output_file = saved.output_file;
  state.delete_mode = saved.delete_mode;
  state.word_file = saved.word_file;
  state.suffix_substitution = saved.suffix_substitution;
}

// Runs FUNCTION on the words that ARGUMENTS expands to.
const char* run_handler(const SpecFunction& function, const std::string& arguments,
                        const char* matched_remainder) {
  SavedContext saved = save_context();
  if (expand_spec(arguments.c_str(), matched_remainder) != 0) {
    fatal_error(current_location, "error in arguments to spec function %qs", function.name);
  }
  std::vector<const char*> argv = spec_state().arguments;
  int argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
  const char* result = function.handler(argc, argv.data());
  restore_context(saved);
  return result;
}

struct DepthGuard {
  DepthGuard() { ++spec_state().function_depth; }
  ~DepthGuard() { --spec_state().function_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

}  // namespace

const char* call_spec_function(const char* p, bool* result_present, const char* matched_remainder) {
  DepthGuard depth;
  const char* name_start = p;
  while (is_function_name_char(*p)) ++p;
  if (*p == '\0') fatal_error(current_location, "no arguments for spec function");
  if (*p != '(') fatal_error(current_location, "malformed spec function name");
  std::string name(name_start, p);
  const char* args_start = ++p;
  for (int level = 1;; ++p) {
    if (*p == '\0') fatal_error(current_location, "malformed spec function arguments");
    if (*p == '(') ++level;
    if (*p == ')' && --level == 0) break;
  }
  std::string arguments(args_start, p);
  ++p;

  const std::optional<SpecFunction> function = find_spec_function(name);
  if (!function) {
    fatal_error(current_location, "unknown spec function %qs", name.c_str());
  }
  const char* result = run_handler(*function, arguments, matched_remainder);
  if (result_present != nullptr) *result_present = result != nullptr;
  if (result != nullptr && do_spec_1(result, false, nullptr) != 0) return nullptr;
  return p;
}

}  // namespace vorn
