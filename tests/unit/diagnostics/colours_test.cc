#include <string>

#include <gtest/gtest.h>

#include "diagnostics/colours.h"
#include "diagnostics/diagnostic_context.h"
#include "test_support.h"

namespace vorn {
namespace {

using testing::ScopedEnv;
using testing::ScopedStderr;

class Colours : public ::testing::Test {
 protected:
  static std::string start(const char* name) { return colour_start(true, name); }
};

TEST_F(Colours, DefaultTable) {
  EXPECT_EQ(start("error"), "\033[01;31m\033[K");
  EXPECT_EQ(start("warning"), "\033[01;35m\033[K");
  EXPECT_EQ(start("note"), "\033[01;36m\033[K");
  EXPECT_EQ(start("locus"), "\033[01m\033[K");
  EXPECT_EQ(start("type-diff"), "\033[01;32m\033[K");
  EXPECT_EQ(start("diff-hunk"), "\033[36m\033[K");
  EXPECT_EQ(start("no-such"), "");
  EXPECT_EQ(start(nullptr), "");  // a kind without a colour
  EXPECT_EQ(start("err"), "");  // names match whole, not by prefix
  EXPECT_EQ(std::string(colour_start(true, "errorx", 5)), "\033[01;31m\033[K");
  EXPECT_EQ(std::string(colour_start(false, "error")), "");
  EXPECT_EQ(std::string(colour_stop(true)), "\033[m\033[K");
  EXPECT_EQ(std::string(colour_stop(false)), "");
}

TEST_F(Colours, SettingsReplaceNamedEntries) {
  EXPECT_TRUE(apply_colour_settings("error=01;33:locus="));
  EXPECT_EQ(start("error"), "\033[01;33m\033[K");
  EXPECT_EQ(start("locus"), "\033[m\033[K");
  EXPECT_EQ(start("warning"), "\033[01;35m\033[K");
  // A later application replaces (and frees) the earlier sequence.
  EXPECT_TRUE(apply_colour_settings("error=7"));
  EXPECT_EQ(start("error"), "\033[7m\033[K");
}

TEST_F(Colours, UnknownNamesAndEntriesWithoutValuesChangeNothing) {
  EXPECT_TRUE(apply_colour_settings("warning=01;36:bogus=1:note:ERROR=4"));
  EXPECT_EQ(start("warning"), "\033[01;36m\033[K");
  EXPECT_EQ(start("note"), "\033[01;36m\033[K");
  EXPECT_EQ(start("error"), "\033[01;31m\033[K");
}

TEST_F(Colours, MalformedEntriesStopTheReading) {
  // A leading "=" stops at once; colour stays on with the defaults.
  EXPECT_TRUE(apply_colour_settings("=01;32:error=4"));
  EXPECT_EQ(start("error"), "\033[01;31m\033[K");
  // A letter in a value stops there; the entry in progress is not applied
  // but the ones before it stay.
  EXPECT_TRUE(apply_colour_settings("note=1:error=01;3x:warning=4"));
  EXPECT_EQ(start("note"), "\033[1m\033[K");
  EXPECT_EQ(start("error"), "\033[01;31m\033[K");
  EXPECT_EQ(start("warning"), "\033[01;35m\033[K");
  // A second "=" in one entry, and an empty name after ":".
  EXPECT_TRUE(apply_colour_settings("error=1=2:warning=4"));
  EXPECT_EQ(start("error"), "\033[01;31m\033[K");
  EXPECT_TRUE(apply_colour_settings("note=0-1:error=4"));  // a sign is no digit either
  EXPECT_EQ(start("note"), "\033[1m\033[K");
  EXPECT_EQ(start("error"), "\033[01;31m\033[K");
  EXPECT_TRUE(apply_colour_settings("path=2::=3:quote=5"));
  EXPECT_EQ(start("path"), "\033[2m\033[K");
  EXPECT_EQ(start("quote"), "\033[01m\033[K");
}

TEST_F(Colours, EmptySettingsSwitchColourOff) {
  EXPECT_FALSE(apply_colour_settings(""));
  ScopedEnv colors("VORN_COLORS", "");
  EXPECT_FALSE(decide_colour(kModeAlways));
}

TEST_F(Colours, Decision) {
  ScopedEnv colors("VORN_COLORS", nullptr);
  EXPECT_FALSE(decide_colour(kModeNever));
  {
    ScopedEnv term("TERM", "dumb");
    EXPECT_TRUE(decide_colour(kModeAlways));  // always skips the terminal test
  }
  ScopedEnv term("TERM", "xterm");
  {
    ScopedStderr file(false);
    ASSERT_TRUE(file.ok());
    EXPECT_FALSE(decide_colour(kModeAuto));
    EXPECT_FALSE(decide_colour(-1));
  }
  ScopedStderr terminal(true);
  ASSERT_TRUE(terminal.ok());
  EXPECT_TRUE(decide_colour(kModeAuto));
  EXPECT_TRUE(decide_colour(-1));
  {
    ScopedEnv dumb("TERM", "dumb");
    EXPECT_FALSE(decide_colour(kModeAuto));
  }
  {
    ScopedEnv unset("TERM", nullptr);
    EXPECT_FALSE(decide_colour(kModeAuto));
  }
  {
    // Auto reaching "always" reads VORN_COLORS too.
    ScopedEnv off("VORN_COLORS", "");
    EXPECT_FALSE(decide_colour(kModeAuto));
  }
  {
    ScopedEnv custom("VORN_COLORS", "note=35");
    EXPECT_TRUE(decide_colour(kModeAuto));
    EXPECT_EQ(start("note"), "\033[35m\033[K");
  }
}

TEST_F(Colours, UnknownModeIsAnInternalError) {
  diagnostic_context_init(&diagnostic_context(), 0);
  EXPECT_EXIT(decide_colour(7), ::testing::ExitedWithCode(4), "in colorize_init");
}

}  // namespace
}  // namespace vorn
