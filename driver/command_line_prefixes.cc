// Where this installation is: the executable and library-executable
// prefixes found from argv[0] or VORN_EXEC_PREFIX, and the search
// prefixes that the environment and the configuration add.
#include <cstring>
#include <string>

#include "config.h"
#include "driver/command_line.h"
#include "driver/driver.h"
#include "driver/env_manager.h"
#include "driver/run_driver.h"
#include "specs/prefixes.h"
#include "support/memory.h"
#include "support/relative_prefix.h"

namespace vorn {
namespace {

constexpr char kInstallSubdir[] = "/lib/vorn/";

const char* relative_prefix(const char* program, const char* from, const char* to) {
  SymlinkMode links = driver_state().resolve_links ? SymlinkMode::kResolve : SymlinkMode::kKeep;
  std::optional<std::string> result =
      make_relative_prefix(program, from, to, links, env_manager().getenv("PATH"));
  if (!result) return nullptr;
  return xstrdup(result->c_str());
}

// Calls ADD with every directory of the ":"-separated VALUE, each ending
// in "/"; an empty element is the current directory.
template <typename Add>
void for_each_path_element(const char* value, Add add) {
  const char* start = value;
  for (const char* p = value;; ++p) {
    if (*p != ':' && *p != '\0') continue;
    std::string directory(start, static_cast<std::size_t>(p - start));
    if (directory.empty()) {
      directory = "./";
    } else if (directory.back() != '/') {
      directory += '/';
    }
    add(xstrdup(directory.c_str()));
    if (*p == '\0') break;
    start = p + 1;
  }
}

}  // namespace

void set_up_installation_prefixes(const char* argv0, const char* exec_prefix_env) {
  DriverState& state = driver_state();
  state.libexec_prefix = config::kLibexecPrefix;
  if (exec_prefix_env != nullptr) {
    state.exec_prefix = exec_prefix_env;
    std::string program = std::string(exec_prefix_env) + "vorn";
    const char* libexec =
        relative_prefix(program.c_str(), config::kExecPrefix, config::kLibexecPrefix);
    if (libexec != nullptr) state.libexec_prefix = libexec;
  } else {
    state.exec_prefix = relative_prefix(argv0, config::kBinDir, config::kExecPrefix);
    const char* libexec = relative_prefix(argv0, config::kBinDir, config::kLibexecPrefix);
    if (libexec != nullptr) state.libexec_prefix = libexec;
    // Children find the same installation.
    if (state.exec_prefix != nullptr) export_exec_prefix(state.exec_prefix);
  }

  if (state.exec_prefix == nullptr) return;
  std::size_t length = std::strlen(state.exec_prefix);
  std::size_t subdir_length = sizeof(kInstallSubdir) - 1;
  if (length > subdir_length &&
      std::strcmp(state.exec_prefix + length - subdir_length, kInstallSubdir) == 0) {
    length -= subdir_length;
  }
  set_standard_prefix(state.exec_prefix, length);
  state.standard_prefix = xstrndup(state.exec_prefix, length);
  SearchPaths& paths = search_paths();
  add_search_prefix(&paths.exec_prefixes, state.libexec_prefix, "VORN", kPrefixPriorityOther,
                    kPrefixPlain, false);
  add_search_prefix(&paths.startfile_prefixes, state.exec_prefix, "VORN", kPrefixPriorityOther,
                    kPrefixPlain, false);
}

void add_environment_path_prefixes() {
  SearchPaths& paths = search_paths();
  if (const char* value = env_manager().getenv("COMPILER_PATH")) {
    for_each_path_element(value, [&](const char* directory) {
      add_search_prefix(&paths.exec_prefixes, directory, nullptr, kPrefixPriorityOther,
                        kPrefixPlain, false);
      add_search_prefix(&paths.include_prefixes, directory, nullptr, kPrefixPriorityOther,
                        kPrefixPlain, false);
    });
  }
  // A cross compiler must not link with the host's libraries.
  if (std::strcmp(config::kCrossCompile, "0") != 0) return;
  for (const char* name : {"LIBRARY_PATH", "LPATH"}) {
    const char* value = env_manager().getenv(name);
    if (value == nullptr) continue;
    for_each_path_element(value, [&](const char* directory) {
      add_search_prefix(&paths.startfile_prefixes, directory, nullptr, kPrefixPriorityOther,
                        kPrefixPlain, true);
    });
  }
}

void add_configured_prefixes() {
  DriverState& state = driver_state();
  SearchPaths& paths = search_paths();
  if (state.exec_prefix == nullptr) {
    add_search_prefix(&paths.exec_prefixes, config::kLibexecPrefix, "VORN", kPrefixPriorityOther,
                      kPrefixMachineOnly, false);
    add_search_prefix(&paths.exec_prefixes, config::kLibexecPrefix, "BINUTILS",
                      kPrefixPriorityOther, kPrefixMachineTarget, false);
    add_search_prefix(&paths.exec_prefixes, config::kExecPrefix, "BINUTILS", kPrefixPriorityOther,
                      kPrefixMachineTarget, false);
    add_search_prefix(&paths.startfile_prefixes, config::kExecPrefix, "BINUTILS",
                      kPrefixPriorityOther, kPrefixMachineOnly, false);
  }
  // The tool directory holds the assembler and linker of the target.
  std::string tool_dir = state.exec_prefix != nullptr ? state.exec_prefix : config::kExecPrefix;
  tool_dir += config::kTargetMachine;
  tool_dir += '/';
  tool_dir += state.compiler_version != nullptr ? state.compiler_version : config::kVersion;
  tool_dir += '/';
  tool_dir += config::kToolPrefix;
  tool_dir += config::kTargetMachine;
  tool_dir += '/';
  add_search_prefix(&paths.exec_prefixes, xstrdup((tool_dir + "bin/").c_str()), "BINUTILS",
                    kPrefixPriorityOther, kPrefixPlain, false);
  add_search_prefix(&paths.startfile_prefixes, xstrdup((tool_dir + "lib/").c_str()), "BINUTILS",
                    kPrefixPriorityOther, kPrefixPlain, true);
}

}  // namespace vorn
