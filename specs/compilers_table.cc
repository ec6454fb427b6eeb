// The run's compilers table and language selection for an input.
#include "specs/compilers_table.h"

#include <cstring>
#include <deque>
#include <optional>
#include <string>

#include "diagnostics/diagnostic.h"
#include "specs/run_specs.h"

namespace vorn {

CompilersTable::CompilersTable()
    : entries(builtin_compiler_entries(), builtin_compiler_entries() + kBuiltinCompilerCount) {}

namespace {

CompilersTable& state() {
  std::optional<CompilersTable>& table = run_specs().compilers;
  if (!table) table.emplace();
  return *table;
}

std::deque<CompilerEntry>& table() {
  return state().entries;
}

const char* keep(const char* text) {
  return state().texts.emplace_back(text).c_str();
}

const CompilerEntry* find_language_entry(const char* language) {
  const std::deque<CompilerEntry>& entries = table();
  for (std::size_t i = entries.size(); i-- > 0;) {
    const char* key = entries[i].suffix;
    if (key[0] == '@' && std::strcmp(key + 1, language) == 0) return &entries[i];
  }
  return nullptr;
}

// The key "-" fits only standard input; any other key fits a longer name
// that ends with it.
bool key_fits(const char* key, const char* name, std::size_t length) {
  if (std::strcmp(key, "-") == 0) return length == 1 && name[0] == '-';
  std::size_t key_length = std::strlen(key);
  return key_length < length && std::memcmp(name + length - key_length, key, key_length) == 0;
}

const CompilerEntry* find_by_language(const char* name, std::size_t length, const char* language,
                                      bool preprocess_only) {
  if (language[0] == '*') return nullptr;  // a linker input
  const CompilerEntry* entry = find_language_entry(language);
  if (entry == nullptr) {
    report_error("language %s not recognized", language);
    return nullptr;
  }
  bool is_stdin = length == 1 && name[0] == '-';
  bool is_header = std::strcmp(entry->suffix, "@c-header") == 0 ||
                   std::strcmp(entry->suffix, "@c++-header") == 0;
  if (is_stdin && is_header && !preprocess_only) {
    fatal_error(current_location, "cannot use %<-%> as input filename for a precompiled header");
  }
  return entry;
}

}  // namespace

void install_compilers_table() {
  table().assign(builtin_compiler_entries(), builtin_compiler_entries() + kBuiltinCompilerCount);
  state().texts.clear();
}

void add_compiler_entry(const char* key, const char* spec) {
  table().push_back(CompilerEntry{keep(key), keep(spec), nullptr, 0, 0});
}

const std::deque<CompilerEntry>& compilers_table() {
  return table();
}

const CompilerEntry* find_compiler_entry(const char* name, std::size_t length, const char* language,
                                         bool preprocess_only) {
  if (language != nullptr) return find_by_language(name, length, language, preprocess_only);

  const std::deque<CompilerEntry>& entries = table();
  const CompilerEntry* entry = nullptr;
  for (std::size_t i = entries.size(); i-- > 0;) {
    if (key_fits(entries[i].suffix, name, length)) {
      entry = &entries[i];
      break;
    }
  }
  if (entry == nullptr || entry->spec[0] != '@') return entry;
  if (entry->spec[1] == '*') return nullptr;
  const CompilerEntry* target = find_language_entry(entry->spec + 1);
  if (target == nullptr) report_error("language %s not recognized", entry->spec + 1);
  return target;
}

}  // namespace vorn
