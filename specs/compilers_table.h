// The compilers table: which spec processes an input, chosen by the input's
// suffix or by the language given with -x.
#ifndef VORN_SPECS_COMPILERS_TABLE_H
#define VORN_SPECS_COMPILERS_TABLE_H

#include <cstddef>
#include <deque>

#include "support/text_pool.h"

namespace vorn {

struct CompilerEntry {
  // A suffix with its dot (".cc"), "-" for standard input, or "@" and a
  // language ("@c++").
  const char* suffix;
  // The spec to run, "@" + language to forward a suffix, or "#" + display
  // name for a compiler that is not installed.
  const char* spec;
  // Used by "%C" instead of the named spec "cpp"; null when absent.
  const char* cpp_spec;
  // One run of the compiler may take several inputs.
  int combinable;
  int needs_preprocessing;
};

inline constexpr std::size_t kBuiltinCompilerCount = 77;
// The built-in table.  Reading an entry twice gives the same pointers: its
// texts live in one constant block, and the preprocessor spec is the
// built-in text of the named spec "cpp".
const CompilerEntry* builtin_compiler_entries();
inline const CompilerEntry& builtin_compiler_at(std::size_t index) {
  return builtin_compiler_entries()[index];
}
inline constexpr TableView<builtin_compiler_at, kBuiltinCompilerCount> kBuiltinCompilers{};

// Makes the table a copy of the built-in one (the spec set-up does this
// once; calling it again drops the entries added by specs files, and with
// them their texts).
void install_compilers_table();

// Appends an entry read from a specs file: no preprocessor spec, not
// combinable, no preprocessing.  KEY and SPEC are copied.
void add_compiler_entry(const char* key, const char* spec);

// The current table.  Entries never move, so pointers to them stay valid
// while entries are added.
const std::deque<CompilerEntry>& compilers_table();

// The entry for the input NAME (LENGTH characters) with LANGUAGE from -x
// (null when none).  PREPROCESS_ONLY tells whether -E was given.  Null when
// the input gets no compiler; an unknown language is reported.
const CompilerEntry* find_compiler_entry(const char* name, std::size_t length, const char* language,
                                         bool preprocess_only);

}  // namespace vorn

#endif  // VORN_SPECS_COMPILERS_TABLE_H
