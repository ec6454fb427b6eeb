// Temporary and dump file names ("%g", "%u", "%U", "%j", "%m", "%|") and
// the base-name escapes "%b" and "%B".
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>

#include "diagnostics/diagnostic.h"
#include "specs/input_identity.h"
#include "specs/spec_state.h"
#include "support/memory.h"
#include "support/char_class.h"

namespace vorn {
namespace {

constexpr AsciiClass kSuffixChars(".");

bool is_suffix_char(char c) {
  return kSuffixChars.contains(c);
}

bool second_compare_debug_run() {
  return command_line().compare_debug.second_compilation();
}

// "%j" sends output nowhere when /dev/null can take it.
bool dev_null_usable() {
  struct stat info;
  return stat("/dev/null", &info) == 0 && !S_ISDIR(info.st_mode) && access("/dev/null", W_OK) == 0;
}

// The name a save-temps run keeps the file under, or nothing when that
// name would overwrite an input of the run (the current one or a later
// one, under any spelling).
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
  if (input_overwritten_by(name.c_str()) != nullptr) return std::nullopt;
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
  char* suffix_copy = xstrdup(suffix.c_str());
  entry = new TempNameEntry{suffix_copy, static_cast<int>(suffix.size()), unique, nullptr, 0,
                            state.temp_names};
  give_new_name(entry);
  state.temp_names = entry;
  return entry->file_name;
}

void append_and_start(const char* text, int delete_mode) {
  SpecState& state = spec_state();
  append_to_word(text);
  state.delete_mode = delete_mode;
  state.word_file.temporary = delete_mode == kDeleteTemporary ? text : nullptr;
  state.word_started = true;
}

// Under -save-temps "%b.ii" and its kind name a kept intermediate after the
// input.  When that name is an input of the run (another input, or a link
// to one), the intermediate goes to the temporary that "%g" with the same
// suffix names instead, and the suffix after "%b" is consumed.
const char* keep_dump_off_inputs(const char* p) {
  if (command_line().save_temps == SaveTempsMode::kNone) return p;
  const char* end = p;
  while (is_suffix_char(*end)) ++end;
  if (end == p) return p;
  std::string suffix(p, end);
  SpecState& state = spec_state();
  if (input_overwritten_by((state.word + suffix).c_str()) == nullptr) return p;
  if (second_compare_debug_run()) suffix = ".gk" + suffix;
  state.word.clear();
  append_and_start(temporary_name(suffix, 'g'), kDeleteTemporary);
  return end;
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
    suffix += ".o";
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

const char* expand_base_name(bool with_suffix, const char* p) {
  const CommandLine& line = command_line();
  const CurrentInput& input = compile_progress().input;
  if (input.basename == nullptr || input.basename_length == 0) {
    internal_error("%qs used without a current input file", with_suffix ? "%B" : "%b");
  }
  SpecState& state = spec_state();
  const bool starts_word = state.word.empty();
  bool stem_done = false;
  if (!state.output_file) {
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
  state.word_started = true;
  if (!with_suffix && starts_word && !state.output_file) p = keep_dump_off_inputs(p);
  return p;
}

}  // namespace vorn
