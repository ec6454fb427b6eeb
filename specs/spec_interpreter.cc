// The main loop of the spec interpreter and the dispatch of its escapes.
#include "specs/spec_interpreter.h"

#include <cstring>
#include <string>
#include <string_view>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/run_specs.h"
#include "specs/spec_functions.h"
#include "specs/spec_groups.h"
#include "specs/spec_state.h"
#include "support/char_class.h"
#include "support/memory.h"

namespace vorn {
namespace {

// Real specs nest a few dozen levels at most; far deeper nesting means a
// named spec that reaches itself, or hostile text, and would otherwise end
// in a stack overflow.
constexpr int kMaxSpecNesting = 1000;

// The names of the named specs being expanded, innermost last, so that the
// nesting error can say which spec runs away.
std::vector<const char*>& named_spec_stack() {
  return run_specs().named_spec_stack;
}

class NestingGuard {
 public:
  explicit NestingGuard(const char* spec) {
    SpecState& state = spec_state();
    if (++state.nesting_depth > kMaxSpecNesting) {
      const auto& names = named_spec_stack();
      if (!names.empty()) {
        fatal_error(current_location,
                    "spec %qs nests more than %d levels deep; does it expand itself?", names.back(),
                    kMaxSpecNesting);
      }
      fatal_error(current_location, "spec %qs nests more than %d levels deep", spec,
                  kMaxSpecNesting);
    }
  }
  ~NestingGuard() { --spec_state().nesting_depth; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;
};

// Where one interpretation stands while an escape is handled.
struct Cursor {
  const char* spec;       // the whole text, for messages
  const char* p;          // the next character to read
  const char* remainder;  // what "%*" inserts; null outside a match
  int status;
  bool stop;  // end this interpretation, returning `status`
};

// Expands TEXT as a nested spec; a failure ends the caller.  A named
// spec's text can be replaced while it is being expanded (a "%:include"
// inside it may read a specs file that redefines it); the old text stays
// readable, since every text a spec ever had is kept until the end of the
// run (keep_spec_text), so it is read in place.
void expand_nested(Cursor& cursor, const char* text) {
  int status = do_spec_1(text, false, nullptr);
  if (status != 0) {
    cursor.status = status;
    cursor.stop = true;
  }
}

void fail(Cursor& cursor) {
  cursor.status = -1;
  cursor.stop = true;
}

template <SpecId kId>
void expand_builtin(Cursor& cursor) {
  expand_nested(cursor, spec_text(kId));
}

void escape_percent(Cursor&) {
  append_to_word("%");
}

void escape_empty_word(Cursor&) {
  if (spec_state().word_started) finish_argument();
  store_argument(xstrdup(""));
}

void escape_named_spec(Cursor& cursor) {
  const char* close = std::strchr(cursor.p, ')');
  std::size_t length =
      close != nullptr ? static_cast<std::size_t>(close - cursor.p) : std::strlen(cursor.p);
  std::string_view name(cursor.p, length);
  cursor.p += length;
  if (close != nullptr) {
    ++cursor.p;
  } else {
    cursor.stop = true;
  }
  NamedSpec* spec = find_named_spec(name);
  if (spec == nullptr) return;
  named_spec_stack().push_back(spec->name);
  expand_nested(cursor, spec->text());
  named_spec_stack().pop_back();
}

void escape_star(Cursor& cursor) {
  if (cursor.remainder == nullptr) {
    report_error("spec failure: %<%%*%> has not been initialized by pattern match");
    return;
  }
  if (*cursor.remainder != '\0') do_spec_1(cursor.remainder, true, nullptr);
  if (*cursor.p == '}' || *cursor.p == '\0') do_spec_1(" ", false, nullptr);
}

void escape_suffix_substitution(Cursor& cursor) {
  const char* end = cursor.p;
  while (*end != '\0' && *end != '%' && *end != ' ') ++end;
  std::string suffix = ".";
  suffix.append(cursor.p, end);
  spec_state().suffix_substitution = xstrdup(suffix.c_str());
  cursor.p = end;
}

void escape_cpp(Cursor& cursor) {
  const CompilerEntry* compiler = compile_progress().input.compiler;
  if (compiler != nullptr && compiler->cpp_spec != nullptr) {
    expand_nested(cursor, compiler->cpp_spec);
  } else {
    expand_nested(cursor, spec_text(SpecId::kCpp));
  }
}

void escape_function(Cursor& cursor) {
  const char* after = call_spec_function(cursor.p, nullptr, cursor.remainder);
  if (after == nullptr) {
    fail(cursor);
    return;
  }
  cursor.p = after;
}

// "%<S" and "%>S": the switches named by S are never copied again.
void remove_switches(Cursor& cursor, bool keep_for_driver) {
  const char* end = cursor.p;
  while (*end != '\0' && *end != ' ' && *end != '\t') ++end;
  std::string_view name(cursor.p, static_cast<std::size_t>(end - cursor.p));
  cursor.p = end;
  bool starred = !name.empty() && name.back() == '*';
  if (starred) name.remove_suffix(1);
  for (CommandSwitch& sw : command_line().switches) {
    if (!switch_text_matches(sw.text, name, starred)) continue;
    sw.liveness |= kSwitchIgnored;
    if (keep_for_driver) sw.liveness |= kSwitchKeepForDriver;
    if (sw.known) sw.validated = true;
  }
}

void escape_remove(Cursor& cursor) {
  remove_switches(cursor, false);
}
void escape_remove_keep(Cursor& cursor) {
  remove_switches(cursor, true);
}

void escape_response_group(Cursor& cursor) {
  char next = *cursor.p;
  if (next != '{')
    fatal_error(current_location, "spec %qs has invalid %<%%@%c%>", cursor.spec, next);
  if (!command_line().argument_files_supplied) {
    const char* after = handle_group(cursor.p + 1);
    if (after == nullptr) return fail(cursor);
    cursor.p = after;
    return;
  }
  open_response_file();
  const char* after = handle_group(cursor.p + 1);
  write_response_file();
  if (after == nullptr) return fail(cursor);
  cursor.p = after;
}

void escape_base(Cursor& cursor) {
  cursor.p = expand_base_name(false, cursor.p);
}
void escape_base_with_suffix(Cursor& cursor) {
  cursor.p = expand_base_name(true, cursor.p);
}
void escape_library_dirs(Cursor&) {
  expand_library_directories();
}
void escape_delete(Cursor&) {
  spec_state().delete_mode = kDeleteMarked;
}
void escape_include_options(Cursor&) {
  expand_include_options();
}
void escape_inputs(Cursor&) {
  expand_inputs();
}
void escape_outputs(Cursor&) {
  expand_outputs();
}
void escape_library_file(Cursor&) {
  spec_state().library_file = true;
}
void escape_linker_script(Cursor&) {
  spec_state().linker_script = true;
}
void escape_output_file(Cursor&) {
  spec_state().output_file = true;
}

// The text up to the next newline (not included) or the end.
std::string line_text(Cursor& cursor) {
  const char* end = std::strchr(cursor.p, '\n');
  if (end == nullptr) end = cursor.p + std::strlen(cursor.p);
  std::string text(cursor.p, end);
  cursor.p = end;
  return text;
}

void escape_error(Cursor& cursor) {
  std::string text = line_text(cursor);
  report_error("%s", _(text.c_str()));
  fail(cursor);
}

void escape_note(Cursor& cursor) {
  std::string text = line_text(cursor);
  if (*cursor.p == '\n') ++cursor.p;
  inform(current_location, "%s", _(text.c_str()));
}

void escape_temp(Cursor& cursor) {
  char letter = cursor.p[-1];
  cursor.p = expand_temp_name(cursor.spec, cursor.p, letter);
}

// Under -pipe, "%m" and "%|" name no file: their suffix and a following
// "%O" are skipped.
constexpr AsciiClass kTempSuffixChars(".");

const char* skip_temp_suffix(const char* p) {
  while (kTempSuffixChars.contains(*p)) ++p;
  if (p[0] == '%' && p[1] == 'O') p += 2;
  return p;
}

void escape_pipe_input(Cursor& cursor) {
  if (!pipes_in_force()) return escape_temp(cursor);
  cursor.p = skip_temp_suffix(cursor.p);
}

void escape_pipe_output(Cursor& cursor) {
  if (!pipes_in_force()) return escape_temp(cursor);
  SpecState& state = spec_state();
  append_to_word("-");
  state.delete_mode = kDeleteNone;
  state.word_started = true;
  cursor.p = skip_temp_suffix(cursor.p);
}

void escape_os_multilib(Cursor&) {
  const char* dir = search_paths().multilib_os_dir;
  append_to_word(dir != nullptr ? dir : ".");
}

void escape_object_suffix(Cursor&) {
  append_to_word(".o");
  spec_state().word_started = true;
}

void escape_sysroot(Cursor&) {
  const SearchPaths& paths = search_paths();
  if (paths.target_system_root == nullptr) return;
  append_to_word(paths.target_system_root);
  if (paths.target_sysroot_suffix != nullptr) append_to_word(paths.target_sysroot_suffix);
}

void escape_drop_output(Cursor&) {
  CompileProgress& progress = compile_progress();
  int index = progress.input.index;
  if (index >= 0 && static_cast<std::size_t>(index) < progress.outputs.size()) {
    progress.outputs[index] = nullptr;
  }
}

void escape_output_group(Cursor& cursor) {
  char next = *cursor.p;
  if (next != '{')
    fatal_error(current_location, "spec %qs has invalid %<%%W%c%>", cursor.spec, next);
  SpecState& state = spec_state();
  std::size_t before = state.arguments.size();
  const char* after = handle_group(cursor.p + 1);
  if (after == nullptr) return fail(cursor);
  cursor.p = after;
  if (state.word_started) finish_argument();
  if (state.arguments.size() > before) {
    spec_hooks().register_temp_file(state.arguments.back(), false, true);
  }
}

void store_option_list(const std::vector<const char*>& options) {
  for (const char* option : options) store_separate_word(option);
}

void escape_linker_options(Cursor&) {
  store_option_list(command_line().linker_options);
}
void escape_assembler_options(Cursor&) {
  store_option_list(command_line().assembler_options);
}
void escape_preprocessor_options(Cursor&) {
  store_option_list(command_line().preprocessor_options);
}

void escape_linker_option(Cursor& cursor) {
  char next = *cursor.p;
  if (next != '{')
    fatal_error(current_location, "spec %qs has invalid %<%%x%c%>", cursor.spec, next);
  const char* start = cursor.p + 1;
  const char* close = std::strchr(start, '}');
  std::size_t length =
      close != nullptr ? static_cast<std::size_t>(close - start) : std::strlen(start);
  std::string_view option(start, length);
  std::vector<const char*>& list = command_line().linker_options;
  for (const char* known : list) {
    if (option == known) {
      // Already passed once: the rest of this spec is not interpreted.
      cursor.status = 0;
      cursor.stop = true;
      return;
    }
  }
  list.push_back(xstrndup(start, length));
  cursor.p = close != nullptr ? close + 1 : start + length;
}

void escape_group(Cursor& cursor) {
  const char* after = handle_group(cursor.p);
  if (after == nullptr) return fail(cursor);
  cursor.p = after;
}

void escape_unknown(Cursor& cursor) {
  report_error("spec failure: unrecognized spec option %qc", cursor.p[-1]);
}

// The escape after "%": a switch rather than a table of handlers, so that
// the dispatch needs no pointers the loader would have to relocate.
void run_escape(unsigned char letter, Cursor& cursor) {
  switch (letter) {
    case '%':
      return escape_percent(cursor);
    case '"':
      return escape_empty_word(cursor);
    case '(':
      return escape_named_spec(cursor);
    case '*':
      return escape_star(cursor);
    case '.':
      return escape_suffix_substitution(cursor);
    case '1':
      return expand_builtin<SpecId::kCfe1>(cursor);
    case '2':
      return expand_builtin<SpecId::kCxxfe1>(cursor);
    case ':':
      return escape_function(cursor);
    case '<':
      return escape_remove(cursor);
    case '>':
      return escape_remove_keep(cursor);
    case '@':
      return escape_response_group(cursor);
    case 'A':
      return expand_builtin<SpecId::kAsmFinal>(cursor);
    case 'a':
      return expand_builtin<SpecId::kAsm>(cursor);
    case 'B':
      return escape_base_with_suffix(cursor);
    case 'b':
      return escape_base(cursor);
    case 'C':
      return escape_cpp(cursor);
    case 'D':
      return escape_library_dirs(cursor);
    case 'd':
      return escape_delete(cursor);
    case 'E':
      return expand_builtin<SpecId::kEndfile>(cursor);
    case 'e':
      return escape_error(cursor);
    case 'G':
      return expand_builtin<SpecId::kLibvorn>(cursor);
    case 'g':
    case 'u':
    case 'U':
    case 'j':
      return escape_temp(cursor);
    case 'I':
      return escape_include_options(cursor);
    case 'i':
      return escape_inputs(cursor);
    case 'L':
      return expand_builtin<SpecId::kLib>(cursor);
    case 'l':
      return expand_builtin<SpecId::kLink>(cursor);
    case 'M':
      return escape_os_multilib(cursor);
    case 'm':
      return escape_pipe_input(cursor);
    case 'n':
      return escape_note(cursor);
    case 'O':
      return escape_object_suffix(cursor);
    case 'o':
      return escape_outputs(cursor);
    case 'R':
      return escape_sysroot(cursor);
    case 'S':
      return expand_builtin<SpecId::kStartfile>(cursor);
    case 's':
      return escape_library_file(cursor);
    case 'T':
      return escape_linker_script(cursor);
    case 'V':
      return escape_drop_output(cursor);
    case 'W':
      return escape_output_group(cursor);
    case 'w':
      return escape_output_file(cursor);
    case 'X':
      return escape_linker_options(cursor);
    case 'x':
      return escape_linker_option(cursor);
    case 'Y':
      return escape_assembler_options(cursor);
    case 'Z':
      return escape_preprocessor_options(cursor);
    case '{':
      return escape_group(cursor);
    case '|':
      return escape_pipe_output(cursor);
    default:
      return escape_unknown(cursor);
  }
}

// A newline ends the command: it runs unless the last word is "|" and pipes
// are in force, in which case the pipeline goes on with the next line.
// Returns the execution status.
int end_command_at_newline() {
  SpecState& state = spec_state();
  if (state.word_started) finish_argument();
  if (!state.arguments.empty() && std::strcmp(state.arguments.back(), "|") == 0) {
    if (pipes_in_force()) return 0;
    state.arguments.pop_back();
  }
  spec_hooks().export_collect_options();
  if (!state.arguments.empty()) {
    int status = spec_hooks().execute(state.arguments);
    if (status != 0) return status;
  }
  state.arguments.clear();
  state.response_words.clear();
  state.word_started = false;
  clear_word_flags();
  return 0;
}

void append_char_and_start(char c) {
  SpecState& state = spec_state();
  state.word.push_back(c);
  state.word_started = true;
}

}  // namespace

int do_spec_1(const char* spec, bool literal, const char* matched_remainder) {
  SpecState& state = spec_state();
  if (literal) {
    state.word.append(spec);
    state.word_started = true;
    return 0;
  }
  NestingGuard guard(spec);
  Cursor cursor{spec, spec, matched_remainder, 0, false};
  while (*cursor.p != '\0') {
    char c = *cursor.p++;
    switch (c) {
      case ' ':
      case '\t':
        if (state.word_started) finish_argument();
        clear_word_flags();
        break;
      case '\n': {
        int status = end_command_at_newline();
        if (status != 0) return status;
        break;
      }
      case '\\':
        if (*cursor.p != '\0') state.word.push_back(*cursor.p++);
        state.word_started = true;
        break;
      case '|':
        if (state.word_started) finish_argument();
        append_char_and_start('|');
        break;
      case '%': {
        unsigned char letter = static_cast<unsigned char>(*cursor.p);
        if (letter == '\0') fatal_error(current_location, "spec %qs invalid", spec);
        ++cursor.p;
        run_escape(letter, cursor);
        if (cursor.stop) return cursor.status;
        break;
      }
      case '=':
        // Written by the spec: an option word's file may start after it.
        append_char_and_start(c);
        state.word_file.after_equals = state.word.size();
        break;
      default:
        append_char_and_start(c);
        break;
    }
  }
  if (state.function_depth > 0 && state.word_started) finish_argument();
  return 0;
}

// The characters the main loop of do_spec_1 does not simply append.
std::string quote_spec_text(const char* text) {
  return backslash_escape(text, " \t\n%\\|");
}

int expand_spec(const char* spec, const char* matched_remainder) {
  SpecState& state = spec_state();
  state.arguments.clear();
  state.response_words.clear();
  state.word.clear();
  state.word_started = false;
  clear_word_flags();
  state.suffix_substitution = nullptr;
  int status = do_spec_1(spec, false, matched_remainder);
  if (state.word_started) finish_argument();
  return status;
}

int run_spec(const char* spec) {
  int status = expand_spec(spec, nullptr);
  if (status != 0) return status;
  SpecState& state = spec_state();
  if (!state.arguments.empty() && std::strcmp(state.arguments.back(), "|") == 0) {
    state.arguments.pop_back();
  }
  spec_hooks().export_collect_options();
  if (state.arguments.empty()) return 0;
  return spec_hooks().execute(state.arguments);
}

const std::vector<const char*>& spec_arguments() {
  return spec_state().arguments;
}

int spec_function_depth() {
  return spec_state().function_depth;
}

}  // namespace vorn
