// The interpreter's process-wide state, shared by the files that implement
// escapes, words, temporary names, response files, groups and functions.
// Not part of the public interface.
#ifndef VORN_SPECS_SPEC_STATE_H
#define VORN_SPECS_SPEC_STATE_H

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "specs/spec_hooks.h"
#include "specs/switches.h"

namespace vorn {

// One generated temporary name, remembered so that "%g.s" names the same
// file every time and "%U.s" the file of the last "%u.s".
struct TempNameEntry {
  const char* suffix;
  int suffix_length;
  bool unique;
  const char* file_name;
  int file_name_length;
  TempNameEntry* next;
};

// 1: the word is a generated temporary name; 2: set by "%d".
enum DeleteMode { kDeleteNone = 0, kDeleteTemporary = 1, kDeleteMarked = 2 };

// The file that the word under construction names, for the deletion lists:
// the temporary made for the word when it carries one; else, for an option
// word ("-fdump-x=FILE"), the text after the last "=" of the word; else the
// whole word.  Only an "=" the spec text itself wrote splits the word: one
// that came in with a name the driver put there (an input's base name, a
// dump directory, a switch's argument, an environment value) is part of
// that name, so the output "-a=b.o" of "./-a=b.cc" is never taken for b.o.
struct WordFile {
  static constexpr std::size_t kNoEquals = static_cast<std::size_t>(-1);
  const char* temporary = nullptr;       // the generated name, with delete mode 1
  std::size_t after_equals = kNoEquals;  // just after the spec's last "="
};

struct SpecState {
  std::string word;  // the word under construction
  bool word_started = false;
  std::vector<const char*> arguments;
  std::vector<const char*> response_words;
  bool response_file_open = false;

  // Per-word flags, cleared by blanks.
  bool library_file = false;   // "%s"
  bool linker_script = false;  // "%T"
  bool output_file = false;    // "%w"
  int delete_mode = kDeleteNone;
  WordFile word_file;

  const char* suffix_substitution = nullptr;  // "%.SUFFIX"
  int function_depth = 0;                     // inside a spec function
  int nesting_depth = 0;                      // nested do_spec_1 calls

  TempNameEntry* temp_names = nullptr;
  int response_file_count = 0;
};

// One state for the process, a plain global rather than a function's
// static: the interpreter reaches it for every character it copies.
extern SpecState g_spec_state;
inline SpecState& spec_state() {
  return g_spec_state;
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
