// Spec functions that name dump files, drive compare-debug runs and pass
// libraries through the linker plug-in.
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "specs/spec_function_handlers.h"
#include "specs/spec_interpreter.h"
#include "specs/spec_state.h"
#include "support/memory.h"

namespace vorn::spec_functions {
namespace {

// The first word SPEC expands to; none is a bug of the built-in specs.
const char* first_word_of(const char* spec) {
  expand_spec(spec, nullptr);
  const std::vector<const char*>& words = spec_arguments();
  if (words.empty()) internal_error("%qs expanded to nothing", spec);
  return words.front();
}

// 8 bytes of /dev/urandom, or the time in milliseconds mixed with the
// process id when that fails or gives 0.
unsigned long make_random_seed() {
  unsigned long seed = 0;
  int fd = open("/dev/urandom", O_RDONLY);
  if (fd >= 0) {
    std::uint64_t bytes = 0;
    if (read(fd, &bytes, sizeof bytes) == static_cast<ssize_t>(sizeof bytes)) {
      seed = static_cast<unsigned long>(bytes);
    }
    close(fd);
  }
  if (seed == 0) {
    struct timeval now;
    gettimeofday(&now, nullptr);
    seed = static_cast<unsigned long>(now.tv_sec) * 1000 +
           static_cast<unsigned long>(now.tv_usec) / 1000;
    seed ^= static_cast<unsigned long>(getpid());
  }
  return seed;
}

}  // namespace

const char* compare_debug_dump_opt(int argc, const char**) {
  if (argc > 0) fatal_error(current_location, "too many arguments to %%:compare-debug-dump-opt");
  const CommandLine& line = command_line();
  CompileProgress& progress = compile_progress();

  // A name given with -fdump-final-insns= is used as it is; "." asks for
  // one made from the input; none at all for a temporary or dump name.
  expand_spec("%{fdump-final-insns=*:%*}", nullptr);
  const std::vector<const char*>& words = spec_arguments();
  const char* given = words.empty() ? nullptr : words.front();
  const char* name = nullptr;
  std::string option;
  if (given != nullptr && std::strcmp(given, ".") != 0) {
    if (!line.compare_debug.active()) return nullptr;
    name = given;
  } else {
    if (given == nullptr && !line.compare_debug.active()) return nullptr;
    name = given != nullptr ? first_word_of("%B.gkd")
                            : first_word_of("%{!save-temps*:%g.gkd}%{save-temps*:%B.gkd}");
    option = "-fdump-final-insns=" + quote_spec_word(name);
  }
  const bool second = line.compare_debug.second_compilation();
  progress.debug_check_dump[second ? 1 : 0] = name;

  if (!second) {
    char seed[32];
    std::snprintf(seed, sizeof seed, "%#lx", make_random_seed());
    progress.random_seed = xstrdup(seed);
  }
  if (progress.random_seed == nullptr) return option.empty() ? nullptr : xstrdup(option.c_str());
  std::string result = "%{!frandom-seed=*:-frandom-seed=";
  result += progress.random_seed;
  result += "} ";
  result += option;
  if (second) progress.random_seed = nullptr;
  return xstrdup(result.c_str());
}

const char* compare_debug_self_opt(int argc, const char**) {
  if (argc > 0) fatal_error(current_location, "too many arguments to %%:compare-debug-self-opt");
  const CommandLine& line = command_line();
  if (!line.compare_debug.second_compilation()) return nullptr;
  std::string result =
      "%<o %<MD %<MMD %<MF* %<MG %<MP %<MQ* %<MT* %<fdump-final-insns=* -w -S -o %j "
      "%{!fcompare-debug-second:-fcompare-debug-second} ";
  if (line.compare_debug_option != nullptr) result += line.compare_debug_option;
  return xstrdup(result.c_str());
}

const char* pass_through_libs(int argc, const char** argv) {
  std::string result = " ";
  for (int i = 0; i < argc; ++i) {
    const char* argument = argv[i];
    std::size_t length = std::strlen(argument);
    if (std::strncmp(argument, "-l", 2) == 0) {
      const char* library = argument + 2;
      if (*library == '\0') {
        if (i + 1 >= argc) break;
        library = argv[++i];
      }
      result += "-plugin-opt=-pass-through=-l";
      result += library;
      result += " ";
    } else if (length >= 2 && std::strcmp(argument + length - 2, ".a") == 0) {
      result += "-plugin-opt=-pass-through=";
      result += argument;
      result += " ";
    }
  }
  return xstrdup(result.c_str());
}

namespace {

// The dump-base suffix: -dumpbase-ext, or none with a -dumpbase, or the
// argument, or the input's own suffix.
std::string dump_suffix(int argc, const char** argv) {
  const CommandLine& line = command_line();
  const CurrentInput& input = compile_progress().input;
  if (line.dump_base_ext != nullptr) return line.dump_base_ext;
  if (line.dump_base != nullptr && *line.dump_base != '\0') return "";
  if (argc == 1) return argv[0];
  if (input.basename == nullptr) return "";
  return std::string(input.basename + input.base_length, input.basename_length - input.base_length);
}

std::string dump_base(const std::string& suffix, const std::string& gk) {
  const CommandLine& line = command_line();
  const CurrentInput& input = compile_progress().input;
  if (line.dump_base != nullptr && *line.dump_base != '\0') {
    std::string base = line.dump_base;
    std::size_t stem = std::min(line.output_stem_length, base.size());
    if (!gk.empty() || base.compare(stem, std::string::npos, suffix) != 0) {
      base = base.substr(0, stem) + gk + suffix;
    }
    return base;
  }
  if (line.output_stem_length > 0) {
    return std::string(line.output_stem, line.output_stem_length) + gk + suffix;
  }
  if (input.basename == nullptr) return gk + suffix;
  std::string base(input.basename, input.basename_length);
  std::string own_suffix = base.substr(input.base_length);
  if (!gk.empty() || own_suffix != suffix) base = base.substr(0, input.base_length) + gk + suffix;
  return base;
}

}  // namespace

const char* dumps(int argc, const char** argv) {
  if (argc > 1) fatal_error(current_location, "too many arguments for %%:dumps");
  const CommandLine& line = command_line();
  std::string suffix = dump_suffix(argc, argv);
  std::string gk = line.compare_debug.second_compilation() ? ".gk" : "";
  std::string result;
  if (line.dump_dir != nullptr) result += " -dumpdir " + quote_spec_word(line.dump_dir);
  result += " -dumpbase " + quote_spec_word(dump_base(suffix, gk).c_str());
  if (!suffix.empty()) result += " -dumpbase-ext " + quote_spec_word(suffix.c_str());
  return xstrdup(result.c_str());
}

}  // namespace vorn::spec_functions
