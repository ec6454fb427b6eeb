// Temporary and dump file names ("%g", "%u", "%U", "%j", "%m", "%|") and
// the base-name escapes "%b" and "%B".
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <optional>
#include <string>

#include "diagnostics/diagnostic.h"
#include "specs/spec_state.h"
#include "support/memory.h"

namespace vorn {
namespace {

bool is_suffix_char(char c) {
  return c == '.' || std::isalnum(static_cast<unsigned char>(c)) != 0;
}

bool second_compare_debug_run() {
  return command_line().compare_debug < 0;
}

// "%j" sends output nowhere when /dev/null can take it.
bool dev_null_usable() {
  struct stat info;
  return stat("/dev/null", &info) == 0 && !S_ISDIR(info.st_mode) && access("/dev/null", W_OK) == 0;
}

// Whether NAME is the current input itself, by name or by device and inode.
bool names_current_input(const std::string& name) {
  CurrentInput& input = compile_progress().input;
  if (input.name != nullptr && name == input.name) return true;
  if (input.name == nullptr) return false;
  if (input.identity == CurrentInput::Identity::kNotYet) {
    struct stat info;
    if (stat(input.name, &info) == 0) {
      input.identity = CurrentInput::Identity::kKnown;
      input.device = info.st_dev;
      input.inode = info.st_ino;
    } else {
      input.identity = CurrentInput::Identity::kFailed;
    }
  }
  if (input.identity != CurrentInput::Identity::kKnown) return false;
  struct stat info;
  if (stat(name.c_str(), &info) != 0) return false;
  return info.st_dev == input.device && info.st_ino == input.inode;
}

// The name a save-temps run keeps the file under, or nothing when that
// name would overwrite the input.
std::optional<std::string> dump_name(const std::string& suffix) {
  const CommandLine& line = command_line();
  const CurrentInput& input = compile_progress().input;
  std::string name;
  if (line.dump_dir != nullptr) name.append(line.dump_dir, line.dump_dir_length);
  std::size_t stem_length = 0;
  if (line.output_stem_length > 0) {
    name.append(line.output_stem, line.output_stem_length);
    stem_length = line.output_stem_length;
  } else if (input.basename != nullptr) {
    name.append(input.basename, input.base_length);
    stem_length = input.base_length;
  }
  // With neither a stem nor an input (and no "-" after the directory), a
  // suffix ".s" must not leave a name that starts with ".".
  if (stem_length == 0 && !line.dump_dir_trailing_dash && !suffix.empty()) {
    name.append(suffix, 1);
  } else {
    name.append(suffix);
  }
  if (names_current_input(name)) return std::nullopt;
  return name;
}

TempNameEntry* find_temp_entry(const std::string& suffix, bool unique) {
  for (TempNameEntry* entry = spec_state().temp_names; entry != nullptr; entry = entry->next) {
    if (entry->unique == unique &&
        static_cast<std::size_t>(entry->suffix_length) == suffix.size() &&
        suffix == entry->suffix) {
      return entry;
    }
  }
  return nullptr;
}

void give_new_name(TempNameEntry* entry) {
  entry->file_name = spec_hooks().new_temp_name(entry->suffix);
  entry->file_name_length = static_cast<int>(std::strlen(entry->file_name));
}

const char* temporary_name(const std::string& suffix, char letter) {
  bool unique = letter == 'u' || letter == 'U' || letter == 'j';
  TempNameEntry* entry = find_temp_entry(suffix, unique);
  if (entry != nullptr) {
    if (letter == 'u' || letter == 'j') give_new_name(entry);
    return entry->file_name;
  }
  SpecState& state = spec_state();
  entry = new TempNameEntry{
      xstrdup(suffix.c_str()), static_cast<int>(suffix.size()), unique, nullptr, 0,
      state.temp_names};
  give_new_name(entry);
  state.temp_names = entry;
  return entry->file_name;
}

void append_and_start(const char* text, int delete_mode) {
  SpecState& state = spec_state();
  append_to_word(text);
  state.delete_mode = delete_mode;
  state.word_started = true;
}

}  // namespace

const char* expand_temp_name(const char* spec, const char* p, char letter) {
  const char* end = p;
  while (is_suffix_char(*end)) ++end;
  std::string suffix(p, end);
  p = end;
  if (p[0] == '%' && p[1] == 'O') {
    p += 2;
    if (is_suffix_char(*p)) {
      fatal_error(current_location, "spec %qs has invalid %<%%0%c%>", spec, *p);
    }
    suffix = suffix.empty() ? ".o" : suffix + ".o";
  }
  if (second_compare_debug_run()) suffix = ".gk" + suffix;

  if (letter == 'j' && command_line().save_temps == SaveTempsMode::kNone && dev_null_usable()) {
    append_and_start("/dev/null", kDeleteNone);
    return p;
  }
  if (command_line().save_temps != SaveTempsMode::kNone) {
    std::optional<std::string> name = dump_name(suffix);
    if (name) {
      append_and_start(name->c_str(), kDeleteNone);
      return p;
    }
  }
  append_and_start(temporary_name(suffix, letter), kDeleteTemporary);
  return p;
}

void expand_base_name(bool with_suffix) {
  const CommandLine& line = command_line();
  const CurrentInput& input = compile_progress().input;
  if (input.basename == nullptr || input.basename_length == 0) {
    internal_error("%qs used without a current input file", with_suffix ? "%B" : "%b");
  }
  bool stem_done = false;
  if (!spec_state().output_file) {
    if (line.dump_dir_length > 0) append_to_word(line.dump_dir, line.dump_dir_length);
    if (line.output_stem_length > 0) {
      append_to_word(line.output_stem, line.output_stem_length);
      stem_done = true;
    }
  }
  if (!stem_done) append_to_word(input.basename, input.base_length);
  if (second_compare_debug_run()) append_to_word(".gk");
  if (with_suffix) {
    append_to_word(input.basename + input.base_length, input.basename_length - input.base_length);
  }
  spec_state().word_started = true;
}

}  // namespace vorn
