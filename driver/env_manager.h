// The one path by which the driver reads and exports environment variables,
// and the variables it exports to the programs it runs.
#ifndef VORN_DRIVER_ENV_MANAGER_H
#define VORN_DRIVER_ENV_MANAGER_H

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

class EnvManager {
 public:
  // RECORD_FOR_RESTORE keeps the previous value of every variable that
  // xput changes; TRACE prints every call on standard error.
  void init(bool record_for_restore, bool trace);

  // The process environment's value of NAME, or null.
  const char* getenv(const char* name);

  // Puts STRING ("NAME=VALUE", kept for the rest of the process) into the
  // environment; echoed on standard error under -v.
  void xput(const char* string);

  // Sets every recorded variable back, newest change first, and forgets
  // the records.
  void restore();

  bool record_for_restore() const { return record_for_restore_; }
  bool trace() const { return trace_; }

 private:
  struct Saved {
    char* name;
    char* value;  // null: was unset
  };
  bool record_for_restore_ = false;
  bool trace_ = false;
  std::vector<Saved> saved_;
};

// The run's instance is env_manager() (driver/run_driver.h).

// The last export of COLLECT_VORN_OPTIONS and what it was made from: the
// switch table (its entries and their texts never change while its
// revision stays), which switches were left out, and the dump directory.
// Specs run a command at a time, mostly over the same switches; then the
// same string is handed to the environment again.
struct LastCollectExport {
  std::uint64_t revision = 0;  // no table has revision 0
  std::vector<bool> left_out;
  bool has_dump_dir = false;
  std::string dump_dir;
  const char* text = nullptr;  // "COLLECT_VORN_OPTIONS=" and the value
};

// setenv, whose failure (it cannot allocate) is the out-of-memory exit:
// children must never run without a variable the driver meant to give them.
void set_environment_variable(const char* name, const char* value, bool replace);

// "VORN_EXEC_PREFIX=" EXEC_PREFIX, only when that variable is unset and
// EXEC_PREFIX is not null.
void export_exec_prefix(const char* exec_prefix);

// "COLLECT_AS_OPTIONS=" with every assembler option in single quotes,
// unescaped, when command_line().assembler_options is not empty.
void export_assembler_options();

// "COLLECT_VORN=" ARGV0.
void export_driver_name(const char* argv0);

// Unless compiling only: finds lto-runner through the program prefixes,
// quotes it as spec text (quote_spec_text) for the "lto_runner" spec, and
// exports "COLLECT_LTO_RUNNER=" with the path, blanks and tabs escaped.
void export_lto_runner();

// "OFFLOAD_TARGET_NAMES=" TARGETS when TARGETS is set and not empty.  The
// caller owns (and frees) TARGETS.
void export_offload_targets(const char* targets);

// The value of COLLECT_VORN_OPTIONS for the current switch table and dump
// directory, and its export before each command.
std::string collect_options_value();
void export_collect_options();

// "COMPILER_PATH=" and "LIBRARY_PATH=" from the program and startfile
// prefixes, before the link step.
void export_link_paths();

// 'TEXT' with every single quote written '\'' (the COLLECT_VORN_OPTIONS
// quoting) appended to OUT.
void append_collect_quoted(std::string* out, const char* text);

}  // namespace vorn

#endif  // VORN_DRIVER_ENV_MANAGER_H
