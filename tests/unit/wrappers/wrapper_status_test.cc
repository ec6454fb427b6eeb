#include "wrappers/wrapper_status.h"

#include <signal.h>
#include <string.h>

#include <string>

#include <gtest/gtest.h>

namespace vorn {
namespace {

// Raw wait statuses, built by hand so that the tests do not depend on the
// machine's core-file settings.
constexpr int exited(int status) {
  return status << 8;
}
constexpr int killed(int signal, bool core = false) {
  return signal | (core ? 0x80 : 0);
}

TEST(InterpretToolStatus, NormalExitPassesTheStatusThrough) {
  EXPECT_EQ(interpret_tool_status("/t/ar", 0).exit_status, 0);
  WrapperOutcome two = interpret_tool_status("/t/ar", exited(2));
  EXPECT_EQ(two.exit_status, 2);
  EXPECT_EQ(two.message, "");
  EXPECT_EQ(interpret_tool_status("/t/ar", exited(255)).exit_status, 255);
}

TEST(InterpretToolStatus, SignalIsReportedWithOptionalCoreNote) {
  std::string description = strsignal(SIGSEGV);
  WrapperOutcome plain = interpret_tool_status("/t/ar", killed(SIGSEGV));
  EXPECT_EQ(plain.exit_status, 1);
  EXPECT_EQ(plain.message,
            "/t/ar terminated with signal " + std::to_string(SIGSEGV) + " [" + description + "]\n");

  WrapperOutcome core = interpret_tool_status("/t/ar", killed(SIGSEGV, true));
  EXPECT_EQ(core.exit_status, 1);
  EXPECT_EQ(core.message, "/t/ar terminated with signal " + std::to_string(SIGSEGV) + " [" +
                              description + "], core dumped\n");
}

TEST(InterpretToolStatus, ContinuedAndStoppedEndSilentlyWithOne) {
  WrapperOutcome continued = interpret_tool_status("/t/ar", 19);
  EXPECT_EQ(continued.exit_status, 1);
  EXPECT_EQ(continued.message, "");

  WrapperOutcome stopped = interpret_tool_status("/t/ar", (SIGSTOP << 8) | 0x7f);
  EXPECT_EQ(stopped.exit_status, 1);
  EXPECT_EQ(stopped.message, "");

  // Systems whose wait reports a continued child as 0xffff.
  EXPECT_EQ(interpret_tool_status("/t/ar", 0xffff).message, "");
}

}  // namespace
}  // namespace vorn
