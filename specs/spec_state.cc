// The interpreter's hooks and small helpers shared by the escape
// implementations.
#include "specs/spec_state.h"

#include <cstring>

#include "diagnostics/diagnostic.h"
#include "options/options_record.h"
#include "specs/spec_interpreter.h"

namespace vorn {
namespace {

// Used until the driver installs its own: running a command or making a
// temporary file before that is a bug of the caller.  It holds nothing, so
// one object serves every run.
class UnsetSpecHooks final : public SpecHooks {
 public:
  int execute(const std::vector<const char*>&) override {
    internal_error("command executed before the spec hooks were installed");
  }
  const char* new_temp_name(const char*) override {
    internal_error("temporary file requested before the spec hooks were installed");
  }
  void register_temp_file(const char*, bool, bool) override {}
};

constinit UnsetSpecHooks unset_hooks;

}  // namespace

SpecHooks* set_spec_hooks(SpecHooks* hooks) {
  SpecHooks*& installed = run_specs().hooks;
  SpecHooks* previous = installed;
  installed = hooks;
  return previous;
}

SpecHooks& spec_hooks() {
  SpecHooks* installed = run_specs().hooks;
  return installed != nullptr ? *installed : unset_hooks;
}

bool pipes_in_force() {
  const OptionsRecord* options = spec_options();
  return options != nullptr && options->x_use_pipes != 0;
}

bool verbose_in_force() {
  const OptionsRecord* options = spec_options();
  return options != nullptr && options->x_verbose_flag != 0;
}

void clear_word_flags() {
  SpecState& state = spec_state();
  state.library_file = false;
  state.linker_script = false;
  state.output_file = false;
  state.delete_mode = kDeleteNone;
  state.word_file = WordFile{};
}

int store_separate_word(const char* text) {
  do_spec_1(text, true, nullptr);
  return do_spec_1(" ", false, nullptr);
}

std::string backslash_escape(const char* text, const char* special) {
  // Whole runs without a special character are copied at once: the paths
  // quoted at start-up rarely hold one.
  std::string quoted;
  quoted.reserve(std::strlen(text));
  for (const char* p = text;;) {
    std::size_t run = std::strcspn(p, special);
    quoted.append(p, run);
    p += run;
    if (*p == '\0') return quoted;
    quoted.push_back('\\');
    quoted.push_back(*p++);
  }
}

std::string quote_spec_word(const char* text) {
  if (*text == '\0') return "%\"";
  return quote_spec_text(text);
}

}  // namespace vorn
