#include "support/process_exit.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstring>

#include "support/process_runner.h"

namespace vorn {
namespace {

using ::testing::ExitedWithCode;
using ::testing::KilledBySignal;

void print_ending(Ending ending) {
  static constexpr const char* kNames[] = {"success\n", "keep-outputs\n", "failure\n", "signal\n"};
  const char* pieces[] = {kNames[static_cast<int>(ending)]};
  write_exit_message(pieces, 1);
}

TEST(ProcessExit, TheCleanupRunsOnceForTheEndingOfTheStatus) {
  EXPECT_EXIT(
      {
        set_exit_cleanup(print_ending);
        exit_process(0);
      },
      ExitedWithCode(0), "^success\n$");
  EXPECT_EXIT(
      {
        set_exit_cleanup(print_ending);
        exit_process(3);
      },
      ExitedWithCode(3), "^failure\n$");
  // A cleanup that ends the process again ends it on the spot.
  EXPECT_EXIT(
      {
        set_exit_cleanup([](Ending ending) {
          print_ending(ending);
          exit_process(5);
        });
        exit_process(1, Ending::kKeepOutputs);
      },
      ExitedWithCode(5), "^keep-outputs\n$");
}

// Blocked while its handler runs, the signal still ends the process, after
// the cleanup.
TEST(ProcessExit, ASignalHandlerDiesOfItsSignal) {
  EXPECT_EXIT(
      {
        set_exit_cleanup(print_ending);
        signal(SIGTERM, die_of_signal);
        raise(SIGTERM);
      },
      KilledBySignal(SIGTERM), "^signal\n$");
}

// Starts a child that would run for half a minute, and ends the process.
[[noreturn]] void exit_with_child_running() {
  ProcessPipeline* p = pex_create(0, "tester", nullptr);
  char sleep[] = "sleep";
  char seconds[] = "30";
  char* argv[] = {sleep, seconds, nullptr};
  int err = 0;
  pex_start(p, PEX_LAST | PEX_SEARCH, "sleep", argv, nullptr, nullptr, nullptr, &err);
  exit_process(2);
}

// A child left running would keep the death test's standard error open.
TEST(ProcessExit, ChildrenStillRunningAreStopped) {
  auto begin = std::chrono::steady_clock::now();
  EXPECT_EXIT(exit_with_child_running(), ExitedWithCode(2), "");
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
}

}  // namespace
}  // namespace vorn
