// Command execution: the -v / -### echo, wrapper splitting and the
// bookkeeping of exit statuses.  Real commands from the system's PATH stand
// in for the compilers: no program prefix is set up here.  Pipes, wrappers,
// timing and signals are exercised through the driver in tests/driver.
#include "driver/execute.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../specs/scratch_dir.h"
#include "driver/driver.h"

namespace vorn {
namespace {

using testing::ScratchDir;

// The words as strings; the words themselves are freed.
std::vector<std::string> strings(const std::vector<const char*>& words) {
  std::vector<std::string> result(words.begin(), words.end());
  for (const char* word : words) std::free(const_cast<char*>(word));
  return result;
}

class ExecuteTest : public ::testing::Test {
 protected:
  ScratchDir scratch_;
};

TEST(EchoArgumentTest, ShellQuotingOnlyUnderHashes) {
  EXPECT_EQ(echo_argument("", false), " \"\"");
  EXPECT_EQ(echo_argument("", true), " \"\"");
  EXPECT_EQ(echo_argument("a b", false), " a b");
  EXPECT_EQ(echo_argument("a b", true), " \"a b\"");
  EXPECT_EQ(echo_argument("x$y", true), " \"x\\$y\"");
  EXPECT_EQ(echo_argument("say \"hi\\\"", true), " \"say \\\"hi\\\\\\\"\"");
  EXPECT_EQ(echo_argument("-I/usr/include_x-1.2", true), " -I/usr/include_x-1.2");
  // "=" and "," are not in the plain set.
  EXPECT_EQ(echo_argument("-Wl,-x", true), " \"-Wl,-x\"");
  EXPECT_EQ(echo_argument("-O=2", true), " \"-O=2\"");
}

TEST(SplitWrapperTest, CommasSeparateAndEmptyWordsVanish) {
  EXPECT_EQ(strings(split_wrapper("valgrind,--quiet")),
            (std::vector<std::string>{"valgrind", "--quiet"}));
  EXPECT_EQ(strings(split_wrapper(",,a,,,b,")), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(split_wrapper("").empty());
  EXPECT_TRUE(split_wrapper(",,,").empty());
  EXPECT_EQ(strings(split_wrapper("one word")), (std::vector<std::string>{"one word"}));
}

TEST_F(ExecuteTest, HashesShowsQuotedPipelineAndRunsNothing) {
  driver_state().verbose_only_count = 1;
  std::string marker = scratch_ / "ran";
  int before = execution_count();
  ::testing::internal::CaptureStderr();
  int status = execute({"touch", marker.c_str(), "a b", "", "|", "cat", "x$y"});
  std::string shown = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(execution_count(), before + 1);
  EXPECT_NE(access(marker.c_str(), F_OK), 0);
  EXPECT_EQ(shown, " touch " + marker + " \"a b\" \"\" |\n cat \"x\\$y\"\n");
}

TEST_F(ExecuteTest, VerboseEchoesUnquotedAndHelpSeparates) {
  driver_state().options.x_verbose_flag = 1;
  driver_state().help_requested = true;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(execute({"true", "a b", ""}), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "\n true a b \"\"\n");
}

TEST_F(ExecuteTest, ExitStatusesRaiseTheHighestChildStatus) {
  EXPECT_EQ(execute({"sh", "-c", "exit 3"}), -1);
  EXPECT_EQ(execute({"sh", "-c", "exit 2"}), -1);
  EXPECT_EQ(run_state().highest_child_status, 3);
  EXPECT_EQ(execute({"true"}), 0);
  EXPECT_EQ(run_state().highest_child_status, 3);
  // One failing stage fails the whole pipeline.
  EXPECT_EQ(execute({"true", "|", "false"}), -1);
}

TEST_F(ExecuteTest, ProgramThatCannotStartIsFatal) {
  EXPECT_EXIT(execute({"/nonexistent/dir/prog"}), ::testing::ExitedWithCode(1),
              "fatal error: cannot execute '/nonexistent/dir/prog': execvp: No such file or "
              "directory\n");
}

}  // namespace
}  // namespace vorn
