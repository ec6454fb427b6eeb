// The environment manager's modes and the exact formats of the exported
// variables; COLLECT_VORN_OPTIONS must read back through the children's
// reader.
#include "driver/env_manager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/run_driver.h"
#include "options/collect_options_reader.h"
#include "specs/switches.h"

namespace vorn {
namespace {

class EnvManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The table does not own the argument arrays it made.
    for (CommandSwitch& sw : command_line().switches) std::free(sw.arguments);
    command_line().switches.clear();
    command_line().assembler_options.clear();
    command_line().dump_dir = nullptr;
    command_line().dump_dir_length = 0;
  }
  void TearDown() override {
    env_manager().restore();
    SetUp();
  }
  static void record(const char* option, std::vector<const char*> arguments = {}) {
    command_line().switches.record(option, arguments.size(), arguments.data(), true, true);
  }
};

TEST_F(EnvManagerTest, RestoreUndoesChangesNewestFirst) {
  setenv("VORN_TEST_A", "old", 1);
  unsetenv("VORN_TEST_B");
  env_manager().init(true, false);
  env_manager().xput("VORN_TEST_A=one");
  env_manager().xput("VORN_TEST_A=two");
  env_manager().xput("VORN_TEST_B=new");
  EXPECT_STREQ(env_manager().getenv("VORN_TEST_A"), "two");
  env_manager().restore();
  EXPECT_STREQ(std::getenv("VORN_TEST_A"), "old");
  EXPECT_EQ(std::getenv("VORN_TEST_B"), nullptr);
  // The records are gone: a second restore changes nothing.
  setenv("VORN_TEST_A", "later", 1);
  env_manager().restore();
  EXPECT_STREQ(std::getenv("VORN_TEST_A"), "later");
  unsetenv("VORN_TEST_A");
}

TEST_F(EnvManagerTest, TraceAndVerboseEcho) {
  unsetenv("VORN_TEST_C");
  env_manager().init(true, true);
  driver_state().options.x_verbose_flag = 1;
  ::testing::internal::CaptureStderr();
  env_manager().getenv("VORN_TEST_C");
  env_manager().xput("VORN_TEST_C=1");
  env_manager().restore();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "env_manager::getenv (VORN_TEST_C) -> (null)\n"
            "env_manager::xput (VORN_TEST_C=1)\n"
            "VORN_TEST_C=1\n"
            "saving old value: (null)\n"
            "restoring saved key: VORN_TEST_C value: (null)\n");
}

TEST_F(EnvManagerTest, PutWithoutEqualsIsAnInternalErrorWhenRecording) {
  env_manager().init(true, false);
  EXPECT_EXIT(env_manager().xput("NO_EQUALS"), ::testing::ExitedWithCode(4), "");
}

TEST_F(EnvManagerTest, CollectOptionsQuotesAndReadsBack) {
  record("-c");
  record("-o", {"it's.o"});
  record("-O2");
  EXPECT_EQ(collect_options_value(), "'-c' '-o' 'it'\\''s.o' '-O2'");
  std::vector<std::string> elements;
  ASSERT_TRUE(split_collected_options(collect_options_value().c_str(), &elements));
  EXPECT_EQ(elements, (std::vector<std::string>{"-c", "-o", "it's.o", "-O2"}));
}

TEST_F(EnvManagerTest, CollectOptionsEscapesEveryQuoteInSwitchesAndArguments) {
  record("-Dq='x'");
  record("-I", {"''"});
  EXPECT_EQ(collect_options_value(), "'-Dq='\\''x'\\''' '-I' ''\\'''\\'''");
  std::vector<std::string> elements;
  ASSERT_TRUE(split_collected_options(collect_options_value().c_str(), &elements));
  EXPECT_EQ(elements, (std::vector<std::string>{"-Dq='x'", "-I", "''"}));
}

TEST_F(EnvManagerTest, IgnoredSwitchLeavesItsBlankUnlessKeptForTheDriver) {
  record("-a");
  record("-b");
  record("-c");
  record("-d");
  command_line().switches[1].liveness = kSwitchIgnored;
  command_line().switches[2].liveness = kSwitchIgnored | kSwitchKeepForDriver;
  EXPECT_EQ(collect_options_value(), "'-a'  '-c' '-d'");
  std::vector<std::string> elements;
  ASSERT_TRUE(split_collected_options(collect_options_value().c_str(), &elements));
  EXPECT_EQ(elements, (std::vector<std::string>{"-a", "-c", "-d"}));
}

TEST_F(EnvManagerTest, DumpDirectoryComesLast) {
  command_line().dump_dir = "out/x'y-";
  command_line().dump_dir_length = 8;
  EXPECT_EQ(collect_options_value(), "'-dumpdir' 'out/x'\\''y-'");
  record("-c");
  EXPECT_EQ(collect_options_value(), "'-c' '-dumpdir' 'out/x'\\''y-'");
  export_collect_options();
  std::vector<std::string> elements;
  ASSERT_TRUE(split_collected_options(std::getenv("COLLECT_VORN_OPTIONS"), &elements));
  EXPECT_EQ(elements, (std::vector<std::string>{"-c", "-dumpdir", "out/x'y-"}));
}

TEST_F(EnvManagerTest, EachExportFollowsTheSwitchesAndTheDumpDirectory) {
  auto exported = [] {
    export_collect_options();
    return std::string(std::getenv("COLLECT_VORN_OPTIONS"));
  };
  record("-a");
  record("-b");
  EXPECT_EQ(exported(), "'-a' '-b'");
  EXPECT_EQ(exported(), "'-a' '-b'");
  command_line().switches[0].liveness = kSwitchIgnored;
  EXPECT_EQ(exported(), " '-b'");
  command_line().switches[0].liveness = kSwitchIgnored | kSwitchKeepForDriver;
  EXPECT_EQ(exported(), "'-a' '-b'");
  record("-c");
  EXPECT_EQ(exported(), "'-a' '-b' '-c'");
  // The same directory buffer with another text.
  char dir[] = "d1/";
  command_line().dump_dir = dir;
  EXPECT_EQ(exported(), "'-a' '-b' '-c' '-dumpdir' 'd1/'");
  dir[1] = '2';
  EXPECT_EQ(exported(), "'-a' '-b' '-c' '-dumpdir' 'd2/'");
  command_line().dump_dir = nullptr;
  // A table of the same length in its place (as the second compilation of
  // -fcompare-debug swaps them).
  SwitchTable other;
  other.record("-x", 0, nullptr, true, true);
  other.record("-y", 0, nullptr, true, true);
  other.record("-z", 0, nullptr, true, true);
  SwitchTable first = command_line().switches;
  command_line().switches = other;
  EXPECT_EQ(exported(), "'-x' '-y' '-z'");
  command_line().switches = first;
  EXPECT_EQ(exported(), "'-a' '-b' '-c'");
}

TEST_F(EnvManagerTest, AssemblerOptionsAreQuotedButNotEscaped) {
  unsetenv("COLLECT_AS_OPTIONS");
  export_assembler_options();
  EXPECT_EQ(std::getenv("COLLECT_AS_OPTIONS"), nullptr);
  command_line().assembler_options = {"-a", "-b", "x'y"};
  export_assembler_options();
  EXPECT_STREQ(std::getenv("COLLECT_AS_OPTIONS"), "'-a' '-b' 'x'y'");
}

TEST_F(EnvManagerTest, SimpleExportsAndTheirConditions) {
  unsetenv("OFFLOAD_TARGET_NAMES");
  export_offload_targets("");
  export_offload_targets(nullptr);
  EXPECT_EQ(std::getenv("OFFLOAD_TARGET_NAMES"), nullptr);
  export_offload_targets("a:b");
  EXPECT_STREQ(std::getenv("OFFLOAD_TARGET_NAMES"), "a:b");

  setenv("VORN_EXEC_PREFIX", "/given/", 1);
  export_exec_prefix("/computed/");
  EXPECT_STREQ(std::getenv("VORN_EXEC_PREFIX"), "/given/");
  unsetenv("VORN_EXEC_PREFIX");
  export_exec_prefix(nullptr);
  EXPECT_EQ(std::getenv("VORN_EXEC_PREFIX"), nullptr);
  export_exec_prefix("/computed/");
  EXPECT_STREQ(std::getenv("VORN_EXEC_PREFIX"), "/computed/");

  export_driver_name("../bin/vorn-cxx");
  EXPECT_STREQ(std::getenv("COLLECT_VORN"), "../bin/vorn-cxx");
}

}  // namespace
}  // namespace vorn
