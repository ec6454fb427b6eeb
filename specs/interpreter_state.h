// What the spec interpreter keeps while it builds words and commands: the
// word under construction and its flags, the command's words, the
// temporary names made so far.  Defined apart from the interpreter's
// helpers (specs/spec_state.h) only so that the run's state
// (specs/run_specs.h) can hold it; not part of the public interface.
#ifndef VORN_SPECS_INTERPRETER_STATE_H
#define VORN_SPECS_INTERPRETER_STATE_H

#include <cstddef>
#include <string>
#include <vector>

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

}  // namespace vorn

#endif  // VORN_SPECS_INTERPRETER_STATE_H
