// Search prefixes: the ordered directory lists through which the driver
// finds its sub-programs, startup files, libraries, specs files and header
// directories, and the walk that combines each prefix with the machine,
// target, multilib, operating-system and multiarch subdirectories.
#ifndef VORN_SPECS_PREFIXES_H
#define VORN_SPECS_PREFIXES_H

#include <cstddef>

namespace vorn {

// Prefixes given with -B come before every other prefix.
inline constexpr int kPrefixPriorityB = 0;
inline constexpr int kPrefixPriorityOther = 1;

// Which forms of a prefix are searched.
inline constexpr int kPrefixPlain = 0;          // the prefix itself (and subdirectories)
inline constexpr int kPrefixMachineOnly = 1;    // only prefix + machine suffix
inline constexpr int kPrefixMachineTarget = 2;  // prefix + machine suffix, prefix + target suffix

struct SearchPrefix {
  const char* prefix;  // normally ends in "/"
  SearchPrefix* next;
  int require_machine_suffix;  // kPrefixPlain, kPrefixMachineOnly or kPrefixMachineTarget
  int priority;                // lower comes first
  // The plain prefix is combined with the operating-system multilib
  // directory instead of the multilib directory.
  bool os_multilib;
};

struct PrefixList {
  SearchPrefix* first = nullptr;
  std::size_t max_length = 0;  // longest prefix stored so far
  const char* name;
};

// The run's search state.  Command-line processing fills the lists and the
// sysroot; the spec set-up fills the suffixes; multilib selection sets the
// three directories.
struct SearchPaths {
  SearchPaths();  // empty lists, the configured prefix, the C library's getenv

  PrefixList exec_prefixes{nullptr, 0, "exec"};
  PrefixList startfile_prefixes{nullptr, 0, "startfile"};
  PrefixList include_prefixes{nullptr, 0, "include"};

  // Target machine + "/" + version + "/", and target machine + "/"; empty
  // until compute_search_suffixes().
  const char* machine_suffix = "";
  const char* target_suffix = "";

  // From multilib selection; null when absent ("." also counts as absent).
  const char* multilib_dir = nullptr;
  const char* multilib_os_dir = nullptr;
  const char* multiarch_dir = nullptr;

  // The prefix that relocation replaces; starts as the configured one.
  const char* standard_prefix;

  // The sysroot (null when none) and the suffix taken from
  // "sysroot_suffix_spec" (null when none).
  const char* target_system_root = nullptr;
  const char* target_sysroot_suffix = nullptr;

  // How environment variables are read; the driver routes it through its
  // environment manager.  Defaults to the C library's getenv.
  const char* (*getenv)(const char* name);
};

// The current run's search state.
SearchPaths& search_paths();

// Sets machine_suffix and target_suffix from the configured target machine
// and version.
void compute_search_suffixes();

// Inserts PREFIX (relocated with COMPONENT, which may be null) after every
// prefix of LIST whose priority is not greater than PRIORITY.
void add_search_prefix(PrefixList* list, const char* prefix, const char* component, int priority,
                       int require_machine_suffix, bool os_multilib);

// Adds an absolute PREFIX to the startfile list below the sysroot (when one
// is set); a relative PREFIX is a fatal error.
void add_search_prefix_under_sysroot(const char* prefix, const char* component);

// Moves PATH below $<COMPONENT>_ROOT when it starts with the standard prefix,
// then tidies "dir/../" pieces whose directory does not exist.  Returns a
// new string.
char* relocate_prefix(const char* path, const char* component);

// Replaces the standard prefix with the first LENGTH characters of TEXT.
void set_standard_prefix(const char* text, std::size_t length);

// Called with each directory path of a walk, in a buffer with EXTRA bytes of
// room after the path (the callback may write there).  A non-null result
// ends the walk and is returned by visit_search_paths.
using PathVisitor = void* (*)(char* path, void* data);

void* visit_search_paths(const PrefixList* list, bool do_multilib, std::size_t extra,
                         PathVisitor callback, void* data);

// The full path of NAME found through LIST with access MODE (R_OK, X_OK,
// ...), or null.  X_OK also rejects directories.  The result is allocated.
char* locate_file(const PrefixList* list, const char* name, int mode, bool do_multilib);

// The full path of the program NAME: the configured assembler or linker for
// "as" and "ld", otherwise a search of the program list.  Null when absent.
char* locate_program(const char* name);

// VARIABLE "=" and the directories of a walk of LIST joined by ":"; with
// CHECK_DIR only existing directories.  The result is allocated.
char* join_search_list(const PrefixList* list, const char* variable, bool check_dir,
                       bool do_multilib);

// The test behind "%D" and "%I": PATH names a directory; FOR_LINKER also
// rejects the standard "/lib/" and "/usr/lib/".
bool is_search_directory(const char* path, bool for_linker);

// The prefixes added while the specs are set up, after command-line
// processing: first the "md_exec_prefix" program prefix ...
void add_md_exec_prefix();

// ... then the startfile prefixes.  EXEC_PREFIX_ENV is the installation
// prefix from VORN_EXEC_PREFIX (null when unset).  EXPAND_WORDS expands a
// spec (here "startfile_prefix_spec"); after a successful expansion it calls
// WORD for every resulting word and returns true, after an error it calls
// nothing and returns false.
using SpecWordExpander = bool (*)(const char* spec, void (*word)(const char* text, void* data),
                                  void* data);
void add_standard_startfile_prefixes(const char* exec_prefix_env, SpecWordExpander expand_words);

}  // namespace vorn

#endif  // VORN_SPECS_PREFIXES_H
