// -freport-bug: when a compiler proper ends with an internal error, run the
// same compilation again to see whether the crash repeats, and if it does,
// leave a preprocessed reproduction file for the bug report.
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config.h"
#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "driver/driver.h"
#include "driver/execute.h"
#include "driver/queries.h"
#include "driver/temp_files.h"
#include "specs/named_specs.h"
#include "specs/switches.h"
#include "support/process_runner.h"

namespace vorn {

namespace {

enum class Outcome { kCouldNotRun, kSuccess, kInternalError, kOther };

constexpr int kAttempts = 3;

struct Attempt {
  const char* out;
  const char* err;
};

// Only a plain compilation of a named input with one output and the
// compiler's quiet mode can be replayed meaningfully.
bool worth_reproducing(const char* const* argv) {
  const char* input = compile_progress().input.name;
  if (input == nullptr || std::strcmp(input, "-") == 0) return false;
  int outputs = 0;
  bool quiet = false;
  for (const char* const* arg = argv; *arg != nullptr; ++arg) {
    if (std::strcmp(*arg, "-E") == 0 || std::strcmp(*arg, "-ftime-report") == 0) return false;
    if (std::strncmp(*arg, "-o", 2) == 0 && ++outputs > 1) return false;
    if (std::strcmp(*arg, "-quiet") == 0) quiet = true;
  }
  return outputs == 1 && quiet;
}

// The crashed command with a fixed seed, no addresses in dumps, and its
// output sent to standard output.
std::vector<const char*> attempt_vector(const char* const* argv) {
  std::vector<const char*> words;
  for (const char* const* arg = argv; *arg != nullptr; ++arg) {
    if (std::strncmp(*arg, "-o", 2) != 0) {
      words.push_back(*arg);
    } else if ((*arg)[2] != '\0') {
      words.push_back("-o-");
    } else {
      words.push_back(*arg);
      if (arg[1] != nullptr) {
        words.push_back("-");
        ++arg;
      }
    }
  }
  words.push_back("-frandom-seed=0");
  words.push_back("-fdump-noaddr");
  return words;
}

Outcome run_attempt(std::vector<const char*> words, const Attempt& files, bool append) {
  words.push_back(nullptr);
  char* const* argv = const_cast<char* const*>(words.data());
  int flags = PEX_SEARCH | PEX_LAST | (append ? PEX_STDOUT_APPEND | PEX_STDERR_APPEND : 0);
  int status = 0;
  int err = 0;
  const char* failure = pex_run_single(flags, argv[0], argv, driver_state().program_name, files.out,
                                       files.err, &status, &err);
  if (failure != nullptr) {
    if (err == 0) fatal_error(current_location, "cannot execute %qs: %s", argv[0], failure);
    errno = err;
    fatal_error(current_location, "cannot execute %qs: %s: %m", argv[0], failure);
  }
  if (!WIFEXITED(status)) return Outcome::kOther;
  if (WEXITSTATUS(status) == 0) return Outcome::kSuccess;
  return WEXITSTATUS(status) == 4 ? Outcome::kInternalError : Outcome::kOther;
}

bool read_whole_file(const char* name, std::string* contents) {
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, n);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

bool same_contents(const char* a, const char* b) {
  std::string first, second;
  return read_whole_file(a, &first) && read_whole_file(b, &second) && first == second;
}

// Copies the compiler's messages from ERR into OUT as comments.  False when
// reading ERR failed, with errno telling why.
bool copy_messages_as_comments(std::FILE* err, std::FILE* out) {
  char piece[256];
  bool at_line_start = true;
  while (std::fgets(piece, sizeof piece, err) != nullptr) {
    if (at_line_start) std::fputs("// ", out);
    std::fputs(piece, out);
    std::size_t length = std::strlen(piece);
    at_line_start = length > 0 && piece[length - 1] == '\n';
  }
  return std::ferror(err) == 0;
}

// Closes OUT; false when anything written to it was lost, with errno
// telling why.
bool close_written(std::FILE* out) {
  bool ok = std::fflush(out) == 0 && std::ferror(out) == 0;
  int saved_errno = errno;
  ok = std::fclose(out) == 0 && ok;
  if (!ok && saved_errno != 0) errno = saved_errno;
  return ok;
}

// The user asked for the reproduction file and would otherwise learn
// nothing of it: a file that cannot be made is reported, with errno telling
// why.  Both return false.
bool cannot_read_messages(const Attempt& files) {
  report_error("cannot read %qs for reproduction file %qs: %m", files.err, files.out);
  return false;
}
bool cannot_write_reproduction(const Attempt& files) {
  report_error("cannot write reproduction file %qs: %m", files.out);
  return false;
}

// The reproduction file starts with the compiler's messages as comments and
// the command that crashed.
bool write_reproduction_header(const Attempt& files, const std::vector<const char*>& words) {
  std::FILE* err = std::fopen(files.err, "r");
  if (err == nullptr) return cannot_read_messages(files);
  std::FILE* out = std::fopen(files.out, "w");
  if (out == nullptr) {
    int open_errno = errno;
    std::fclose(err);
    errno = open_errno;
    return cannot_write_reproduction(files);
  }
  errno = 0;
  bool read = copy_messages_as_comments(err, out);
  int read_errno = errno;
  std::fclose(err);
  std::fputs("\n//", out);
  for (const char* word : words) std::fprintf(out, " %s", word);
  std::fputs("\n\n", out);
  bool written = close_written(out);
  if (!read) {
    errno = read_errno;
    return cannot_read_messages(files);
  }
  return written || cannot_write_reproduction(files);
}

void say_not_reproducible() {
  std::fputs(_("The bug is not reproducible, so it is likely a hardware or OS problem.\n"), stderr);
}

bool append_configuration_report(const char* name) {
  std::FILE* file = std::fopen(name, "a");
  if (file == nullptr) return false;
  print_configuration_report(file);
  std::fputs("\n", file);
  return std::fclose(file) == 0;
}

// Returns true when the reproduction file was written and is to be kept.
bool reproduce(const std::vector<const char*>& words, Attempt (&attempts)[kAttempts]) {
  bool all_crashed = true;
  for (int i = 0; i < kAttempts; ++i) {
    if (i == kAttempts - 1 && !append_configuration_report(attempts[i].err)) all_crashed = false;
    if (run_attempt(words, attempts[i], i == kAttempts - 1) != Outcome::kInternalError)
      all_crashed = false;
  }
  if (!all_crashed || !same_contents(attempts[0].out, attempts[1].out) ||
      !same_contents(attempts[0].err, attempts[1].err)) {
    say_not_reproducible();
    return false;
  }
  const Attempt& last = attempts[kAttempts - 1];
  if (!write_reproduction_header(last, words)) return false;
  std::vector<const char*> preprocess = words;
  preprocess.push_back("-E");
  if (run_attempt(preprocess, last, true) != Outcome::kSuccess) return false;
  std::fprintf(stderr,
               _("Preprocessed source stored into %s file, please attach this to your "
                 "bugreport.\n"),
               last.out);
  return true;
}

}  // namespace

void generate_crash_report(const char* const* argv) {
  if (!worth_reproducing(argv)) return;
  std::vector<const char*> words = attempt_vector(argv);
  Attempt attempts[kAttempts];
  for (int i = 0; i < kAttempts; ++i) {
    // Each file is recorded the moment it exists, so that a fatal error or
    // a signal half-way leaves none of them behind; the reproduction file
    // leaves the list only once it is known to be worth keeping.
    attempts[i].out = new_temp_name(".out");
    register_temp_file(attempts[i].out, true, false);
    attempts[i].err = new_temp_name(".err");
    register_temp_file(attempts[i].err, true, false);
  }
  const char* kept = reproduce(words, attempts) ? attempts[kAttempts - 1].out : nullptr;
  if (kept != nullptr) keep_temp_file(kept);
  for (const Attempt& attempt : attempts) {
    if (attempt.out != kept) remove_if_regular_file(attempt.out);
    remove_if_regular_file(attempt.err);
  }
}

}  // namespace vorn
