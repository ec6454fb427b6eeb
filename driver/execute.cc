// Command execution.  The vector that specs built is split into the
// commands of one pipeline, each program is looked up through the program
// prefixes, and the children's statuses are turned into the driver's
// messages and exit-status bookkeeping.
#include "driver/execute.h"

#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diagnostics/diagnostic.h"
#include "diagnostics/locale_and_quotes.h"
#include "driver/driver.h"
#include "driver/run_driver.h"
#include "specs/prefixes.h"
#include "specs/spec_interpreter.h"
#include "support/memory.h"
#include "support/process_runner.h"

namespace vorn {

namespace {

ExecutionCounters& counters() {
  return run_driver().execution;
}

// One command of the pipeline: a slice of the vector ended by a null entry.
struct Command {
  const char* written;  // the program as the spec wrote it
  char** argv;
  char* resolved;  // the full path found by the program search, or null
};

bool is_shell_safe(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.' || c == '/';
}

bool needs_time_file_quotes(const char* text) {
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '"' || *p == '\\' || *p == '$' || *p == ' ' || (*p >= '\t' && *p <= '\r'))
      return true;
  }
  return false;
}

// Double quotes with a backslash before each double quote, backslash and
// dollar sign: what a shell reads back as the same word.  The bytes of TEXT
// before FIRST_UNSAFE are known to need no backslash.
void append_shell_quoted(std::string* out, const char* text, const char* first_unsafe) {
  out->push_back('"');
  // A run of plain characters at a time.
  const char* run = text;
  const char* p = first_unsafe;
  for (; *p != '\0'; ++p) {
    if (*p == '"' || *p == '\\' || *p == '$') {
      out->append(run, static_cast<std::size_t>(p - run));
      out->push_back('\\');
      run = p;
    }
  }
  out->append(run, static_cast<std::size_t>(p - run));
  out->push_back('"');
}

// ARGUMENT as -### and -v show it, after a blank, appended to OUT.
void append_echo_argument(std::string* out, const char* argument, bool quote_for_shell) {
  out->push_back(' ');
  if (*argument == '\0') {
    out->append("\"\"");
    return;
  }
  const char* p = argument;
  while (*p != '\0' && is_shell_safe(*p)) ++p;
  if (*p == '\0') {
    out->append(argument, static_cast<std::size_t>(p - argument));
  } else if (!quote_for_shell) {
    out->append(argument);
  } else {
    append_shell_quoted(out, argument, p);
  }
}

void resolve_program(Command* command) {
  command->resolved = locate_program(command->argv[0]);
  if (command->resolved != nullptr) command->argv[0] = command->resolved;
}

void echo_commands(const std::vector<Command>& commands) {
  if (help_requested()) std::fputc('\n', stderr);
  bool quote = verbose_only_count() > 0;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    std::string line;
    for (char** arg = commands[i].argv; *arg != nullptr; ++arg)
      append_echo_argument(&line, *arg, quote);
    if (i + 1 < commands.size()) line += " |";
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
  }
  std::fflush(stderr);
}

void start_commands(ProcessPipeline* pipeline, const std::vector<Command>& commands) {
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const Command& command = commands[i];
    int flags = i + 1 == commands.size() ? PEX_LAST : 0;
    // A program the search did not find is left to the system's own search.
    if (command.argv[0] == command.written) flags |= PEX_SEARCH;
    int err = 0;
    const char* failure =
        pex_start(pipeline, flags, command.argv[0], command.argv, nullptr, nullptr, nullptr, &err);
    if (failure != nullptr) {
      // The commands already started are stopped first: one that went on
      // would write its output after the run had removed it.
      pex_release(pipeline);
      if (err == 0)
        fatal_error(current_location, "cannot execute %qs: %s", command.argv[0], failure);
      errno = err;
      fatal_error(current_location, "cannot execute %qs: %s: %m", command.argv[0], failure);
    }
  }
}

// Releases the pipeline before a fatal error whose "%m" tells errno.
void release_keeping_errno(ProcessPipeline* pipeline) {
  int error = errno;
  pex_release(pipeline);
  errno = error;
}

bool is_compiler_proper(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return false;
  return std::strcmp(slash + 1, "cfe1") == 0 || std::strcmp(slash + 1, "cxxfe1") == 0;
}

// Returns false when the command failed; fatal signals end the process.
bool check_status(const Command& command, int status, bool first) {
  if (WIFSIGNALED(status)) {
    int signal_number = WTERMSIG(status);
    ensure_message_locale();  // strsignal speaks the message locale
    const char* description = strsignal(signal_number);
    switch (signal_number) {
      case SIGINT:
      case SIGQUIT:
      case SIGKILL:
      case SIGTERM:
        fatal_error(current_location, "%s signal terminated program %s", description,
                    command.written);
      case SIGPIPE:
        // The reader behind a pipe died; that program reports the cause.
        ++run_state().signal_failures;
        return false;
      default:
        internal_error_no_backtrace("%s signal terminated program %s", description,
                                    command.written);
    }
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) >= 1) {
    int exit_code = WEXITSTATUS(status);
    if (report_bug_flag() && exit_code == 4 && first && is_compiler_proper(command.argv[0]))
      generate_crash_report(command.argv);
    if (exit_code > run_state().highest_child_status) run_state().highest_child_status = exit_code;
    return false;
  }
  return true;
}

void report_time(const Command& command, const PexTime& time) {
  double user = time.user_seconds + time.user_microseconds / 1000000.0;
  double system = time.system_seconds + time.system_microseconds / 1000000.0;
  if (user + system == 0) return;
  if (report_times()) std::fprintf(stderr, "# %s %.2f %.2f\n", command.written, user, system);
  std::FILE* file = times_file();
  if (file == nullptr) return;
  std::string line;
  for (char** arg = command.argv; *arg != nullptr; ++arg) {
    const char* text = arg == command.argv ? command.written : *arg;
    line += ' ';
    if (needs_time_file_quotes(text))
      append_shell_quoted(&line, text, text);
    else
      line += text;
  }
  std::fprintf(file, "%g %g%s\n", user, system, line.c_str());
  std::fflush(file);
}

// Wrapper words first, then the command with its program resolved.
void apply_wrapper(std::vector<char*>* argv, const char* wrapper) {
  if (!argv->empty()) {
    char* path = locate_program((*argv)[0]);
    if (path != nullptr) (*argv)[0] = path;
  }
  std::vector<const char*> words = split_wrapper(wrapper);
  argv->insert(argv->begin(), words.size(), nullptr);
  for (std::size_t i = 0; i < words.size(); ++i) (*argv)[i] = const_cast<char*>(words[i]);
}

std::vector<Command> split_pipeline(std::vector<char*>* argv, bool wrapped) {
  std::vector<Command> commands;
  std::size_t start = 0;
  argv->push_back(nullptr);
  for (std::size_t i = 0; i < argv->size(); ++i) {
    char* word = (*argv)[i];
    if (word != nullptr && std::strcmp(word, "|") != 0) continue;
    (*argv)[i] = nullptr;
    if (start < argv->size() && (*argv)[start] != nullptr) {
      Command command{(*argv)[start], argv->data() + start, nullptr};
      // The wrapper's own first word is left to the system's search.
      if (!(wrapped && commands.empty())) resolve_program(&command);
      commands.push_back(command);
    }
    start = i + 1;
  }
  return commands;
}

}  // namespace

int execution_count() {
  return counters().executions;
}

std::vector<const char*> split_wrapper(const char* wrapper) {
  std::vector<const char*> words;
  const char* p = wrapper;
  while (*p != '\0') {
    while (*p == ',') ++p;
    const char* end = p;
    while (*end != '\0' && *end != ',') ++end;
    if (end != p) words.push_back(xstrndup(p, static_cast<std::size_t>(end - p)));
    p = end;
  }
  return words;
}

std::string echo_argument(const char* argument, bool quote_for_shell) {
  std::string out;
  append_echo_argument(&out, argument, quote_for_shell);
  return out;
}

int execute(const std::vector<const char*>& arguments) {
  if (spec_function_depth() > 0)
    internal_error("execute: a command was run from inside a spec function");
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 8);
  for (const char* word : arguments) argv.push_back(const_cast<char*>(word));

  const char* wrapper = wrapper_string();
  if (wrapper != nullptr) apply_wrapper(&argv, wrapper);
  std::vector<Command> commands = split_pipeline(&argv, wrapper != nullptr);
  if (commands.empty()) return 0;

  if (verbose_flag() || verbose_only_count() > 0) {
    echo_commands(commands);
    if (verbose_only_count() > 0) {
      ++counters().executions;
      return 0;
    }
  }

  bool timing = report_times() || times_file() != nullptr;
  ProcessPipeline* pipeline = pex_create(PEX_USE_PIPES | (timing ? PEX_RECORD_TIMES : 0),
                                         driver_state().program_name, nullptr);
  start_commands(pipeline, commands);
  ++counters().executions;

  int count = static_cast<int>(commands.size());
  std::vector<int> statuses(commands.size());
  if (!pex_get_status(pipeline, count, statuses.data())) {
    release_keeping_errno(pipeline);
    fatal_error(current_location, "failed to get exit status: %m");
  }
  std::vector<PexTime> times(commands.size());
  if (timing && !pex_collect_times(pipeline, count, times.data())) {
    release_keeping_errno(pipeline);
    fatal_error(current_location, "failed to get process times: %m");
  }
  pex_release(pipeline);

  int result = 0;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (!check_status(commands[i], statuses[i], i == 0)) result = -1;
    if (timing) report_time(commands[i], times[i]);
  }
  for (Command& command : commands) std::free(command.resolved);
  return result;
}

}  // namespace vorn
