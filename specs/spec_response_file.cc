// Response files: words collected while one is open are written to a file,
// one per line and quoted so that the @file reader reads the same words
// back, and the command gets "@FILE" instead.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "diagnostics/diagnostic.h"
#include "specs/spec_interpreter.h"
#include "specs/spec_state.h"
#include "support/memory.h"

namespace vorn {
namespace {

// The escaping the @file reader undoes.
std::string quote_response_word(const char* word) {
  if (*word == '\0') return "\"\"";
  return backslash_escape(word, " \t\n\v\f\r'\"\\");
}

// Under save-temps the file is kept, named after the dump base or
// directory; otherwise it is a temporary.
const char* response_file_name() {
  const CommandLine& line = command_line();
  int number = spec_state().response_file_count++;
  if (line.save_temps == SaveTempsMode::kNone) return spec_hooks().new_temp_name("");
  std::string name;
  bool after_dash = false;
  if (line.dump_base != nullptr && *line.dump_base != '\0') {
    name = line.dump_base;
  } else if (line.dump_dir != nullptr && *line.dump_dir != '\0') {
    name = line.dump_dir;
    after_dash = line.dump_dir_trailing_dash;
  } else {
    name = "a";
  }
  name += after_dash ? "args." : ".args.";
  name += std::to_string(number);
  return xstrdup(name.c_str());
}

void write_words(const char* name, const std::vector<const char*>& words) {
  std::FILE* file = std::fopen(name, "w");
  if (file == nullptr) {
    fatal_error(current_location, "could not open temporary response file %s", name);
  }
  for (const char* word : words) {
    std::string line = quote_response_word(word);
    line.push_back('\n');
    if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) {
      std::fclose(file);
      fatal_error(current_location, "could not write to temporary response file %s", name);
    }
  }
  if (std::fclose(file) != 0) {
    fatal_error(current_location, "could not close temporary response file %s", name);
  }
}

}  // namespace

void open_response_file() {
  SpecState& state = spec_state();
  if (state.response_file_open) fatal_error(current_location, "cannot open nested response file");
  state.response_file_open = true;
}

void write_response_file() {
  SpecState& state = spec_state();
  if (!state.response_file_open) {
    fatal_error(current_location, "cannot close nonexistent response file");
  }
  state.response_file_open = false;
  if (state.response_words.empty()) return;
  const char* name = response_file_name();
  write_words(name, state.response_words);
  state.response_words.clear();
  std::string argument = "@";
  argument += name;
  store_argument(xstrdup(argument.c_str()));
  if (command_line().save_temps == SaveTempsMode::kNone) {
    spec_hooks().register_temp_file(name, true, true);
  }
}

}  // namespace vorn
