// The prefixes added while the specs are set up, after command-line
// processing has added the -B, environment and installation prefixes.
#include <cstring>
#include <string>

#include "config.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"

namespace vorn {
namespace {

// Fixed when the driver is configured, so the branches on it cost nothing.
constexpr bool kNativeCompiler = config::kCrossCompile[0] == '0' && config::kCrossCompile[1] == '\0';

void add_binutils_startfile_prefix(const char* word, void*) {
  add_search_prefix_under_sysroot(word, "BINUTILS");
}

}  // namespace

void add_md_exec_prefix() {
  const char* prefix = spec_text(SpecId::kMdExecPrefix);
  if (!kNativeCompiler || prefix[0] == '\0') return;
  add_search_prefix(&search_paths().exec_prefixes, prefix, "VORN", kPrefixPriorityOther,
                    kPrefixPlain, false);
}

void add_standard_startfile_prefixes(const char* exec_prefix_env, SpecWordExpander expand_words) {
  const char* prefix_spec = spec_text(SpecId::kStartfilePrefixSpec);
  if (prefix_spec[0] != '\0' && expand_words != nullptr &&
      expand_words(prefix_spec, add_binutils_startfile_prefix, nullptr)) {
    return;
  }
  SearchPaths& paths = search_paths();
  if (!kNativeCompiler && paths.target_system_root == nullptr) return;

  const char* md_prefix = spec_text(SpecId::kMdStartfilePrefix);
  if (md_prefix[0] != '\0') add_search_prefix_under_sysroot(md_prefix, "VORN");
  const char* md_prefix_1 = spec_text(SpecId::kMdStartfilePrefix1);
  if (md_prefix_1[0] != '\0') add_search_prefix_under_sysroot(md_prefix_1, "VORN");

  if constexpr (kNativeCompiler) {
    std::string libraries = exec_prefix_env != nullptr ? exec_prefix_env : config::kExecPrefix;
    libraries += paths.machine_suffix;
    libraries += "../../../";
    add_search_prefix(&paths.startfile_prefixes, libraries.c_str(), nullptr, kPrefixPriorityOther,
                      kPrefixPlain, true);
  }
  add_search_prefix_under_sysroot("/lib/", "BINUTILS");
  add_search_prefix_under_sysroot("/usr/lib/", "BINUTILS");
}

}  // namespace vorn
