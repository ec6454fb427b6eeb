// The records the spec interpreter reads: the switch table, the input list,
// the current input with its derived name parts, the per-input output
// array, the option lists, and the command-line state that decides how
// temporary and dump files are named.  Command-line processing fills them;
// the spec machinery reads them and sets the liveness, validation and
// ordering bits of switches.
#ifndef VORN_SPECS_SWITCHES_H
#define VORN_SPECS_SWITCHES_H

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "options/option_table.h"
#include "specs/compare_debug_mode.h"
#include "support/memory.h"

namespace vorn {

struct CompilerEntry;  // specs/compilers_table.h

// Liveness bits of a CommandSwitch.  0 means "not tested yet".
inline constexpr std::uint32_t kSwitchLive = 0x1;
inline constexpr std::uint32_t kSwitchCancelled = 0x2;
inline constexpr std::uint32_t kSwitchIgnored = 0x4;
inline constexpr std::uint32_t kSwitchIgnoredForGood = 0x8;
inline constexpr std::uint32_t kSwitchKeepForDriver = 0x10;

struct CommandSwitch {
  const char* text;        // without the leading "-"; null in the end entry
  const char** arguments;  // separate arguments, null-terminated; null when none
  std::uint32_t liveness;
  bool known;      // the option machinery knows this option
  bool validated;  // a handler or a spec accepted it
  bool ordering;   // selected by a print group, not yet written out
};

struct InputFile {
  const char* name;      // null in the end entry
  const char* language;  // "-x" language; "*" for linker items; null: by suffix
  const CompilerEntry* compiler;
  bool compiled;
  bool preprocessed;
};

// A linker item (a "-l" word, an -Xlinker argument, a piece of -Wl,) goes
// to the link in its place among the inputs, and to no compiler.
inline bool is_linker_item(const InputFile& input) {
  return input.language != nullptr && input.language[0] == '*';
}

// A table grown by doubling from 16 entries whose entry after the last is
// always the end entry (all fields zero), so that code that walks to the
// end entry and code that uses the count agree at every moment.
template <typename Record>
class TerminatedTable {
 public:
  TerminatedTable() = default;
  TerminatedTable(const TerminatedTable& other) { *this = other; }
  TerminatedTable& operator=(const TerminatedTable& other);
  ~TerminatedTable();

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  Record& operator[](std::size_t index) { return data_[index]; }
  const Record& operator[](std::size_t index) const { return data_[index]; }
  Record* begin() { return data_; }
  Record* end() { return data_ + count_; }
  const Record* begin() const { return data_; }
  const Record* end() const { return data_ + count_; }
  // The entries followed by the end entry; null while nothing was added.
  const Record* data() const { return data_; }

  Record& append(const Record& record);
  void clear() { truncate(0); }
  // Drops every entry from COUNT on; the end entry follows again.
  void truncate(std::size_t count);

  // Changes whenever entries are added or dropped, and differs between
  // tables, so that indexes built over a table know when to rebuild.
  std::uint64_t revision() const { return revision_; }

 private:
  Record* data_ = nullptr;
  std::size_t count_ = 0;
  std::size_t capacity_ = 0;  // entries, the end entry included
  std::uint64_t revision_ = next_revision();

  static std::uint64_t next_revision() {
    static std::uint64_t counter = 0;
    return ++counter;
  }
};

class SwitchTable : public TerminatedTable<CommandSwitch> {
 public:
  // Records OPTION_TEXT (with its leading "-"; the stored text starts after
  // that character) with copies of its ARGUMENT_COUNT separate arguments.
  CommandSwitch& record(const char* option_text, std::size_t argument_count,
                        const char* const* arguments, bool validated, bool known);
};

class InputList : public TerminatedTable<InputFile> {
 public:
  InputFile& add(const char* name, const char* language);
};

enum class SaveTempsMode { kNone, kCwd, kObj, kDump };

// The options that stop a run before it links, as the command line gives
// them: read from the decoded options before any is applied, so that
// handlers and specs see them whatever the order; self specs do not change
// them.
struct StopOptions {
  bool compile = false;      // -c
  bool assemble = false;     // -S
  bool preprocess = false;   // -E
  bool syntax_only = false;  // -fsyntax-only
  // -c, -S or -E: the run links nothing, so the link step is not set up
  // and dumps are named after the inputs.
  bool compile_only() const { return compile || assemble || preprocess; }
};

// What command-line processing decided, as far as specs read it.  Strings
// are never owned here; they live as long as the process.
struct CommandLine {
  SwitchTable switches;
  InputList inputs;

  // -Wa, / -Xassembler, -Wp, / -Xpreprocessor, and linker options ("%x").
  std::vector<const char*> assembler_options;
  std::vector<const char*> preprocessor_options;
  std::vector<const char*> linker_options;

  // Dump naming.
  SaveTempsMode save_temps = SaveTempsMode::kNone;
  const char* dump_dir = nullptr;
  std::size_t dump_dir_length = 0;
  bool dump_dir_trailing_dash = false;  // a "-" was added after a stem
  const char* dump_base = nullptr;
  const char* dump_base_ext = nullptr;
  const char* output_stem = nullptr;
  std::size_t output_stem_length = 0;

  CompareDebugMode compare_debug;
  const char* compare_debug_option = nullptr;  // e.g. "-gtoggle"

  bool argument_files_supplied = false;      // some @file was expanded
  bool undefined_variables_allowed = false;  // %:getenv of an unset name is ok
  StopOptions stops;

  // Installation prefix from VORN_EXEC_PREFIX, or null.
  const char* exec_prefix_from_env = nullptr;

  // The sysroot itself, its suffix and the multilib directories live in
  // search_paths() (specs/prefixes.h).
  bool sysroot_changed = false;                  // --sysroot= was given
  const char* sysroot_headers_suffix = nullptr;  // from specs; null: none

  // The option variables (-pipe, debug level, DWARF version, sanitizers).
  // The driver points this at its global record; never null once set up.
  const OptionsRecord* options = nullptr;
};

// Where each input's compilation stands while the compile loop runs.
struct CurrentInput {
  int index = -1;  // into the input list; -1: none selected (link step)
  const char* name = nullptr;
  std::size_t name_length = 0;
  const char* basename = nullptr;   // last path component of the name
  std::size_t base_length = 0;      // basename length without the suffix
  std::size_t basename_length = 0;  // basename length with the suffix
  const char* suffix = "";          // after the last "."; "" when none
  const CompilerEntry* compiler = nullptr;
};

struct CompileProgress {
  CurrentInput input;
  // One slot per input, then the extra outputs of the C++ adjustments; a
  // null slot gives nothing to the link step.
  std::vector<const char*> outputs;
  // One compiler run takes every input of the current compiler ("%i").
  bool combined_inputs = false;
  // The two compare-debug dump files ("compare-debug-dump-opt").
  const char* debug_check_dump[2] = {nullptr, nullptr};
  // The random seed shared by the two compare-debug compilations.
  const char* random_seed = nullptr;
};

// TerminatedTable members.

template <typename Record>
TerminatedTable<Record>& TerminatedTable<Record>::operator=(const TerminatedTable& other) {
  if (this == &other) return *this;
  truncate(0);
  for (const Record& record : other) append(record);
  return *this;
}

template <typename Record>
TerminatedTable<Record>::~TerminatedTable() {
  std::free(data_);
}

template <typename Record>
Record& TerminatedTable<Record>::append(const Record& record) {
  if (count_ + 1 >= capacity_) {
    std::size_t capacity = capacity_ == 0 ? 16 : capacity_ * 2;
    data_ = static_cast<Record*>(xrealloc(data_, capacity * sizeof(Record)));
    capacity_ = capacity;
  }
  data_[count_] = record;
  ++count_;
  data_[count_] = Record{};
  revision_ = next_revision();
  return data_[count_ - 1];
}

template <typename Record>
void TerminatedTable<Record>::truncate(std::size_t count) {
  if (count >= count_) return;
  count_ = count;
  data_[count_] = Record{};
  revision_ = next_revision();
}

// The current run's command line and compile progress (specs/run_specs.h).
CommandLine& command_line();
CompileProgress& compile_progress();

// Makes input INDEX current: derives its name parts and takes COMPILER (may
// be null).  INDEX -1 (or an
// INDEX past the list) selects no input, as for the link step.
void select_input(int index, const CompilerEntry* compiler);

// Derives the name parts of NAME into INPUT (index and compiler untouched).
void split_input_name(const char* name, CurrentInput* input);

}  // namespace vorn

#endif  // VORN_SPECS_SWITCHES_H
