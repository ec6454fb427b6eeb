// The interpreter's state and the helpers shared by the files that
// implement escapes, words, temporary names, response files, groups and
// functions.  Not part of the public interface.
#ifndef VORN_SPECS_SPEC_STATE_H
#define VORN_SPECS_SPEC_STATE_H

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "specs/run_specs.h"
#include "specs/spec_hooks.h"
#include "specs/switches.h"

namespace vorn {

// The interpreter's state of the current run.  Reached for every character
// the interpreter copies: one load through the run's binding.
inline SpecState& spec_state() {
  return run_specs().interpreter;
}

inline const OptionsRecord* spec_options() {
  return command_line().options;
}
bool pipes_in_force();
bool verbose_in_force();

// Adds TEXT to the current word without starting it.
inline void append_to_word(const char* text) {
  spec_state().word.append(text);
}
inline void append_to_word(const char* text, std::size_t length) {
  spec_state().word.append(text, length);
}

// Whether a switch TEXT is NAME (STARRED: starts with NAME).  Reads TEXT
// only as far as NAME goes: this runs for every switch and every atom.
inline bool switch_text_matches(const char* text, std::string_view name, bool starred) {
  // Most switches differ from the name in their first character.
  if (!name.empty() && text[0] != name[0]) return false;
  if (std::strncmp(text, name.data(), name.size()) != 0) return false;
  return starred || text[name.size()] == '\0';
}

// Clears the library-file, linker-script and output-file flags, the
// delete mode and the word's file, as a blank does.
void clear_word_flags();

// Interprets TEXT literally and then one blank: TEXT becomes a word of its
// own (an empty TEXT an empty word).
int store_separate_word(const char* text);

// The text after "%" + letter that names a temporary: handles "%g", "%u",
// "%U", "%j" and the fall-back of "%m" and "%|".  P is just after the
// letter; returns the position after what was consumed.
const char* expand_temp_name(const char* spec, const char* p, char letter);

// "%b" and "%B".  P is just after the letter; returns the position after
// what was consumed (a dump suffix that had to become a temporary's).
const char* expand_base_name(bool with_suffix, const char* p);

// Opens a response file for the words stored from now on ("%@{", "%i",
// "%o" under argument files).
void open_response_file();

// "%D" and "%I".
void expand_library_directories();
void expand_include_options();

// "%i" and "%o".
void expand_inputs();
void expand_outputs();

// Quotes TEXT so that the interpreter reads it back as one literal word:
// quote_spec_text, and an empty text becomes the empty-word escape.
std::string quote_spec_word(const char* text);

}  // namespace vorn

#endif  // VORN_SPECS_SPEC_STATE_H
