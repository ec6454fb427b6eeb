// The process set-up of a run and the exit status.
#include "driver/process_state.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>

#include "diagnostics/diagnostic.h"
#include "driver/driver.h"

namespace vorn {
namespace {

constexpr rlim_t kMiB = 1024 * 1024;

// In a child process: sets the stack limits, raises them and exits with 0
// when the soft limit is then EXPECTED.
[[noreturn]] void check_stack_limit(rlim_t soft, rlim_t hard, rlim_t expected) {
  struct rlimit limit = {soft, hard};
  if (setrlimit(RLIMIT_STACK, &limit) != 0) std::_Exit(2);
  raise_stack_limit();
  if (getrlimit(RLIMIT_STACK, &limit) != 0) std::_Exit(3);
  std::_Exit(limit.rlim_cur == expected ? 0 : 1);
}

TEST(StackLimit, RaisedTo64MiBWithinTheHardLimit) {
  EXPECT_EXIT(check_stack_limit(8 * kMiB, RLIM_INFINITY, 64 * kMiB), ::testing::ExitedWithCode(0),
              "");
  EXPECT_EXIT(check_stack_limit(8 * kMiB, 16 * kMiB, 16 * kMiB), ::testing::ExitedWithCode(0), "");
  // Already enough, or already at a finite hard limit: unchanged.
  EXPECT_EXIT(check_stack_limit(128 * kMiB, RLIM_INFINITY, 128 * kMiB),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(check_stack_limit(8 * kMiB, 8 * kMiB, 8 * kMiB), ::testing::ExitedWithCode(0), "");
}

// In a child: the parent's ignored SIGINT stays ignored, a default SIGTERM
// gets the driver's handler.
[[noreturn]] void check_signal_dispositions() {
  signal(SIGINT, SIG_IGN);
  signal(SIGTERM, SIG_DFL);
  install_signal_handlers();
  struct sigaction interrupt, terminate;
  sigaction(SIGINT, nullptr, &interrupt);
  sigaction(SIGTERM, nullptr, &terminate);
  bool ok = interrupt.sa_handler == SIG_IGN && terminate.sa_handler == fatal_signal_handler;
  std::_Exit(ok ? 0 : 1);
}

TEST(SignalHandlers, IgnoredSignalsStayIgnored) {
  EXPECT_EXIT(check_signal_dispositions(), ::testing::ExitedWithCode(0), "");
}

TEST(SignalHandlers, HandlerDiesOfTheSameSignal) {
  EXPECT_EXIT(
      {
        install_signal_handlers();
        raise(SIGHUP);
        std::_Exit(0);
      },
      ::testing::KilledBySignal(SIGHUP), "");
}

TEST(ProgramName, LastComponentOfArgv0) {
  EXPECT_STREQ(record_program_name("/usr/bin/x/vorn-cxx"), "vorn-cxx");
  EXPECT_EQ(diagnostic_context().program_name, "vorn-cxx");
  EXPECT_STREQ(record_program_name("myc"), "myc");
  EXPECT_STREQ(record_program_name("dir/"), "");
  record_program_name("vorn-cxx");
}

TEST(ExitStatus, PrecedenceOfSignalsErrorsAndChildStatuses) {
  RunState state;
  EXPECT_EQ(compute_exit_status(state, false, false), 0);
  EXPECT_EQ(compute_exit_status(state, true, false), 1);
  // highest_child_status starts at 1, so errors without a failing child
  // still give 1 under -pass-exit-codes.
  EXPECT_EQ(compute_exit_status(state, true, true), 1);
  state.highest_child_status = 4;
  EXPECT_EQ(compute_exit_status(state, true, false), 1);
  EXPECT_EQ(compute_exit_status(state, true, true), 4);
  // A child status alone, without an error, is success.
  EXPECT_EQ(compute_exit_status(state, false, true), 0);
  state.signal_failures = 1;
  EXPECT_EQ(compute_exit_status(state, true, true), 2);
  EXPECT_EQ(compute_exit_status(state, false, false), 2);
}

}  // namespace
}  // namespace vorn
