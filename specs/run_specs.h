// The spec machinery's part of a run's state: the command line as the
// specs see it, the named specs, the compilers table, multilib, the search
// prefixes, the input index and the interpreter's state.
//
// The state types that only this module's own files read are defined here
// too; like the interpreter's state, they are not part of the public
// interface: the other modules use the functions of the module's headers.
#ifndef VORN_SPECS_RUN_SPECS_H
#define VORN_SPECS_RUN_SPECS_H

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "specs/compilers_table.h"
#include "specs/interpreter_state.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/spec_hooks.h"
#include "specs/switch_index.h"
#include "specs/switches.h"
#include "support/current_state.h"

namespace vorn {

// A file as the system knows it, whatever name reaches it.
struct FileIdentity {
  dev_t device;
  ino_t inode;
  bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
  std::size_t operator()(const FileIdentity& file) const {
    return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(file.inode) * 31 +
                                      static_cast<std::uint64_t>(file.device));
  }
};

// The inputs by name and by file.  Built once per input list (its revision
// tells when it changed), so that a run of many inputs examines each input
// once and every check stays cheap.
struct InputIndex {
  std::uint64_t revision = 0;
  std::unordered_map<std::string, const char*> names;
  std::unordered_map<FileIdentity, const char*, FileIdentityHash> files;
};

struct MultilibState {
  // The words of "multilib_defaults"; split again when the text changes.
  const char* defaults_source = nullptr;
  std::vector<std::string_view> defaults;
  // The options in force, built on the first option_in_use().
  bool used_ready = false;
  std::vector<std::string_view> used;
};

// The compilers table of the run: the built-in entries, then those of specs
// files.  Searches run from the end so that later entries hide earlier
// ones.  A deque, because inputs keep pointers to their entries while specs
// files included during the link step may still add entries.
struct CompilersTable {
  CompilersTable();  // the built-in entries
  std::deque<CompilerEntry> entries;
  // The keys and specs of added entries.
  std::deque<std::string> texts;
};

// The spec list of the run.  Its records point into it (value slots, the
// list links), so it never moves.
struct NamedSpecState {
  NamedSpecState();  // the built-in texts, the list not yet linked
  NamedSpecState(const NamedSpecState&) = delete;
  NamedSpecState& operator=(const NamedSpecState&) = delete;

  // The value slots of the built-in specs, indexed by SpecId.
  const char* slots[kStaticSpecCount];
  NamedSpec builtin[kStaticSpecCount];
  NamedSpec* head = nullptr;
  // Null until the built-in specs are installed or a specs file sets it.
  const char* link_command = nullptr;
  // The texts install_default_specs made of "link" and "libvorn": while a
  // spec still has one, its switch atoms are known from the build.
  const char* installed_link = nullptr;
  const char* installed_libvorn = nullptr;
  // The records of specs created at run time.
  std::deque<NamedSpec> created;
  // Every text allocated here.  A replaced text stays: a spec function may
  // replace a spec (through an included specs file) while that very text is
  // still being expanded, and the driver is short-lived.
  std::deque<std::string> texts;
};

// Every member is cheap to make (no allocation, no file or environment
// read): the owner is made before every run.  What costs more is made on
// its first use, as the run reaches it.
struct RunSpecs {
  CommandLine command_line;          // switches, inputs, dump naming, the options record
  CompileProgress compile_progress;  // the current input and the outputs so far
  InputIndex input_index;            // the inputs by name and file, for input_overwritten_by()
  SearchPaths search_paths;          // the prefix lists, suffixes, multilib dirs, sysroot
  std::string standard_prefix;       // the text set_standard_prefix() gave
  MultilibState multilib;            // the multilib defaults and the options in use
  // Made on first use: a deque allocates even empty, and the table starts
  // as a copy of the built-in entries.
  std::optional<CompilersTable> compilers;
  // Made on first use: it allocates and fills the built-in records.
  std::optional<NamedSpecState> named_specs;
  SpecState interpreter;                      // the word and command being built
  SpecHooks* hooks = nullptr;                 // the driver's or a test's; null: none installed
  SwitchTextIndex switch_index;               // the last position of each switch text
  std::vector<const char*> named_spec_stack;  // the named specs being expanded, innermost last
  std::vector<FileIdentity> include_stack;    // the specs files being read, outermost first
};

inline RunSpecs& run_specs() {
  return CurrentState<RunSpecs>::get();
}

}  // namespace vorn

#endif  // VORN_SPECS_RUN_SPECS_H
