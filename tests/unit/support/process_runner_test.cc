#include "support/process_runner.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace vorn {
namespace {

// A null-terminated argument vector that owns its strings.
class Args {
 public:
  Args(std::initializer_list<std::string> words) : words_(words) {
    for (std::string& word : words_) pointers_.push_back(word.data());
    pointers_.push_back(nullptr);
  }
  char* const* get() { return pointers_.data(); }

 private:
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};

// Failure text and error number of a start; kStarted when it succeeded.
using Outcome = std::pair<std::string, int>;
const Outcome kStarted{"", 0};

Outcome start(ProcessPipeline* p, int flags, const char* executable,
              std::initializer_list<std::string> words, const char* outname = nullptr,
              const char* errname = nullptr, char* const* env = nullptr) {
  Args argv(words);
  int err = -1;
  const char* failed = pex_start(p, flags, executable, argv.get(), env, outname, errname, &err);
  return {failed ? failed : "", err};
}

std::string scratch(const std::string& name) {
  std::filesystem::path dir = std::filesystem::path(VORN_TEST_TMPDIR) / "process_runner";
  std::filesystem::create_directories(dir);
  std::filesystem::remove(dir / name);
  return (dir / name).string();
}

std::string read_file(const std::string& path) {
  std::stringstream content;
  content << std::ifstream(path).rdbuf();
  return content.str();
}

// True when this process has no child left, not even a zombie.
bool no_children_left() {
  int status;
  return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

// Runs /bin/sh -c SCRIPT as the only command; returns the raw wait status.
int run_shell(const std::string& script, int flags = PEX_LAST, const char* outname = nullptr,
              const char* errname = nullptr) {
  Args argv{"sh", "-c", script};
  int status = -1, err = -1;
  const char* failed =
      pex_run_single(flags, "/bin/sh", argv.get(), "tester", outname, errname, &status, &err);
  EXPECT_EQ(failed, nullptr) << failed;
  return status;
}

TEST(ProcessRunnerTest, ThreeStagePipeline) {
  std::string out = scratch("pipeline.out");
  ProcessPipeline* p = pex_create(PEX_USE_PIPES, "tester", nullptr);
  EXPECT_EQ(start(p, PEX_SEARCH, "sh", {"sh", "-c", "echo hi; echo there"}), kStarted);
  EXPECT_EQ(start(p, PEX_SEARCH, "tr", {"tr", "a-z", "A-Z"}), kStarted);
  EXPECT_EQ(start(p, PEX_LAST, "/bin/cat", {"cat"}, out.c_str()), kStarted);
  int statuses[3] = {-1, -1, -1};
  EXPECT_TRUE(pex_get_status(p, 3, statuses));
  pex_release(p);
  EXPECT_EQ(statuses[0] | statuses[1] | statuses[2], 0);
  EXPECT_EQ(read_file(out), "HI\nTHERE\n");
  EXPECT_TRUE(no_children_left());
}

// The writer must see its reader go away: no stage may hold a read end of the
// pipe it writes into, or "yes" would block for ever.
TEST(ProcessRunnerTest, EarlyExitingReaderEndsTheWriter) {
  std::string out = scratch("yes.out");
  ProcessPipeline* p = pex_create(PEX_USE_PIPES, "tester", nullptr);
  ASSERT_EQ(start(p, PEX_SEARCH, "yes", {"yes"}), kStarted);
  ASSERT_EQ(start(p, PEX_SEARCH | PEX_LAST, "head", {"head", "-n", "1"}, out.c_str()), kStarted);
  int statuses[2];
  EXPECT_TRUE(pex_get_status(p, 2, statuses));
  pex_release(p);
  EXPECT_TRUE(WIFSIGNALED(statuses[0]) && WTERMSIG(statuses[0]) == SIGPIPE);
  EXPECT_EQ(statuses[1], 0);
  EXPECT_EQ(read_file(out), "y\n");
}

TEST(ProcessRunnerTest, ExecFailureIsReportedAndLeavesNoChild) {
  ProcessPipeline* p = pex_create(PEX_USE_PIPES, "tester", nullptr);
  EXPECT_EQ(start(p, 0, "/nonexistent/vorn-missing", {"vorn-missing"}), Outcome("execv", ENOENT));
  EXPECT_EQ(start(p, PEX_SEARCH, "vorn-missing", {"vorn-missing"}), Outcome("execvp", ENOENT));
  int statuses[2] = {-1, -1};
  EXPECT_TRUE(pex_get_status(p, 2, statuses));  // nothing recorded: both filled with 0
  EXPECT_EQ(statuses[0] | statuses[1], 0);
  pex_release(p);
  EXPECT_TRUE(no_children_left());
}

TEST(ProcessRunnerTest, StartRefusals) {
  ProcessPipeline* p = pex_create(PEX_USE_PIPES, "tester", nullptr);
  EXPECT_EQ(start(p, PEX_LAST | PEX_STDERR_TO_PIPE, "/bin/cat", {"cat"}, nullptr,
                  scratch("both.err").c_str()),
            Outcome("both ERRNAME and PEX_STDERR_TO_PIPE specified.", 0));
  EXPECT_EQ(start(p, PEX_LAST, "/bin/cat", {"cat"}, "/nonexistent/out"),
            Outcome("open temporary output file", ENOENT));
  EXPECT_EQ(start(p, PEX_LAST, "/bin/cat", {"cat"}, nullptr, "/nonexistent/err"),
            Outcome("open error file", ENOENT));
  // None of the refusals used up the pipeline.
  EXPECT_EQ(start(p, PEX_LAST, "/bin/sh", {"sh", "-c", "true"}), kStarted);
  EXPECT_EQ(start(p, PEX_LAST, "/bin/cat", {"cat"}), Outcome("pipeline already complete", 0));
  pex_release(p);

  p = pex_create(0, "tester", nullptr);  // stages joined through files: not offered
  EXPECT_NE(start(p, 0, "/bin/cat", {"cat"}), kStarted);
  pex_release(p);
  EXPECT_TRUE(no_children_left());
}

TEST(ProcessRunnerTest, StderrPipeMustBeTheLastRedirection) {
  ProcessPipeline* p = pex_create(PEX_USE_PIPES, "tester", nullptr);
  const Outcome middle("PEX_STDERR_TO_PIPE used in the middle of pipeline", 0);
  ASSERT_EQ(start(p, PEX_STDERR_TO_PIPE, "/bin/sh", {"sh", "-c", "echo complaint >&2"}), kStarted);
  EXPECT_EQ(start(p, PEX_LAST, "/bin/cat", {"cat"}), middle);
  EXPECT_EQ(start(p, PEX_LAST, "/bin/cat", {"cat"}, nullptr, scratch("middle.err").c_str()),
            middle);
  std::string complaint(32, '\0');
  complaint.resize(std::max<ssize_t>(0, read(pex_stderr_pipe(p), complaint.data(), 32)));
  EXPECT_EQ(complaint, "complaint\n");
  pex_release(p);
}

TEST(ProcessRunnerTest, OutputAndErrorFiles) {
  std::string out = scratch("redirect.out"), errors = scratch("redirect.err");
  const std::string both = "echo out; echo err >&2";
  run_shell(both, PEX_LAST | PEX_STDERR_TO_STDOUT, out.c_str());
  run_shell(both, PEX_LAST | PEX_STDERR_TO_STDOUT | PEX_STDOUT_APPEND, out.c_str());
  EXPECT_EQ(read_file(out), "out\nerr\nout\nerr\n");
  run_shell(both, PEX_LAST, out.c_str(), errors.c_str());  // truncates
  run_shell(both, PEX_LAST | PEX_STDERR_APPEND, out.c_str(), errors.c_str());
  EXPECT_EQ(read_file(out), "out\n");
  EXPECT_EQ(read_file(errors), "err\nerr\n");

  // With PEX_SUFFIX the output name is appended to the temporary base.
  std::string base = scratch("base");
  std::filesystem::remove(base + ".s");
  ProcessPipeline* p = pex_create(0, "tester", base.c_str());
  EXPECT_EQ(start(p, PEX_LAST | PEX_SUFFIX, "/bin/sh", {"sh", "-c", "echo asm"}, ".s"), kStarted);
  int status;
  EXPECT_TRUE(pex_get_status(p, 1, &status));
  pex_release(p);
  EXPECT_EQ(read_file(base + ".s"), "asm\n");
}

TEST(ProcessRunnerTest, GivenEnvironmentReachesChildOnly) {
  std::string out = scratch("env.out");
  char** before = environ;
  ProcessPipeline* p = pex_create(0, "tester", nullptr);
  Args env{"VORN_RUNNER_PROBE=42"};
  EXPECT_EQ(start(p, PEX_LAST, "/bin/sh", {"sh", "-c", "echo \"$VORN_RUNNER_PROBE\""}, out.c_str(),
                  nullptr, env.get()),
            kStarted);
  int status;
  EXPECT_TRUE(pex_get_status(p, 1, &status));
  pex_release(p);
  EXPECT_EQ(read_file(out), "42\n");
  EXPECT_EQ(environ, before);
  EXPECT_EQ(std::getenv("VORN_RUNNER_PROBE"), nullptr);
}

TEST(ProcessRunnerTest, StatusesAndTimesInStartOrderWithZeroPadding) {
  ProcessPipeline* p = pex_create(PEX_USE_PIPES | PEX_RECORD_TIMES, "tester", nullptr);
  const char* busy = "i=0; while [ $i -lt 30000 ]; do i=$((i+1)); done; exit 3";
  ASSERT_EQ(start(p, 0, "/bin/sh", {"sh", "-c", busy}), kStarted);
  ASSERT_EQ(start(p, PEX_LAST, "/bin/sh", {"sh", "-c", "cat; exit 5"}, "/dev/null"), kStarted);
  PexTime times[3];
  times[2].user_seconds = 99;
  EXPECT_TRUE(pex_collect_times(p, 3, times));
  EXPECT_GT(times[0].user_seconds * 1000000 + times[0].user_microseconds +
                times[0].system_seconds * 1000000 + times[0].system_microseconds,
            0u);
  EXPECT_LT(times[0].user_microseconds, 1000000u);
  EXPECT_EQ(times[2].user_seconds, 0u);  // beyond the children
  int statuses[4] = {-1, -1, -1, -1};
  EXPECT_TRUE(pex_get_status(p, 4, statuses));  // already waited for: still there
  EXPECT_TRUE(WIFEXITED(statuses[0]) && WEXITSTATUS(statuses[0]) == 3);
  EXPECT_TRUE(WIFEXITED(statuses[1]) && WEXITSTATUS(statuses[1]) == 5);
  EXPECT_EQ(statuses[2] | statuses[3], 0);
  pex_release(p);

  p = pex_create(0, "tester", nullptr);
  EXPECT_FALSE(pex_collect_times(p, 1, times));  // created without record-times
  pex_release(p);
}

// A child reaped behind the pipeline's back: the failed wait gives status 0
// and a false result, and the children after it are still waited for.
TEST(ProcessRunnerTest, FailedWaitKeepsReapingTheOthers) {
  for (int flags : {int{PEX_USE_PIPES}, PEX_USE_PIPES | PEX_RECORD_TIMES}) {
    ProcessPipeline* p = pex_create(flags, "tester", nullptr);
    ASSERT_EQ(start(p, 0, "/bin/sh", {"sh", "-c", "exit 3"}), kStarted);
    int stolen = 0;
    ASSERT_GT(waitpid(-1, &stolen, 0), 0);
    ASSERT_EQ(start(p, PEX_LAST, "/bin/sh", {"sh", "-c", "exit 4"}, "/dev/null"), kStarted);
    int statuses[2] = {-1, -1};
    EXPECT_FALSE(pex_get_status(p, 2, statuses));
    EXPECT_EQ(errno, ECHILD);  // the failed wait's reason, not the last one's
    EXPECT_EQ(statuses[0], 0);
    EXPECT_TRUE(WIFEXITED(statuses[1]) && WEXITSTATUS(statuses[1]) == 4);
    pex_release(p);
    EXPECT_TRUE(no_children_left());
  }
}

TEST(ProcessRunnerTest, ReleaseStopsAndReapsUnwaitedChildren) {
  auto begin = std::chrono::steady_clock::now();
  ProcessPipeline* p = pex_create(PEX_USE_PIPES, "tester", nullptr);
  ASSERT_EQ(start(p, PEX_SEARCH, "sleep", {"sleep", "30"}), kStarted);
  ASSERT_EQ(start(p, PEX_SEARCH | PEX_LAST, "sleep", {"sleep", "30"}), kStarted);
  pex_release(p);
  EXPECT_TRUE(no_children_left());
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
}

TEST(ProcessRunnerTest, RunSingleReportsExitAndSignal) {
  int status = run_shell("exit 3");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
  status = run_shell("kill -TERM $$");
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);

  Args missing{"missing"};
  int err = 0;
  EXPECT_STREQ(pex_run_single(PEX_LAST, "/nonexistent/missing", missing.get(), "tester", nullptr,
                              nullptr, &status, &err),
               "execv");
  EXPECT_EQ(err, ENOENT);
  EXPECT_TRUE(no_children_left());
}

// Runs a missing program when no descriptor is left for the error-report
// pipe; true when the child itself reported and exited with 255.
bool run_missing_without_report_pipe(const std::string& errors, const char* name) {
  int lowest_free = dup(0);
  close(lowest_free);
  rlimit saved;
  getrlimit(RLIMIT_NOFILE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = static_cast<rlim_t>(lowest_free + 1);  // room for the error file only
  if (setrlimit(RLIMIT_NOFILE, &limit) < 0) return false;
  Args missing{"missing"};
  int status = 0, err = 0;
  const char* failed = pex_run_single(PEX_LAST, "/nonexistent/missing", missing.get(), name,
                                      nullptr, errors.c_str(), &status, &err);
  setrlimit(RLIMIT_NOFILE, &saved);
  return failed == nullptr && WIFEXITED(status) && WEXITSTATUS(status) == 255;
}

TEST(ProcessRunnerTest, ChildReportsExecFailureWithoutReportPipe) {
  std::string errors = scratch("noreport.err");
  EXPECT_EXIT(std::exit(run_missing_without_report_pipe(errors, "tester") ? 0 : 1),
              testing::ExitedWithCode(0), "");
  EXPECT_EQ(read_file(errors),
            "tester: error trying to exec '/nonexistent/missing': execv: No such file or "
            "directory\n");
  // Without a program name the line starts at the separator.
  EXPECT_EXIT(std::exit(run_missing_without_report_pipe(errors, nullptr) ? 0 : 1),
              testing::ExitedWithCode(0), "");
  EXPECT_EQ(read_file(errors),
            ": error trying to exec '/nonexistent/missing': execv: No such file or directory\n");
}

void on_alarm(int) {}

// A signal that interrupts the wait for a child is no failed wait: the wait
// is resumed and the child's own status is returned.
TEST(ProcessRunnerTest, InterruptedWaitIsResumed) {
  struct sigaction action {};
  action.sa_handler = on_alarm;  // no SA_RESTART: the wait fails with EINTR
  struct sigaction saved;
  ASSERT_EQ(sigaction(SIGALRM, &action, &saved), 0);
  for (int flags : {0, int{PEX_RECORD_TIMES}}) {
    ProcessPipeline* p = pex_create(flags, "tester", nullptr);
    ASSERT_EQ(start(p, PEX_LAST, "/bin/sh", {"sh", "-c", "sleep 0.3; exit 6"}), kStarted);
    itimerval timer{};
    timer.it_value.tv_usec = 50000;
    ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);
    int status = -1;
    EXPECT_TRUE(pex_get_status(p, 1, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 6);
    pex_release(p);
  }
  sigaction(SIGALRM, &saved, nullptr);
}

// With SIGCHLD ignored the system reaps the child itself: the run says that
// its status could not be had instead of inventing one.
TEST(ProcessRunnerTest, RunSingleWithChildrenReapedBySystem) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction saved;
  ASSERT_EQ(sigaction(SIGCHLD, &ignore, &saved), 0);
  Args argv{"sh", "-c", "exit 3"};
  int status = -1, err = -1;
  const char* failed =
      pex_run_single(PEX_LAST, "/bin/sh", argv.get(), "tester", nullptr, nullptr, &status, &err);
  sigaction(SIGCHLD, &saved, nullptr);
  EXPECT_STREQ(failed, "pex_get_status failed");
  EXPECT_EQ(err, 0);
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vorn
