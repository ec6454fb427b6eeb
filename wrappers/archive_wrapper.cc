// vorn-ar, vorn-nm and vorn-ranlib: run the installation's archive tool with
// the link-time-optimisation plug-in, so that archives of such objects can be
// built, listed and indexed.  Built once per tool; the build defines
// VORN_WRAPPER_TOOL (the tool run), VORN_WRAPPER_PROGRAM (this program's
// installed name) and VORN_WRAPPER_DASH_FIRST (1 for the archiver).
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "config.h"
#include "support/memory.h"
#include "support/process_runner.h"
#include "support/relative_prefix.h"
#include "wrappers/wrapper_command.h"
#include "wrappers/wrapper_prefixes.h"
#include "wrappers/wrapper_status.h"

namespace vorn {
namespace {

constexpr char kTool[] = VORN_WRAPPER_TOOL;
constexpr char kProgram[] = VORN_WRAPPER_PROGRAM;
constexpr bool kDashFirst = VORN_WRAPPER_DASH_FIRST != 0;
// The same text in all three programs: they take the archiver's arguments.
constexpr char kUsage[] = "Usage: vorn-ar [-B prefix] ar arguments ...\n";

// Where the installation really is: the configured directory, moved along
// with the program when the tree was installed or copied elsewhere.
std::string relocated(const std::string& self, const char* configured) {
  std::optional<std::string> moved = make_relative_prefix(self, config::kBinDir, configured);
  return moved ? *moved : configured;
}

// The installation's tool directory and library-executable directory go to
// TOOL_DIRS, each as one directory (an installation path may contain ":");
// the PATH directories to PATH_DIRS.
void set_up_search_lists(const char* argv0, WrapperPrefixList& tool_dirs,
                         WrapperPrefixList& path_dirs) {
  std::string self = argv0;
  if (const char* exec_prefix = std::getenv("VORN_EXEC_PREFIX")) {
    self = std::string(exec_prefix) + kProgram;
  }
  std::string exec_prefix = relocated(self, config::kExecPrefix);
  std::string libexec_prefix = relocated(self, config::kLibexecPrefix);
  std::string machine_dir = std::string(config::kTargetMachine) + "/" + config::kVersion + "/";
  std::string tool_dir_prefix = std::string(config::kToolPrefix) + config::kTargetMachine + "/";

  push_directory(tool_dirs, exec_prefix + machine_dir + tool_dir_prefix + "bin");
  push_directory(tool_dirs, libexec_prefix + machine_dir);
  env_search_dirs("PATH", path_dirs);
}

// Runs the tool at TOOL_PATH, the very file the lookup checked, and returns
// the wrapper's exit status.  The searching exec runs a tool script that
// lacks "#!" through the shell, as a shell would; given a name with a "/"
// it looks nothing up on PATH, so a candidate found in the current
// directory under a one-character prefix ("zar") goes as "./zar", or some
// other "zar" from PATH would run instead.
int run_tool(const std::string& tool_path, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  std::string executable = tool_path;
  if (executable.find('/') == std::string::npos) executable.insert(0, "./");
  std::string runner_name = "vorn-" + tool_path;
  int status = 0;
  int err = 0;
  const char* failure = pex_run_single(PEX_LAST | PEX_SEARCH, executable.c_str(), argv.data(),
                                       runner_name.c_str(), nullptr, nullptr, &status, &err);
  if (failure != nullptr) {
    std::fprintf(stderr, "Error running %s: %s\n", tool_path.c_str(), failure);
    return 1;
  }
  WrapperOutcome outcome = interpret_tool_status(tool_path, status);
  if (!outcome.message.empty()) std::fputs(outcome.message.c_str(), stderr);
  return outcome.exit_status;
}

int wrapper_main(int argc, char** argv) {
  // A program started without even a name still needs one for messages.
  const char* argv0 = argc > 0 && argv[0] != nullptr ? argv[0] : kProgram;
  set_memory_program_name(argv0);
  // Waiting for the tool needs the default, whatever the parent set: with
  // SIGCHLD ignored the tool's status is lost and a made archive would be
  // reported as a failure.
  signal(SIGCHLD, SIG_DFL);

  WrapperPrefixList tool_dirs;
  WrapperPrefixList path_dirs;
  set_up_search_lists(argv0, tool_dirs, path_dirs);

  std::vector<std::string> args(argv, argv + argc);
  if (args.empty()) args.emplace_back(argv0);
  std::string prefix;
  switch (take_prefix_option(args, prefix)) {
    case PrefixOption::kMissingArgument:
      std::fputs(kUsage, stderr);
      return 1;
    case PrefixOption::kTaken:
      push_prefix(path_dirs, prefix, true);
      push_prefix(tool_dirs, prefix, true);
      break;
    case PrefixOption::kAbsent:
      break;
  }

  std::optional<std::string> plugin = find_in_prefixes(tool_dirs, config::kLinkerPlugin, R_OK);
  if (!plugin) {
    std::fprintf(stderr, "%s: Cannot find plugin '%s'\n", argv0, config::kLinkerPlugin);
    return 1;
  }
  std::optional<std::string> tool = find_in_prefixes(tool_dirs, kTool, X_OK);
  if (!tool) tool = find_in_prefixes(path_dirs, kTool, X_OK);
  if (!tool) {
    std::fprintf(stderr, "%s: Cannot find binary '%s'\n", argv0, kTool);
    return 1;
  }
  return run_tool(*tool, build_tool_arguments(*tool, *plugin, args, kDashFirst));
}

}  // namespace
}  // namespace vorn

// The wrapper's own ending: it makes no files and leaves no child running,
// so its statuses (the tool's, or 1 after its own message) are returned
// from main; only running out of memory ends it through exit_process.
int main(int argc, char** argv) {
  return vorn::wrapper_main(argc, argv);
}
