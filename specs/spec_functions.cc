// The spec-function table and the functions that test the environment,
// files and sanitizers, edit the output list and read specs files.
#include "specs/spec_functions.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "options/options_record.h"
#include "specs/prefixes.h"
#include "specs/spec_function_handlers.h"
#include "specs/spec_interpreter.h"
#include "specs/spec_state.h"
#include "specs/specs_file.h"
#include "support/memory.h"
#include "support/standard_output.h"

namespace vorn {
namespace {

// The function at INDEX in search order (searched by exact name); a null
// name past the last.  A switch rather than a table of pointers: the table
// would need relocating each time the driver is loaded.
SpecFunction spec_function_at(std::size_t index) {
  switch (index) {
    case 0:
      return {"getenv", spec_functions::getenv_function};
    case 1:
      return {"if-exists", spec_functions::if_exists};
    case 2:
      return {"if-exists-else", spec_functions::if_exists_else};
    case 3:
      return {"if-exists-then-else", spec_functions::if_exists_then_else};
    case 4:
      return {"sanitize", spec_functions::sanitize};
    case 5:
      return {"replace-outfile", spec_functions::replace_outfile};
    case 6:
      return {"remove-outfile", spec_functions::remove_outfile};
    case 7:
      return {"version-compare", spec_functions::version_compare};
    case 8:
      return {"include", spec_functions::include};
    case 9:
      return {"find-file", spec_functions::find_file};
    case 10:
      return {"find-plugindir", spec_functions::find_plugindir};
    case 11:
      return {"print-asm-header", spec_functions::print_asm_header};
    case 12:
      return {"compare-debug-dump-opt", spec_functions::compare_debug_dump_opt};
    case 13:
      return {"compare-debug-self-opt", spec_functions::compare_debug_self_opt};
    case 14:
      return {"pass-through-libs", spec_functions::pass_through_libs};
    case 15:
      return {"dumps", spec_functions::dumps};
    case 16:
      return {"gt", spec_functions::greater_than};
    case 17:
      return {"debug-level-gt", spec_functions::debug_level_greater};
    case 18:
      return {"dwarf-version-gt", spec_functions::dwarf_version_greater};
    case 19:
      return {"fortran-preinclude-file", spec_functions::fortran_preinclude_file};
    case 20:
      return {"local_cpu_detect", spec_functions::local_cpu_detect};
    case 21:
      return {"rewrite_mcpu", spec_functions::rewrite_mcpu};
  }
  return {nullptr, nullptr};
}

// A file name as the result text of a function: the result is interpreted,
// and a name found on disk may hold "%", backslashes or blanks.
const char* quoted_file(const char* file) {
  return xstrdup(quote_spec_text(file).c_str());
}

bool absolute_and_readable(const char* file) {
  return file[0] == '/' && access(file, R_OK) == 0;
}

const PrefixList* startfile_prefixes() {
  return &search_paths().startfile_prefixes;
}

void require_arguments(int argc, int expected, const char* function) {
  if (argc != expected) {
    internal_error("spec function %qs called with %d arguments instead of %d", function, argc,
                   expected);
  }
}

}  // namespace

std::optional<SpecFunction> find_spec_function(std::string_view name) {
  for (std::size_t i = 0;; ++i) {
    SpecFunction function = spec_function_at(i);
    if (function.name == nullptr) return std::nullopt;
    if (name == function.name) return function;
  }
}

namespace spec_functions {

// Every character of the value is escaped, so that the value stays one
// literal word when the result is interpreted.
const char* getenv_function(int argc, const char** argv) {
  if (argc != 2) return nullptr;
  const char* value = spec_hooks().get_environment(argv[0]);
  if (value == nullptr) {
    if (!command_line().undefined_variables_allowed) {
      fatal_error(current_location, "environment variable %qs not defined", argv[0]);
    }
    std::string result = "/";
    result += argv[0];
    return xstrdup(result.c_str());
  }
  std::string result;
  for (const char* p = value; *p != '\0'; ++p) {
    result.push_back('\\');
    result.push_back(*p);
  }
  result += argv[1];
  return xstrdup(result.c_str());
}

const char* if_exists(int argc, const char** argv) {
  if (argc != 1) return nullptr;
  return absolute_and_readable(argv[0]) ? quoted_file(argv[0]) : nullptr;
}

const char* if_exists_else(int argc, const char** argv) {
  if (argc != 2) return nullptr;
  // ELSE is the spec's own text, interpreted again like the results of
  // if-exists-then-else; only a file found on disk needs quoting.
  return absolute_and_readable(argv[0]) ? quoted_file(argv[0]) : argv[1];
}

const char* if_exists_then_else(int argc, const char** argv) {
  if (argc != 2 && argc != 3) return nullptr;
  if (absolute_and_readable(argv[0])) return argv[1];
  return argc == 3 ? argv[2] : nullptr;
}

const char* sanitize(int argc, const char** argv) {
  if (argc != 1) return nullptr;
  // The driver decodes its options before any spec is expanded.
  const OptionsRecord& options = *spec_options();
  std::int64_t flags = options.x_sanitize_flags;
  std::int64_t trap = options.x_sanitize_trap_flags;
  std::string_view kind(argv[0]);
  bool enabled;
  if (kind == "address") {
    enabled = (flags & 0x2) != 0;
  } else if (kind == "hwaddress") {
    enabled = (flags & 0x20000000) != 0;
  } else if (kind == "kernel-address") {
    enabled = (flags & 0x4) != 0;
  } else if (kind == "kernel-hwaddress") {
    enabled = (flags & 0x40000000) != 0;
  } else if (kind == "thread") {
    enabled = (flags & 0x8) != 0;
  } else if (kind == "undefined") {
    enabled = (flags & ~trap & 0x3FFFFE0) != 0;
  } else if (kind == "leak") {
    enabled = (flags & 0x10) != 0 && (flags & (0x1 | 0x8)) == 0;
  } else {
    return nullptr;
  }
  return enabled ? "" : nullptr;
}

const char* replace_outfile(int argc, const char** argv) {
  require_arguments(argc, 2, "replace-outfile");
  for (const char*& output : compile_progress().outputs) {
    if (output != nullptr && std::strcmp(output, argv[0]) == 0) output = xstrdup(argv[1]);
  }
  return nullptr;
}

const char* remove_outfile(int argc, const char** argv) {
  require_arguments(argc, 1, "remove-outfile");
  for (const char*& output : compile_progress().outputs) {
    if (output != nullptr && std::strcmp(output, argv[0]) == 0) output = nullptr;
  }
  return nullptr;
}

const char* include(int argc, const char** argv) {
  require_arguments(argc, 1, "include");
  const char* path = locate_file(startfile_prefixes(), argv[0], R_OK, true);
  load_specs_file(path != nullptr ? path : argv[0], false, false, verbose_in_force());
  return nullptr;
}

const char* find_file(int argc, const char** argv) {
  require_arguments(argc, 1, "find-file");
  if (argv[0][0] == '/') return quoted_file(argv[0]);
  const char* found = locate_file(startfile_prefixes(), argv[0], R_OK, true);
  return quoted_file(found != nullptr ? found : argv[0]);
}

const char* find_plugindir(int argc, const char**) {
  require_arguments(argc, 0, "find-plugindir");
  const char* found = locate_file(startfile_prefixes(), "plugin", R_OK, true);
  std::string result = "-iplugindir=";
  result += found != nullptr ? quote_spec_text(found) : "plugin";
  return xstrdup(result.c_str());
}

const char* print_asm_header(int argc, const char**) {
  require_arguments(argc, 0, "print-asm-header");
  std::fputs(_("Assembler options\n=================\n\n"), stdout);
  std::fputs(_("Use \"-Wa,OPTION\" to pass \"OPTION\" to the assembler.\n\n"), stdout);
  flush_standard_output();
  return nullptr;
}

namespace {

std::string with_slash(const char* dir) {
  std::string result = dir;
  if (result.empty() || result.back() != '/') result.push_back('/');
  return result;
}

// Where Fortran modules of this installation are kept.
std::string fortran_module_dir() {
  std::string dir = config::kExecPrefix;
  dir += config::kTargetMachine;
  dir += "/";
  dir += config::kVersion;
  dir += "/finclude/";
  return dir;
}

}  // namespace

const char* fortran_preinclude_file(int argc, const char** argv) {
  if (argc != 3) return nullptr;
  const char* option = argv[0];
  const char* file = argv[1];
  const SearchPaths& paths = search_paths();
  const char* found = locate_file(&paths.include_prefixes, file, R_OK, false);
  if (found == nullptr) {
    PrefixList extra{nullptr, 0, "fortran"};
    std::string system_dir = "/usr/include/finclude/";
    if (paths.target_system_root != nullptr) {
      const char* headers = command_line().sysroot_headers_suffix;
      system_dir =
          std::string(paths.target_system_root) + (headers != nullptr ? headers : "") + system_dir;
    }
    for (const std::string& dir : {with_slash(argv[2]), fortran_module_dir(), system_dir}) {
      add_search_prefix(&extra, xstrdup(dir.c_str()), nullptr, kPrefixPriorityOther, kPrefixPlain,
                        false);
    }
    found = locate_file(&extra, file, R_OK, false);
  }
  if (found == nullptr) return nullptr;
  std::string result = option;
  result += quote_spec_text(found);
  return xstrdup(result.c_str());
}

}  // namespace spec_functions
}  // namespace vorn
