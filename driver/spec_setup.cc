#include "driver/spec_setup.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/command_line.h"
#include "driver/driver.h"
#include "driver/run_driver.h"
#include "options/decode.h"
#include "options/option_codes.h"
#include "options/option_table.h"
#include "specs/compilers_table.h"
#include "specs/multilib.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/spec_groups.h"
#include "specs/spec_interpreter.h"
#include "specs/specs_file.h"
#include "support/memory.h"

namespace vorn {
namespace {

// The one word that SPEC expands to, or null for none; more than one is
// reported with MESSAGE.
const char* expand_to_one_word(const char* spec, const char* message) {
  if (expand_spec(spec, nullptr) < 0) return nullptr;
  const std::vector<const char*>& words = spec_arguments();
  if (words.size() > 1) {
    report_error(message);
    return nullptr;
  }
  return words.empty() ? nullptr : xstrdup(words[0]);
}

bool expand_words(const char* spec, void (*word)(const char* text, void* data), void* data) {
  if (expand_spec(spec, nullptr) < 0) return false;
  std::vector<const char*> words = spec_arguments();
  for (const char* w : words) word(w, data);
  return true;
}

void load_main_specs() {
  const bool verbose = verbose_flag();
  char* specs = locate_file(&search_paths().startfile_prefixes, "specs", R_OK, true);
  // The first specs of the run: only -dumpspecs installs any earlier, and
  // it ends the run there.
  if (specs != nullptr && std::strcmp(specs, "specs") != 0) {
    load_specs_file(specs, true, false, verbose);
  } else {
    install_default_specs(verbose);
  }
  std::string target_specs =
      std::string(config::kExecPrefix) + search_paths().target_suffix + "specs";
  if (access(target_specs.c_str(), R_OK) == 0) {
    load_specs_file(xstrdup(target_specs.c_str()), true, false, verbose);
  }
}

// --no-sysroot-suffix turns off both suffixes: the sysroot's and the
// headers'.
void set_sysroot_suffixes() {
  SearchPaths& paths = search_paths();
  const bool suffixes = !driver_state().options.x_no_sysroot_suffix;
  const char* suffix_spec = spec_text(SpecId::kSysrootSuffixSpec);
  if (suffix_spec[0] != '\0' && suffixes) {
    const char* word = expand_to_one_word(
        suffix_spec, _("spec failure: more than one argument to %<SYSROOT_SUFFIX_SPEC%>"));
    if (word != nullptr) paths.target_sysroot_suffix = word;
  }
  if (paths.target_system_root != nullptr) {
    std::string link = std::string("%(sysroot_spec) ") + spec_text(SpecId::kLink);
    NamedSpec* spec = find_named_spec("link");
    define_spec("link", link.c_str(), spec != nullptr && spec->user);
  }
  const char* headers_spec = spec_text(SpecId::kSysrootHdrsSuffixSpec);
  if (headers_spec[0] != '\0' && suffixes) {
    const char* word = expand_to_one_word(
        headers_spec, _("spec failure: more than one argument to %<SYSROOT_HEADERS_SUFFIX_SPEC%>"));
    if (word != nullptr) command_line().sysroot_headers_suffix = word;
  }
}

void load_user_specs() {
  for (const char* name : driver_state().user_specs_files) {
    char* found = locate_file(&search_paths().startfile_prefixes, name, R_OK, true);
    load_specs_file(found != nullptr ? found : name, false, true, verbose_flag());
  }
}

// The second compilation of -fcompare-debug runs with its own switches,
// made by a self spec from a copy of the first run's.
void prepare_compare_debug() {
  CommandLine& line = command_line();
  if (!line.compare_debug.active()) return;
  const bool second_run = driver_state().compare_debug_second;
  SwitchTable first;
  if (!second_run) first = line.switches;
  line.compare_debug.switch_compilation();
  SaveTempsMode save_temps = line.save_temps;
  line.save_temps = SaveTempsMode::kNone;
  expand_self_spec("%:compare-debug-self-opt()");
  line.save_temps = save_temps;
  if (second_run) return;
  line.compare_debug.switch_compilation();
  compare_debug_switches() = line.switches;
  line.switches = first;
}

}  // namespace

SwitchTable& compare_debug_switches() {
  return run_driver().compare_debug_switches;
}

void expand_self_spec(const char* spec) {
  if (expand_spec(spec, nullptr) < 0) return;
  for (CommandSwitch& sw : command_line().switches) {
    if (sw.liveness & kSwitchIgnored) sw.liveness |= kSwitchIgnoredForGood;
  }
  const std::vector<const char*>& words = spec_arguments();
  if (words.empty()) return;

  // Decoding wants a program name in front.
  std::vector<const char*> argv;
  argv.push_back("");
  for (const char* word : words) argv.push_back(xstrdup(word));
  argv.push_back(nullptr);
  DecodedOption* decoded = nullptr;
  std::size_t count = 0;
  decode_options_to_array(argv.size() - 1, argv.data(), kFlagDriver, &decoded, &count);

  set_self_spec_mode(true);
  for (std::size_t i = 1; i < count; ++i) {
    if (decoded[i].index == INPUT_FILE_ENTRY) {
      const char* word = decoded[i].argument;
      if (std::strcmp(word, "-") == 0) {
        fatal_error(current_location, _("spec-generated switch is just %<-%>"));
      }
      fatal_error(current_location, _("switch %qs does not start with %<-%>"), word);
    }
    apply_driver_option(&decoded[i]);
  }
  set_self_spec_mode(false);
  // The decoded records point into the arena, not into this array.
  std::free(decoded);
}

void prepare_specs(std::size_t count, const DecodedOption* options) {
  process_command(count, options);
  install_compilers_table();
  compute_search_suffixes();
  load_main_specs();
  for (const char* self_spec : kDriverSelfSpecs) expand_self_spec(self_spec);
  add_md_exec_prefix();
  set_sysroot_suffixes();
  add_standard_startfile_prefixes(command_line().exec_prefix_from_env, expand_words);
  load_user_specs();
  const char* user_self_spec = spec_text(SpecId::kSelfSpec);
  if (user_self_spec[0] != '\0') expand_self_spec(user_self_spec);
  prepare_compare_debug();
  CommandLine& line = command_line();
  if (line.exec_prefix_from_env != nullptr) {
    std::string prefix = std::string(line.exec_prefix_from_env) + config::kTargetMachine + "/" +
                         driver_state().compiler_version + "/";
    line.exec_prefix_from_env = xstrdup(prefix.c_str());
  }
  validate_switches_in_all_specs();
  select_multilib();
}

}  // namespace vorn
