// The environment manager and the COLLECT variables.  Exported strings are
// handed to putenv and stay owned by the environment for the rest of the
// process.
#include "driver/env_manager.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "driver/driver.h"
#include "driver/run_driver.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"
#include "support/memory.h"

extern char** environ;

namespace vorn {

namespace {

const char* or_null(const char* text) {
  return text != nullptr ? text : "(null)";
}

// putenv fails only when the environment's array of pointers cannot grow by
// one entry: an allocation failure, of that array's new size.
[[noreturn]] void environment_cannot_grow() {
  std::size_t entries = 0;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) ++entries;
  out_of_memory((entries + 2) * sizeof(char*));
}

void put_copy(const std::string& text) {
  env_manager().xput(xstrdup(text.c_str()));
}

}  // namespace

void EnvManager::init(bool record_for_restore, bool trace) {
  record_for_restore_ = record_for_restore;
  trace_ = trace;
}

const char* EnvManager::getenv(const char* name) {
  const char* value = std::getenv(name);
  if (trace_) std::fprintf(stderr, "env_manager::getenv (%s) -> %s\n", name, or_null(value));
  return value;
}

void EnvManager::xput(const char* string) {
  if (trace_) std::fprintf(stderr, "env_manager::xput (%s)\n", string);
  if (verbose_flag()) std::fprintf(stderr, "%s\n", string);
  if (record_for_restore_) {
    const char* equals = std::strchr(string, '=');
    if (equals == nullptr) internal_error("env_manager::xput: %qs has no %<=%>", string);
    char* name = xstrndup(string, static_cast<std::size_t>(equals - string));
    const char* old = std::getenv(name);
    saved_.push_back({name, old != nullptr ? xstrdup(old) : nullptr});
    if (trace_) std::fprintf(stderr, "saving old value: %s\n", or_null(old));
  }
  if (putenv(const_cast<char*>(string)) != 0) environment_cannot_grow();
}

void EnvManager::restore() {
  while (!saved_.empty()) {
    Saved& entry = saved_.back();
    if (trace_) {
      std::fprintf(stderr, "restoring saved key: %s value: %s\n", entry.name, or_null(entry.value));
    }
    if (entry.value != nullptr) {
      set_environment_variable(entry.name, entry.value, true);
    } else {
      unsetenv(entry.name);
    }
    std::free(entry.name);
    std::free(entry.value);
    saved_.pop_back();
  }
}

void set_environment_variable(const char* name, const char* value, bool replace) {
  // setenv fails only when it cannot copy NAME=VALUE or grow the array.
  if (setenv(name, value, replace ? 1 : 0) != 0) {
    out_of_memory(std::strlen(name) + std::strlen(value) + 2);
  }
}

void export_exec_prefix(const char* exec_prefix) {
  if (exec_prefix == nullptr || env_manager().getenv("VORN_EXEC_PREFIX") != nullptr) return;
  put_copy(std::string("VORN_EXEC_PREFIX=") + exec_prefix);
}

void export_assembler_options() {
  const std::vector<const char*>& options = command_line().assembler_options;
  if (options.empty()) return;
  // The reader of this variable takes the quotes as they come: a quote
  // inside an option is copied unescaped.
  std::string text = "COLLECT_AS_OPTIONS=";
  for (std::size_t i = 0; i < options.size(); ++i) {
    if (i > 0) text += ' ';
    text += '\'';
    text += options[i];
    text += '\'';
  }
  put_copy(text);
}

void export_driver_name(const char* argv0) {
  put_copy(std::string("COLLECT_VORN=") + argv0);
}

void export_lto_runner() {
  if (command_line().stops.compile_only()) return;
  char* path = locate_program("lto-runner");
  if (path == nullptr) return;
  // The path becomes spec text (a plug-in option of the link command), so
  // it is quoted as specs quote.  The variable keeps the form its readers
  // have always unescaped: a backslash before blanks and tabs only.
  define_spec("lto_runner", xstrdup(quote_spec_text(path).c_str()), false);
  put_copy(std::string("COLLECT_LTO_RUNNER=") + backslash_escape(path, " \t"));
  std::free(path);
}

void export_offload_targets(const char* targets) {
  if (targets == nullptr || *targets == '\0') return;
  put_copy(std::string("OFFLOAD_TARGET_NAMES=") + targets);
}

namespace {

// TEXT with every single quote written '\'' appended to OUT, a run of
// plain characters at a time.
void append_collect_escaped(std::string* out, const char* text) {
  for (const char* quote; (quote = std::strchr(text, '\'')) != nullptr; text = quote + 1) {
    out->append(text, static_cast<std::size_t>(quote - text));
    out->append("'\\''");
  }
  out->append(text);
}

bool left_out_of_collect(const CommandSwitch& sw) {
  return (sw.liveness & kSwitchIgnored) != 0 && (sw.liveness & kSwitchKeepForDriver) == 0;
}

void append_collect_options(std::string* value) {
  const CommandLine& line = command_line();
  bool first = true;
  for (const CommandSwitch& sw : line.switches) {
    // The blank comes before the skip test: a switch removed by specs
    // leaves its separator, and readers split on any run of blanks.
    if (!first) value->push_back(' ');
    first = false;
    if (left_out_of_collect(sw)) continue;
    // The stored text lacks its "-", which needs no escaping.
    value->append("'-");
    append_collect_escaped(value, sw.text);
    value->push_back('\'');
    if (sw.arguments != nullptr) {
      for (const char** arg = sw.arguments; *arg != nullptr; ++arg) {
        value->push_back(' ');
        append_collect_quoted(value, *arg);
      }
    }
  }
  if (line.dump_dir != nullptr) {
    if (!line.switches.empty()) value->push_back(' ');
    value->append("'-dumpdir' ");
    // The whole text: after the link preparation the counted length stops
    // before the final "." that the children must see.
    append_collect_quoted(value, line.dump_dir);
  }
}

bool still_current(const LastCollectExport& last) {
  const CommandLine& line = command_line();
  if (last.revision != line.switches.revision()) return false;
  if (last.left_out.size() != line.switches.size()) return false;
  if (last.has_dump_dir != (line.dump_dir != nullptr)) return false;
  if (line.dump_dir != nullptr && last.dump_dir != line.dump_dir) return false;
  for (std::size_t i = 0; i < line.switches.size(); ++i) {
    if (last.left_out[i] != left_out_of_collect(line.switches[i])) return false;
  }
  return true;
}

}  // namespace

void append_collect_quoted(std::string* out, const char* text) {
  out->push_back('\'');
  append_collect_escaped(out, text);
  out->push_back('\'');
}

std::string collect_options_value() {
  std::string value;
  append_collect_options(&value);
  return value;
}

void export_collect_options() {
  LastCollectExport& last = run_driver().collect_export;
  if (!still_current(last)) {
    const CommandLine& line = command_line();
    last.revision = line.switches.revision();
    last.left_out.assign(line.switches.size(), false);
    for (std::size_t i = 0; i < line.switches.size(); ++i) {
      last.left_out[i] = left_out_of_collect(line.switches[i]);
    }
    last.has_dump_dir = line.dump_dir != nullptr;
    last.dump_dir = line.dump_dir != nullptr ? line.dump_dir : "";
    std::string text = "COLLECT_VORN_OPTIONS=";
    append_collect_options(&text);
    last.text = xstrdup(text.c_str());
  }
  env_manager().xput(last.text);
}

void export_link_paths() {
  SearchPaths& paths = search_paths();
  env_manager().xput(join_search_list(&paths.exec_prefixes, "COMPILER_PATH", true, false));
  env_manager().xput(join_search_list(&paths.startfile_prefixes, "LIBRARY_PATH", true, true));
}

}  // namespace vorn
