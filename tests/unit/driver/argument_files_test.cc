// "@file" splitting and expansion.
#include "driver/argument_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "../specs/scratch_dir.h"
#include "support/whole_file.h"

namespace vorn {
namespace {

using testing::ScratchDir;
using Words = std::vector<std::string>;

TEST(SplitArgumentFileText, QuotingAndEscapes) {
  EXPECT_EQ(split_argument_file_text("'a b' \"c d\" e\\ f"), (Words{"a b", "c d", "e f"}));
  // A backslash escapes inside both kinds of quotes; the other quote is
  // literal inside quotes.
  EXPECT_EQ(split_argument_file_text("\"x\\\"y\" 'p\"q' \"r's\""), (Words{"x\"y", "p\"q", "r's"}));
  // Quotes join with surrounding text into one argument; empty quotes
  // make an empty argument.
  EXPECT_EQ(split_argument_file_text("pre'mid dle'post '' \"\""),
            (Words{"premid dlepost", "", ""}));
  // Every blank character separates, runs count once.
  EXPECT_EQ(split_argument_file_text(" \t\na\v\f\rb\r\n"), (Words{"a", "b"}));
  EXPECT_TRUE(split_argument_file_text(" \n\t ").empty());
  EXPECT_TRUE(split_argument_file_text("").empty());
  // An unterminated quote runs to the end; a final backslash is dropped.
  EXPECT_EQ(split_argument_file_text("'open end"), (Words{"open end"}));
  EXPECT_EQ(split_argument_file_text("tail\\"), (Words{"tail"}));
  // Bytes are kept as they are.
  EXPECT_EQ(split_argument_file_text(std::string("a\0b c", 5)),
            (Words{std::string("a\0b", 3), "c"}));
}

class ExpandArgumentFilesTest : public ::testing::Test {
 protected:
  // Expands ARGS (program name first) and returns the resulting words.
  Words expand(const Words& args, bool* changed = nullptr) {
    storage_ = args;
    std::vector<char*> argv;
    for (std::string& arg : storage_) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    char** vector = argv.data();
    bool result = expand_argument_files(&argc, &vector);
    if (changed != nullptr) *changed = result;
    Words out;
    for (int i = 0; i < argc; ++i) out.push_back(vector[i]);
    EXPECT_EQ(vector[argc], nullptr);
    return out;
  }

  ScratchDir scratch_;
  Words storage_;
};

TEST_F(ExpandArgumentFilesTest, ReplacesInPlaceAndExpandsNestedFiles) {
  std::string inner = scratch_.write("inner", "-DINNER");
  std::string outer = scratch_.write("outer", "-c @" + inner + " 'x y.c'");
  bool changed = false;
  EXPECT_EQ(expand({"vorn-cxx", "-O2", "@" + outer, "z.c"}, &changed),
            (Words{"vorn-cxx", "-O2", "-c", "-DINNER", "x y.c", "z.c"}));
  EXPECT_TRUE(changed);
}

TEST_F(ExpandArgumentFilesTest, WordsKeepTheirBytesWhenPackedTogether) {
  // Empty words, quotes and escapes make words shorter than their text;
  // the last word runs to the end of the file without a blank.
  std::string file = scratch_.write("packed", "'' \"\" a\\ b\n'c d'e\\\\ \"\\\"\" x\"\ty\" last");
  std::string second = scratch_.write("second", "''");
  EXPECT_EQ(expand({"vorn-cxx", "@" + file, "@" + second, "z.c"}),
            (Words{"vorn-cxx", "", "", "a b", "c de\\", "\"", "x\ty", "last", "", "z.c"}));
}

TEST_F(ExpandArgumentFilesTest, MissingFilesAndPlainArgumentsStay) {
  bool changed = true;
  std::string missing = "@" + scratch_ / "nothing-here";
  EXPECT_EQ(expand({"vorn-cxx", missing, "@"}, &changed), (Words{"vorn-cxx", missing, "@"}));
  EXPECT_FALSE(changed);
  // argv[0] is never an argument file.
  std::string file = scratch_.write("f", "x");
  EXPECT_EQ(expand({"@" + file}, &changed), (Words{"@" + file}));
  EXPECT_FALSE(changed);
}

TEST_F(ExpandArgumentFilesTest, EmptyFileRemovesTheArgument) {
  std::string empty = scratch_.write("empty", " \n ");
  bool changed = false;
  EXPECT_EQ(expand({"vorn-cxx", "@" + empty, "a.c"}, &changed), (Words{"vorn-cxx", "a.c"}));
  EXPECT_TRUE(changed);
}

TEST_F(ExpandArgumentFilesTest, DirectoryIsFatal) {
  std::string dir = scratch_.path();
  EXPECT_EXIT(expand({"prog", "@" + dir}), ::testing::ExitedWithCode(1),
              "^prog: error: @-file refers to a directory\n$");
}

TEST_F(ExpandArgumentFilesTest, SelfIncludingFileStopsAtTheLimit) {
  std::string self = scratch_ / "self";
  scratch_.write("self", "@" + self);
  EXPECT_EXIT(expand({"prog", "@" + self}), ::testing::ExitedWithCode(1),
              "^prog: error: too many @-files encountered\n$");
}

}  // namespace
TEST_F(ExpandArgumentFilesTest, NulByteAndSizeBoundAreFatal) {
  std::string nul = scratch_.write("nul", std::string("a.c\0-DX", 7));
  EXPECT_EXIT(expand({"prog", "@" + nul}), ::testing::ExitedWithCode(1),
              "^prog: error: @-file '.*/nul' contains a NUL byte\n$");
  std::string big = scratch_.write("big", std::string(100, 'x'));
  std::string contents;
  set_whole_file_limit_for_testing(100);
  EXPECT_EQ(read_argument_file(big.c_str(), &contents), ArgumentFileRead::kRead);
  set_whole_file_limit_for_testing(99);
  EXPECT_EQ(read_argument_file(big.c_str(), &contents), ArgumentFileRead::kTooLarge);
  EXPECT_EXIT(expand({"prog", "@" + big}), ::testing::ExitedWithCode(1),
              "^prog: error: @-file '.*/big' is larger than 256 MiB\n$");
  set_whole_file_limit_for_testing(kWholeFileLimit);
}

TEST_F(ExpandArgumentFilesTest, PipesAreReadToTheirEnd) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string text = "a.c -DPIPED";
  ASSERT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(fds[1]);
  std::string path = "/dev/fd/" + std::to_string(fds[0]);
  EXPECT_EQ(expand({"prog", "-c", "@" + path}), (Words{"prog", "-c", "a.c", "-DPIPED"}));
  close(fds[0]);
}

}  // namespace vorn
