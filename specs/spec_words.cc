// Finishing and storing words, and the escapes that store whole lists of
// words: inputs, outputs, library directories and include options.
#include <unistd.h>

#include <cstring>
#include <string>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "specs/input_identity.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/spec_interpreter.h"
#include "specs/spec_state.h"
#include "support/memory.h"

namespace vorn {
namespace {

char* locate_library_file(const char* name) {
  return locate_file(&search_paths().startfile_prefixes, name, R_OK, true);
}

void set_current_output(const char* name) {
  CompileProgress& progress = compile_progress();
  int index = progress.input.index;
  if (index < 0) return;
  if (static_cast<std::size_t>(index) >= progress.outputs.size()) {
    progress.outputs.resize(static_cast<std::size_t>(index) + 1, nullptr);
  }
  progress.outputs[index] = name;
}

// "." names no multilib directory.
const char* multilib_dir() {
  const char* dir = search_paths().multilib_dir;
  return dir != nullptr && std::strcmp(dir, ".") != 0 ? dir : nullptr;
}

void store_option_pair(const char* option, const char* value) {
  store_separate_word(option);
  store_separate_word(value);
}

// An output named by the specs ("%w"), such as the default "-o x.o" of a
// compile-only run, must not be one of the inputs: the compilation would
// destroy what it reads.  The command that would write it has not run.
void refuse_input_as_output(const char* output) {
  if (const char* input = input_overwritten_by(output)) {
    fatal_error(current_location, _("input file %qs is the same as output file"), input);
  }
}

// The file WORD names (see WordFile); a word that a search replaced names
// the file found.
const char* file_named_by(const char* word, std::size_t after_equals, bool replaced) {
  const SpecState& state = spec_state();
  // A generated name always comes with the file it names.
  if (state.delete_mode == kDeleteTemporary) return state.word_file.temporary;
  if (replaced || word[0] != '-' || after_equals == WordFile::kNoEquals) return word;
  return word + after_equals;
}

}  // namespace

void finish_argument() {
  SpecState& state = spec_state();
  char* word = xstrdup(state.word.c_str());
  state.word.clear();
  std::size_t after_equals = state.word_file.after_equals;
  state.word_file.after_equals = WordFile::kNoEquals;
  bool replaced = false;
  if (state.library_file) {
    if (char* found = locate_library_file(word)) {
      word = found;
      replaced = true;
    }
  }
  if (state.linker_script) {
    char* found = locate_library_file(word);
    if (found == nullptr) {
      report_error("unable to locate default linker script %qs in the library search paths", word);
      state.word_started = false;
      return;
    }
    store_argument("--script");
    word = found;
    replaced = true;
  }
  if (state.output_file) refuse_input_as_output(word);
  store_argument(word, file_named_by(word, after_equals, replaced),
                 state.delete_mode != kDeleteNone, state.output_file);
  if (state.output_file) set_current_output(word);
  state.word_started = false;
}

void store_argument(const char* text, const char* file, bool delete_always,
                    bool delete_on_failure) {
  SpecState& state = spec_state();
  if (state.response_file_open) {
    state.response_words.push_back(text);
  } else {
    state.arguments.push_back(text);
  }
  if (!delete_always && !delete_on_failure) return;
  spec_hooks().register_temp_file(file != nullptr ? file : text, delete_always, delete_on_failure);
}

void expand_inputs() {
  SpecState& state = spec_state();
  CompileProgress& progress = compile_progress();
  if (!progress.combined_inputs) {
    if (progress.input.name == nullptr) return;
    append_to_word(progress.input.name);
    state.word_started = true;
    return;
  }
  bool to_file = command_line().argument_files_supplied;
  if (to_file) open_response_file();
  for (InputFile& input : command_line().inputs) {
    if (is_linker_item(input)) continue;
    if (input.compiler != progress.input.compiler) continue;
    store_argument(input.name);
    input.compiled = true;
  }
  if (to_file) write_response_file();
}

void expand_outputs() {
  bool to_file = command_line().argument_files_supplied;
  if (to_file) open_response_file();
  for (const char* output : compile_progress().outputs) {
    if (output != nullptr) store_argument(output);
  }
  if (to_file) write_response_file();
}

void expand_library_directories() {
  auto visit = [](char* path, void*) -> void* {
    if (!is_search_directory(path, true)) return nullptr;
    std::string word = "-L";
    word.append(path);
    // "/" keeps its slash: a bare "-L" would take the next word as its
    // directory.
    if (word.size() > 3 && word.back() == '/') word.pop_back();
    store_separate_word(word.c_str());
    return nullptr;
  };
  visit_search_paths(&search_paths().startfile_prefixes, true, 0, visit, nullptr);
}

namespace {

struct FixedIncludeWalk {
  const char* first;   // appended to each prefix first ("include-fixed/x")
  const char* second;  // then this one, or null
};

void* visit_include_dir(char* path, void*) {
  std::size_t length = std::strlen(path);
  std::strcpy(path + length, "include");
  if (is_search_directory(path, false)) store_option_pair("-isystem", xstrdup(path));
  path[length] = '\0';
  return nullptr;
}

void* visit_fixed_include_dir(char* path, void* data) {
  const auto* walk = static_cast<const FixedIncludeWalk*>(data);
  std::size_t length = std::strlen(path);
  for (const char* tail : {walk->first, walk->second}) {
    if (tail == nullptr) continue;
    std::strcpy(path + length, tail);
    if (is_search_directory(path, false)) store_option_pair("-isystem", xstrdup(path));
    path[length] = '\0';
  }
  return nullptr;
}

}  // namespace

void expand_include_options() {
  const SearchPaths& paths = search_paths();
  const CommandLine& line = command_line();
  if (const char* dir = multilib_dir()) store_option_pair("-imultilib", dir);
  if (paths.multiarch_dir != nullptr) store_option_pair("-imultiarch", paths.multiarch_dir);
  if (line.exec_prefix_from_env != nullptr) {
    store_option_pair("-iprefix", line.exec_prefix_from_env);
  }
  const char* sysroot = paths.target_system_root;
  if (sysroot != nullptr && (line.sysroot_changed || line.sysroot_headers_suffix != nullptr)) {
    std::string root = sysroot;
    if (line.sysroot_headers_suffix != nullptr) root += line.sysroot_headers_suffix;
    store_option_pair("-isysroot", xstrdup(root.c_str()));
  }
  const PrefixList* includes = &paths.include_prefixes;
  visit_search_paths(includes, false, sizeof "include", visit_include_dir, nullptr);

  std::string first = "include-fixed";
  const char* second = nullptr;
  const char* hdrs_suffix_spec = spec_text(SpecId::kSysrootHdrsSuffixSpec);
  if (*hdrs_suffix_spec != '\0') {
    if (const char* dir = multilib_dir()) first = first + "/" + dir;
  } else if (paths.multiarch_dir != nullptr) {
    first = first + "/" + paths.multiarch_dir;
    second = "include-fixed";
  }
  FixedIncludeWalk walk{first.c_str(), second};
  std::size_t extra = first.size() + sizeof "include-fixed";
  visit_search_paths(includes, false, extra, visit_fixed_include_dir, &walk);
}

}  // namespace vorn
