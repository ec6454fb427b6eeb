// Multilib selection over specs-file strings: matches, defaults and their
// option groups, exclusions, reuse entries, the three directories, and the
// printed table with its skipping rules.
#include "specs/multilib.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "spec_test_support.h"
#include "specs/run_specs.h"

namespace vorn::testing {
namespace {

using ::testing::ExitedWithCode;

class MultilibTest : public SpecTest {
 protected:
  // Drops what selection has read (the default list, the options in use),
  // so that one test can select again over changed switches or strings.
  static void forget_selection() { run_specs().multilib = MultilibState{}; }

  void set(const char* name, const char* text) { define_spec(name, text, true); }

  // The three directories after selection, "-" for an absent one.
  std::string select() {
    select_multilib();
    const SearchPaths& paths = search_paths();
    auto show = [](const char* dir) { return std::string(dir != nullptr ? dir : "-"); };
    return show(paths.multilib_dir) + " " + show(paths.multilib_os_dir) + " " +
           show(paths.multiarch_dir);
  }

  std::string table() {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    print_multilib_table(stream);
    std::fclose(stream);
    std::string result(text, size);
    std::free(text);
    return result;
  }
};

TEST_F(MultilibTest, BuiltInStringsSelectNothingAndPrintTheDefaultEntry) {
  add_switch("-mabi=ilp32");
  EXPECT_EQ(select(), "- - -");
  EXPECT_EQ(table(), ".;\n");
}

TEST_F(MultilibTest, MatchedSwitchChoosesItsDirectoryAndOsDirectory) {
  set("multilib", ". !m32;32:../lib32 m32;");
  set("multilib_matches", "m32 m32;");
  EXPECT_EQ(select(), "- - -");

  forget_selection();
  add_switch("-m32", {}, false);
  EXPECT_EQ(select(), "32 ../lib32 -");
  EXPECT_EQ(table(), ".;\n32;@m32\n");
}

TEST_F(MultilibTest, OnlySwitchesListedInMatchesCount) {
  set("multilib", ". !m32;32:../lib32 m32;");
  add_switch("-m32");
  EXPECT_EQ(select(), "- - -");

  // Another switch may stand for m32; an ignored one does not.
  forget_selection();
  command_line().switches.clear();
  set("multilib_matches", "mcpu=x m32;");
  add_switch("-mcpu=x");
  EXPECT_EQ(select(), "32 ../lib32 -");
  EXPECT_TRUE(option_in_use("m32", 3));
  EXPECT_FALSE(option_in_use("m3", 2));
  EXPECT_FALSE(option_in_use("mcpu=x", 6));

  forget_selection();
  command_line().switches[0].liveness = kSwitchIgnored;
  EXPECT_EQ(select(), "- - -");
}

TEST_F(MultilibTest, DefaultsCountUnlessTheirGroupHasAnotherChoice) {
  set("multilib", "ilp32:../libilp32 mabi=ilp32;lp64:../lib64 mabi=lp64;");
  set("multilib_matches", "mabi=ilp32 mabi=ilp32;mabi=lp64 mabi=lp64;");
  set("multilib_options", "m32/m64 mabi=lp64/mabi=ilp32");
  EXPECT_TRUE(option_is_default("mabi=lp64", 9));
  EXPECT_FALSE(option_is_default("mabi=lp6", 8));
  EXPECT_EQ(select(), "lp64 ../lib64 -");

  forget_selection();
  add_switch("-mabi=ilp32");
  EXPECT_EQ(select(), "ilp32 ../libilp32 -");
  EXPECT_FALSE(option_in_use("mabi=lp64", 9));
}

// Specs files are written by hand: blanks around the defaults, a last
// match without its ";", and entries none of which fits.
TEST_F(MultilibTest, LooseStringsFromSpecsFiles) {
  set("multilib", "32:../lib32 m32;64:../lib64 m64;");
  set("multilib_matches", "m32 m32;mfoo m64");
  set("multilib_defaults", "  mabi=lp64 ");
  set("multilib_options", "mabi=lp64/mabi=ilp32");
  EXPECT_EQ(select(), "- - -");
  EXPECT_TRUE(option_is_default("mabi=lp64", 9));
  EXPECT_TRUE(option_in_use("mabi=lp64", 9));

  forget_selection();
  add_switch("-mfoo");
  EXPECT_EQ(select(), "64 ../lib64 -");
}

TEST_F(MultilibTest, MissingDefaultChoosesTheDirectoryButNotTheOsDirectory) {
  // No option group names the default, so it is never in use: the first
  // entry still gives the directory, the exact match comes later.
  set("multilib", "a:osa mabi=lp64;b:osb:arch-b;");
  EXPECT_EQ(select(), "a osb arch-b");

  // Without a multilib directory an operating-system "." is dropped.
  forget_selection();
  set("multilib", ". mabi=lp64;x:: ;");
  EXPECT_EQ(select(), "- - -");

  // With one, a missing operating-system directory is the multilib one.
  forget_selection();
  set("multilib", "\n32 ;\n");
  EXPECT_EQ(select(), "32 32 -");
}

TEST_F(MultilibTest, ExclusionsLeaveEveryDirectoryAbsent) {
  set("multilib", "32:../lib32 m32;. ;");
  set("multilib_matches", "m32 m32;");
  set("multilib_exclusions", "m32 !mfoo;\n");
  add_switch("-m32");
  EXPECT_EQ(select(), "- - -");

  forget_selection();
  set("multilib_exclusions", "m32 mfoo;");
  EXPECT_EQ(select(), "32 ../lib32 -");

  forget_selection();
  set("multilib_exclusions", ";");
  EXPECT_EQ(select(), "- - -");
}

TEST_F(MultilibTest, ReuseEntriesAreCandidatesButNotPrinted) {
  set("multilib", ". !m32;");
  set("multilib_reuse", "32:../lib32 m32;");
  set("multilib_matches", "m32 m32;");
  add_switch("-m32");
  EXPECT_EQ(select(), "32 ../lib32 -");
  EXPECT_EQ(table(), ".;\n");
}

TEST_F(MultilibTest, MalformedStringsAreFatal) {
  add_switch("-m32");
  set("multilib", "32 m32;. ;");
  set("multilib_matches", "m32;");
  EXPECT_EXIT(select(), ExitedWithCode(1), "multilib spec .m32;. is invalid");
  set("multilib_matches", "m32 m 32;");
  EXPECT_EXIT(select(), ExitedWithCode(1), "multilib spec .* is invalid");

  set("multilib_matches", "");
  set("multilib_exclusions", "m32 !mfoo");
  EXPECT_EXIT(select(), ExitedWithCode(1), "multilib exclusions .m32 !mfoo. is invalid");

  set("multilib_exclusions", "");
  set("multilib", "64 m64;32 m32");
  EXPECT_EXIT(select(), ExitedWithCode(1), "multilib select .* is invalid");
  set("multilib", "32 m32 ;32");
  EXPECT_EXIT(select(), ExitedWithCode(1), "multilib select .* is invalid");
  EXPECT_EXIT(table(), ExitedWithCode(1), "multilib select .32 m32 ;32. .. is invalid");
}

TEST_F(MultilibTest, TableSkipsHiddenExcludedDuplicateAndDefaultOnlyEntries) {
  set("multilib",
      ". !m32 !mx32;.:hidden m9;.::shown mq;32 m32;32 m32 mfoo;x32 mx32;lp64 mabi=lp64;"
      "n64 !mabi=lp64 m64;");
  set("multilib_exclusions", "mx32;");
  EXPECT_EQ(table(), ".;\n.;@mq\n32;@m32\nn64;@m64\n");

  set("multilib_extra", "mextra  mmore ");
  set("multilib", "32:../lib32 m32;");
  EXPECT_EQ(table(), "32;@m32@mextra@mmore\n");

  // An exclusion whose options are all defaults or present covers the
  // entry; an empty one covers everything.
  set("multilib_exclusions", "mabi=lp64 m32;");
  EXPECT_EQ(table(), "");
  set("multilib_exclusions", ";");
  EXPECT_EQ(table(), "");
}

}  // namespace
}  // namespace vorn::testing
