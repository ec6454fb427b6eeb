#include "support/process_runner.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "support/live_children.h"
#include "support/system_error.h"

extern char** environ;

namespace vorn {

struct ProcessPipeline {
  int flags = 0;
  std::string program_name;
  std::string temp_base;
  // What the next command reads: standard input at first, the read end of
  // the pipe after a non-last command, -1 once the last command started.
  int next_input = STDIN_FILENO;
  // Read end of the standard-error pipe of a PEX_STDERR_TO_PIPE command.
  int stderr_pipe = -1;
  std::vector<pid_t> children;  // in start order
  std::vector<int> statuses;
  std::vector<PexTime> times;
  std::size_t waited = 0;  // children[0, waited) have been waited for
  bool wait_failed = false;
  int wait_errno = 0;  // why the first failed wait failed
};

namespace {

// The descriptors one command is started with.  next_stage is the read end
// of the pipe this command writes into; it belongs to the next command, so
// the child closes its copy.  kept_stderr is the read end of this command's
// standard-error pipe.
struct CommandFds {
  int input = -1;
  int output = -1;
  int error = -1;
  int next_stage = -1;
  int kept_stderr = -1;
};

// What a child sends back through the error-report pipe when it cannot run
// the program.  The text is a string literal, at the same address in parent
// and child.
struct ExecFailure {
  const char* text;
  long err;
};
static_assert(sizeof(ExecFailure) == 16 || sizeof(void*) != 8);

const char* fail(const char* text, int errnum, int* err) {
  *err = errnum;
  return text;
}

// Closes FD unless it is absent or one of the standard descriptors, which
// the pipeline never owns.
void close_owned(int fd) {
  if (fd > STDERR_FILENO) close(fd);
}

void close_command_fds(const CommandFds& fds) {
  close_owned(fds.output);
  close_owned(fds.error);
  close_owned(fds.next_stage);
  close_owned(fds.kept_stderr);
}

int open_for_writing(const std::string& name, bool append) {
  int mode = O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC);
  return open(name.c_str(), mode, 0666);
}

// Where the command writes: the output file or our standard output for the
// last command, else the write end of a new pipe.
const char* open_output(const ProcessPipeline* p, int flags, const char* outname, CommandFds* fds,
                        int* err) {
  if (flags & PEX_LAST) {
    if (outname == nullptr) {
      fds->output = STDOUT_FILENO;
      return nullptr;
    }
    std::string name = (flags & PEX_SUFFIX) ? p->temp_base + outname : outname;
    fds->output = open_for_writing(name, flags & PEX_STDOUT_APPEND);
    return fds->output < 0 ? fail("open temporary output file", errno, err) : nullptr;
  }
  if (!(p->flags & PEX_USE_PIPES)) {
    // Stages joined through temporary files are not supported; every caller
    // uses pipes.
    return fail("a non-last command requires PEX_USE_PIPES", 0, err);
  }
  int ends[2];
  if (pipe(ends) < 0) return fail("pipe", errno, err);
  fds->next_stage = ends[0];
  fds->output = ends[1];
  return nullptr;
}

// Where the command's standard error goes: a file, a pipe the pipeline
// keeps, or our standard error.  Once a command wrote its standard error into
// the pipe, no later command may redirect standard error at all.
const char* open_error(const ProcessPipeline* p, int flags, const char* errname, CommandFds* fds,
                       int* err) {
  if (errname != nullptr) {
    if (flags & PEX_STDERR_TO_PIPE) {
      return fail("both ERRNAME and PEX_STDERR_TO_PIPE specified.", 0, err);
    }
    if (p->stderr_pipe >= 0)
      return fail("PEX_STDERR_TO_PIPE used in the middle of pipeline", 0, err);
    fds->error = open_for_writing(errname, flags & PEX_STDERR_APPEND);
    return fds->error < 0 ? fail("open error file", errno, err) : nullptr;
  }
  if (p->stderr_pipe >= 0) return fail("PEX_STDERR_TO_PIPE used in the middle of pipeline", 0, err);
  if (!(flags & PEX_STDERR_TO_PIPE)) {
    fds->error = STDERR_FILENO;
    return nullptr;
  }
  int ends[2];
  if (pipe(ends) < 0) return fail("pipe", errno, err);
  // Later children must not hold the read end open.
  fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  fds->kept_stderr = ends[0];
  fds->error = ends[1];
  return nullptr;
}

// --- The child, between vfork and exec: async-signal-safe calls only. ---

bool write_all(int fd, const char* text, std::size_t length) {
  while (length > 0) {
    ssize_t written = write(fd, text, length);
    if (written <= 0) return false;
    text += written;
    length -= static_cast<std::size_t>(written);
  }
  return true;
}

bool write_text(int fd, const char* text) {
  return write_all(fd, text, std::strlen(text));
}

// Tells the parent why the program could not be run, then ends the child
// without running exit handlers: they belong to the parent.  These _exit
// calls are the child's side of vfork, not an ending of the program, so
// they do not go through exit_process, which would delete the parent's
// files and flush the parent's streams.
[[noreturn]] void child_fail(int report_fd, const char* program_name, const char* executable,
                             const char* text, int errnum) {
  ExecFailure record{text, errnum};
  if (report_fd >= 0 &&
      write(report_fd, &record, sizeof record) == static_cast<ssize_t>(sizeof record)) {
    _exit(255);
  }
  const char* description = system_error_description(errnum);
  bool ok = write_text(STDERR_FILENO, program_name) &&
            write_text(STDERR_FILENO, ": error trying to exec '") &&
            write_text(STDERR_FILENO, executable) && write_text(STDERR_FILENO, "': ") &&
            write_text(STDERR_FILENO, text) && write_text(STDERR_FILENO, ": ") &&
            write_text(STDERR_FILENO, description ? description : "unknown error") &&
            write_text(STDERR_FILENO, "\n");
  _exit(ok ? 255 : 254);
}

// Moves FD onto the standard descriptor TARGET.  Returns the failing call's
// name, or null.
const char* move_fd(int fd, int target) {
  if (fd == target) return nullptr;
  if (dup2(fd, target) < 0) return "dup2";
  if (close(fd) < 0) return "close";
  return nullptr;
}

const char* child_plumbing(const CommandFds& fds, int flags) {
  if (const char* failed = move_fd(fds.input, STDIN_FILENO)) return failed;
  if (const char* failed = move_fd(fds.output, STDOUT_FILENO)) return failed;
  if (const char* failed = move_fd(fds.error, STDERR_FILENO)) return failed;
  if (fds.next_stage >= 0 && close(fds.next_stage) < 0) return "close";
  if ((flags & PEX_STDERR_TO_STDOUT) && dup2(STDOUT_FILENO, STDERR_FILENO) < 0) return "dup2";
  return nullptr;
}

struct ChildStart {
  const ProcessPipeline* pipeline;
  int flags;
  const char* executable;
  char* const* argv;
  char* const* env;
  CommandFds fds;
  int report_pipe[2];
};

[[noreturn]] void run_child(const ChildStart& start) {
  if (start.report_pipe[0] >= 0) close(start.report_pipe[0]);
  const char* failed = child_plumbing(start.fds, start.flags);
  if (failed == nullptr) {
    // With vfork this changes the parent's pointer too; the parent puts it
    // back once we have exec'd or died.
    if (start.env != nullptr) environ = const_cast<char**>(start.env);
    if (start.flags & PEX_SEARCH) {
      execvp(start.executable, start.argv);
      failed = "execvp";
    } else {
      execv(start.executable, start.argv);
      failed = "execv";
    }
  }
  child_fail(start.report_pipe[1], start.pipeline->program_name.c_str(), start.executable, failed,
             errno);
}

// --- The parent. ---

// The child borrows our stack until it execs or exits, so this frame stays
// small and holds nothing the child could clobber for us.
__attribute__((noinline)) pid_t vfork_once(const ChildStart& start) {
  pid_t pid = vfork();
  if (pid == 0) run_child(start);
  return pid;
}

// vfork, retried while the system is short of processes: four attempts, with
// growing pauses after each failure.
pid_t vfork_with_retries(const ChildStart& start) {
  for (unsigned pause = 1; pause <= 8; pause *= 2) {
    pid_t pid = vfork_once(start);
    if (pid >= 0) return pid;
    sleep(pause);
  }
  return -1;
}

enum class ExecReport { kNone, kFailure, kUnreadable };

// Reads the child's failure record, if it sent one.  kUnreadable when the
// pipe itself failed: then nobody knows whether the program runs.
ExecReport read_exec_failure(int report_fd, ExecFailure* record) {
  ssize_t got;
  do {
    got = read(report_fd, record, sizeof *record);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return ExecReport::kUnreadable;
  return got == static_cast<ssize_t>(sizeof *record) ? ExecReport::kFailure : ExecReport::kNone;
}

pid_t wait_for(pid_t pid, int* status, rusage* usage) {
  pid_t result;
  do {
    result = usage ? wait4(pid, status, 0, usage) : waitpid(pid, status, 0);
  } while (result < 0 && errno == EINTR);
  if (result == pid || errno == ECHILD) note_child_gone(pid);
  return result;
}

// Starts the child and closes the parent's copies of its descriptors.  On
// failure no child is left behind.
const char* start_child(ChildStart* start, pid_t* child, int* err) {
  if (pipe2(start->report_pipe, O_CLOEXEC) < 0) start->report_pipe[0] = start->report_pipe[1] = -1;
  char** saved_environ = environ;
  pid_t pid = vfork_with_retries(*start);
  int vfork_errno = errno;
  environ = saved_environ;
  if (pid > 0) note_child_started(pid);

  ExecFailure record{nullptr, 0};
  ExecReport report = ExecReport::kNone;
  int read_errno = 0;
  if (start->report_pipe[1] >= 0) {
    close(start->report_pipe[1]);
    if (pid > 0) report = read_exec_failure(start->report_pipe[0], &record);
    read_errno = errno;
    close(start->report_pipe[0]);
  }
  close_owned(start->fds.input);
  close_owned(start->fds.output);
  close_owned(start->fds.error);

  if (pid < 0) return fail("vfork", vfork_errno, err);
  if (report != ExecReport::kNone) {
    // A child whose start cannot be told apart from a failure is stopped
    // rather than left running unrecorded; a failed one has exited
    // already.  Either is reaped so that no zombie is left.
    if (report == ExecReport::kUnreadable) kill(pid, SIGKILL);
    int status;
    wait_for(pid, &status, nullptr);
    if (report == ExecReport::kUnreadable) return fail("read", read_errno, err);
    return fail(record.text, static_cast<int>(record.err), err);
  }
  *child = pid;
  return nullptr;
}

// Waits for the children not waited for yet, in start order.  A failed wait
// leaves that child's status 0 but does not stop the others from being reaped.
void wait_all(ProcessPipeline* p) {
  bool with_times = p->flags & PEX_RECORD_TIMES;
  for (; p->waited < p->children.size(); ++p->waited) {
    int status = 0;
    rusage usage{};
    pid_t child = p->children[p->waited];
    if (wait_for(child, &status, with_times ? &usage : nullptr) < 0) {
      if (!p->wait_failed) p->wait_errno = errno;
      p->wait_failed = true;
      // A child still ours must not outlive the run that failed to learn
      // its status (it would write its output after the run removed it):
      // wait for it once more, without asking for anything else.
      wait_for(child, &status, nullptr);
      status = 0;
    }
    p->statuses.push_back(status);
    PexTime time;
    if (with_times) {
      time.user_seconds = static_cast<unsigned long>(usage.ru_utime.tv_sec);
      time.user_microseconds = static_cast<unsigned long>(usage.ru_utime.tv_usec);
      time.system_seconds = static_cast<unsigned long>(usage.ru_stime.tv_sec);
      time.system_microseconds = static_cast<unsigned long>(usage.ru_stime.tv_usec);
    }
    p->times.push_back(time);
  }
}

}  // namespace

ProcessPipeline* pex_create(int flags, const char* program_name, const char* temp_base) {
  ProcessPipeline* p = new ProcessPipeline;
  p->flags = flags;
  p->program_name = program_name ? program_name : "";
  p->temp_base = temp_base ? temp_base : "";
  return p;
}

const char* pex_start(ProcessPipeline* p, int flags, const char* executable, char* const* argv,
                      char* const* env, const char* outname, const char* errname, int* err) {
  *err = 0;
  if (p->next_input < 0) return fail("pipeline already complete", 0, err);

  CommandFds fds;
  fds.input = p->next_input;
  const char* failed = open_output(p, flags, outname, &fds, err);
  if (failed == nullptr) failed = open_error(p, flags, errname, &fds, err);
  if (failed != nullptr) {
    // Nothing has changed hands yet: the pipeline still owns its input.
    close_command_fds(fds);
    return failed;
  }

  // From here the command's plumbing is in place whether or not the child
  // starts: the input is consumed and the pipe ends move to the pipeline.
  p->next_input = (flags & PEX_LAST) ? -1 : fds.next_stage;
  p->stderr_pipe = fds.kept_stderr;
  ChildStart start{p, flags, executable, argv, env, fds, {-1, -1}};
  pid_t pid = -1;
  failed = start_child(&start, &pid, err);
  if (failed != nullptr) return failed;
  p->children.push_back(pid);
  return nullptr;
}

bool pex_get_status(ProcessPipeline* p, int count, int* statuses) {
  wait_all(p);
  for (int i = 0; i < count; ++i) {
    statuses[i] = static_cast<std::size_t>(i) < p->statuses.size() ? p->statuses[i] : 0;
  }
  if (p->wait_failed) errno = p->wait_errno;
  return !p->wait_failed;
}

bool pex_collect_times(ProcessPipeline* p, int count, PexTime* times) {
  if (!(p->flags & PEX_RECORD_TIMES)) return false;
  wait_all(p);
  for (int i = 0; i < count; ++i) {
    times[i] = static_cast<std::size_t>(i) < p->times.size() ? p->times[i] : PexTime{};
  }
  if (p->wait_failed) errno = p->wait_errno;
  return !p->wait_failed;
}

int pex_stderr_pipe(ProcessPipeline* p) {
  return p->stderr_pipe;
}

void pex_release(ProcessPipeline* p) {
  // Children nobody waited for are stopped rather than left running or as
  // zombies.
  for (std::size_t i = p->waited; i < p->children.size(); ++i) kill(p->children[i], SIGTERM);
  for (std::size_t i = p->waited; i < p->children.size(); ++i) {
    int status;
    wait_for(p->children[i], &status, nullptr);
  }
  close_owned(p->next_input);
  close_owned(p->stderr_pipe);
  delete p;
}

const char* pex_run_single(int flags, const char* executable, char* const* argv,
                           const char* program_name, const char* outname, const char* errname,
                           int* status, int* err) {
  ProcessPipeline* p = pex_create(0, program_name, nullptr);
  const char* failed = pex_start(p, flags, executable, argv, nullptr, outname, errname, err);
  if (failed == nullptr && !pex_get_status(p, 1, status)) {
    failed = fail("pex_get_status failed", 0, err);
  }
  pex_release(p);
  return failed;
}

}  // namespace vorn
