#include "wrappers/wrapper_command.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorn {
namespace {

using Args = std::vector<std::string>;

TEST(TakePrefixOption, SeparateAndJoinedForms) {
  Args args = {"vorn-ar", "-B", "/opt/tc/bin", "rcs", "libx.a"};
  std::string prefix;
  EXPECT_EQ(take_prefix_option(args, prefix), PrefixOption::kTaken);
  EXPECT_EQ(prefix, "/opt/tc/bin/");
  EXPECT_EQ(args, (Args{"vorn-ar", "rcs", "libx.a"}));

  args = {"vorn-ar", "t", "-B/opt/tc/", "libx.a"};
  EXPECT_EQ(take_prefix_option(args, prefix), PrefixOption::kTaken);
  EXPECT_EQ(prefix, "/opt/tc/");
  EXPECT_EQ(args, (Args{"vorn-ar", "t", "libx.a"}));
}

TEST(TakePrefixOption, OnlyTheFirstIsConsumed) {
  Args args = {"vorn-nm", "-Bfirst", "-B", "second", "x.o"};
  std::string prefix;
  EXPECT_EQ(take_prefix_option(args, prefix), PrefixOption::kTaken);
  EXPECT_EQ(prefix, "first/");
  EXPECT_EQ(args, (Args{"vorn-nm", "-B", "second", "x.o"}));
}

TEST(TakePrefixOption, OneCharacterPrefixKeepsNoSeparator) {
  Args args = {"vorn-ar", "-B", "x"};
  std::string prefix;
  EXPECT_EQ(take_prefix_option(args, prefix), PrefixOption::kTaken);
  EXPECT_EQ(prefix, "x");
  EXPECT_EQ(args, Args{"vorn-ar"});
}

TEST(TakePrefixOption, MissingValueAndAbsentOption) {
  Args args = {"vorn-ar", "t", "-B"};
  std::string prefix;
  EXPECT_EQ(take_prefix_option(args, prefix), PrefixOption::kMissingArgument);

  args = {"vorn-ar", "t", "-b", "B"};
  EXPECT_EQ(take_prefix_option(args, prefix), PrefixOption::kAbsent);
  EXPECT_EQ(args, (Args{"vorn-ar", "t", "-b", "B"}));

  // The program's name is no option, whatever it looks like.
  args = {"-B", "rcs", "x.a"};
  EXPECT_EQ(take_prefix_option(args, prefix), PrefixOption::kAbsent);
  EXPECT_EQ(args, (Args{"-B", "rcs", "x.a"}));

  // Not even a name: nothing to scan.
  args = {};
  EXPECT_EQ(take_prefix_option(args, prefix), PrefixOption::kAbsent);
  EXPECT_TRUE(args.empty());
}

TEST(BuildToolArguments, ArchiverGetsADashOnItsOperation) {
  EXPECT_EQ(build_tool_arguments("/t/ar", "/p/lto.so", {"vorn-ar", "rcs", "libx.a", "a.o"}, true),
            (Args{"/t/ar", "--plugin", "/p/lto.so", "-rcs", "libx.a", "a.o"}));
  EXPECT_EQ(build_tool_arguments("/t/ar", "/p/lto.so", {"vorn-ar", "-rcs", "libx.a"}, true),
            (Args{"/t/ar", "--plugin", "/p/lto.so", "-rcs", "libx.a"}));
  // Only the first user argument is rewritten.
  EXPECT_EQ(build_tool_arguments("/t/ar", "/p/lto.so", {"vorn-ar", "t", "x"}, true),
            (Args{"/t/ar", "--plugin", "/p/lto.so", "-t", "x"}));
  // An empty operation becomes a lone dash rather than being read past.
  EXPECT_EQ(build_tool_arguments("/t/ar", "/p/lto.so", {"vorn-ar", "", "x"}, true),
            (Args{"/t/ar", "--plugin", "/p/lto.so", "-", "x"}));
}

TEST(BuildToolArguments, OtherToolsAndNoArguments) {
  EXPECT_EQ(build_tool_arguments("/t/nm", "/p/lto.so", {"vorn-nm", "libx.a"}, false),
            (Args{"/t/nm", "--plugin", "/p/lto.so", "libx.a"}));
  EXPECT_EQ(build_tool_arguments("/t/ar", "/p/lto.so", {"vorn-ar"}, true),
            (Args{"/t/ar", "--plugin", "/p/lto.so"}));
}

}  // namespace
}  // namespace vorn
