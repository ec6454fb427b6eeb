// The spec interpreter: expands spec text into the words of commands and
// hands each finished command to the driver (through SpecHooks).
//
// Status values: 0 success; -1 failure after a diagnostic (the caller
// abandons the command); any other value is an execution status passed up
// unchanged.
#ifndef VORN_SPECS_SPEC_INTERPRETER_H
#define VORN_SPECS_SPEC_INTERPRETER_H

#include <string>
#include <vector>

namespace vorn {

// Expands SPEC from a fresh command and executes what is left at its end
// (a final "|" word is dropped first).
int run_spec(const char* spec);

// Starts a fresh command (empty lists, cleared per-word flags and suffix
// substitution), interprets SPEC with MATCHED_REMAINDER as the text of
// "%*", and finishes a word still open at the end.  The words are then in
// spec_arguments().
int expand_spec(const char* spec, const char* matched_remainder);

// Interprets SPEC into the command being built.  LITERAL appends every
// character to the current word and does nothing else.
int do_spec_1(const char* spec, bool literal, const char* matched_remainder);

// Ends the current word: resolves "%s" and "%T" words, stores it, and
// records "%w" words as the current input's output.
void finish_argument();

// Stores TEXT as a finished word (in the open response file, if any) and
// records FILE, the file the word names, for deletion as the flags ask.
void store_argument(const char* text, const char* file = nullptr, bool delete_always = false,
                    bool delete_on_failure = false);

// Closes the open response file: writes its words, stores "@FILE".
void write_response_file();

// TEXT with a backslash before every character that interpretation reads
// specially (blank, tab, newline, "%", backslash, "|"), so that text from
// outside the specs, such as a path found on disk, put into a spec reads
// back as exactly itself and never as an escape.
std::string quote_spec_text(const char* text);

// TEXT with a backslash put before every character of SPECIAL.
std::string backslash_escape(const char* text, const char* special);

// The words of the command being built.
const std::vector<const char*>& spec_arguments();

// Above 0 while a spec function's arguments or result are being expanded;
// no command may be executed then.
int spec_function_depth();

}  // namespace vorn

#endif  // VORN_SPECS_SPEC_INTERPRETER_H
