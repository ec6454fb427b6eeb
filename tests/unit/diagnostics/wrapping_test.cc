#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "diagnostics/pretty_printer.h"

namespace vorn {
namespace {

constexpr char kPrefix[] = "vorn-cxx: error: ";
constexpr char kLongMessage[] =
    "the option list names a file that does not exist and cannot be created here";

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::string wrapped(int width, PrefixMode mode, const char* message) {
  PrettyPrinter printer(width);
  printer.set_prefix_mode(mode);
  printer.set_prefix(std::string(kPrefix));
  printer.print("%s", message);
  printer.newline();
  return printer.text();
}

TEST(Wrapping, OnceRuleIndentsContinuationLinesAndKeepsWords) {
  std::string text = wrapped(40, PrefixMode::kOnce, kLongMessage);
  EXPECT_EQ(text,
            "vorn-cxx: error: the option list names \n"
            "   a file that does not exist and \n"
            "   cannot be created here\n");
  std::vector<std::string> lines = lines_of(text);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].compare(0, 3, "   "), 0) << lines[i];
    EXPECT_NE(lines[i][3], ' ') << lines[i];
  }
}

TEST(Wrapping, AWordLongerThanTheLineIsNeverSplit) {
  std::string word(60, 'x');
  std::string message = "see " + word + " now";
  std::string text = wrapped(40, PrefixMode::kOnce, message.c_str());
  EXPECT_EQ(text, "vorn-cxx: error: see \n   " + word + "\n   now\n");

  // Even at the start of a line: no empty line before it.
  PrettyPrinter printer(20);
  printer.print("%s", word.c_str());
  EXPECT_EQ(printer.text(), word);
}

TEST(Wrapping, EveryLineRuleRepeatsThePrefix) {
  std::string text = wrapped(60, PrefixMode::kEveryLine, kLongMessage);
  // 60 columns minus the prefix leave 43, so no extra room is added.
  for (const std::string& line : lines_of(text)) {
    EXPECT_EQ(line.compare(0, sizeof kPrefix - 1, kPrefix), 0) << line;
  }
  EXPECT_GT(lines_of(text).size(), 1u);

  PrettyPrinter narrow(30);
  narrow.set_prefix_mode(PrefixMode::kEveryLine);
  narrow.set_prefix(std::string(kPrefix));
  EXPECT_EQ(narrow.wrap_width(), 62);  // a long prefix gets 32 extra columns
  // The room is measured against the prefix in force, whichever is set last.
  PrettyPrinter medium(40);
  medium.set_prefix_mode(PrefixMode::kEveryLine);
  EXPECT_EQ(medium.wrap_width(), 40);
  medium.set_prefix(std::string(kPrefix));
  EXPECT_EQ(medium.wrap_width(), 72);
  medium.set_prefix(std::nullopt);
  EXPECT_EQ(medium.wrap_width(), 40);
}

TEST(Wrapping, WithoutCutoffNewlinesPassThroughUnprefixed) {
  PrettyPrinter printer(0);
  printer.set_prefix(std::string(kPrefix));
  printer.print("first\n  second %s", "third\nfourth");
  EXPECT_EQ(printer.text(), "vorn-cxx: error: first\n  second third\nfourth");
}

TEST(Wrapping, EachMessageStartsItsPrefixAfresh) {
  // Under the once rule a new message gets the prefix again, not the
  // continuation indentation of the message before it.
  PrettyPrinter printer(40);
  printer.set_prefix(std::string("p: "));
  printer.print("one");
  printer.newline();
  printer.print("two");
  EXPECT_EQ(printer.text(), "p: one\np: two");
}

TEST(Wrapping, NeverRuleAndVerbatimPrintNoPrefix) {
  PrettyPrinter never(40);
  never.set_prefix_mode(PrefixMode::kNever);
  never.set_prefix(std::string(kPrefix));
  never.print("short");
  EXPECT_EQ(never.text(), "short");

  PrettyPrinter printer(10);
  printer.set_prefix(std::string(kPrefix));
  printer.verbatim("%s", "a verbatim line is not wrapped at all");
  EXPECT_EQ(printer.text(), "a verbatim line is not wrapped at all");
  // The settings come back afterwards.
  EXPECT_EQ(printer.prefix_mode(), PrefixMode::kOnce);
  EXPECT_EQ(printer.wrap_width(), 10);
}

TEST(Wrapping, FlushWritesToTheSinkAndResetsThePrefixState) {
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  PrettyPrinter printer;
  printer.store.sink = sink;
  printer.set_prefix(std::string("p: "));
  printer.print("one");
  printer.newline_and_flush();
  EXPECT_EQ(printer.text(), "");
  EXPECT_FALSE(printer.prefix_written);
  printer.print("two");
  printer.newline_and_flush();
  std::rewind(sink);
  char buffer[64] = {};
  std::fread(buffer, 1, sizeof buffer - 1, sink);
  EXPECT_STREQ(buffer, "p: one\np: two\n");
  std::fclose(sink);
}

TEST(Wrapping, CopiesKeepSettingsButNotThePrefix) {
  PrettyPrinter printer(50);
  printer.colour_on = true;
  printer.link_style = 1;
  printer.set_prefix(std::string("p: "));
  printer.print("text");
  PrettyPrinter copy(printer);
  EXPECT_TRUE(copy.colour_on);
  EXPECT_EQ(copy.link_style, 1);
  EXPECT_EQ(copy.requested_width(), 50);
  EXPECT_FALSE(copy.prefix().has_value());
  EXPECT_EQ(copy.text(), "");
}

TEST(Wrapping, TabsBecomeOneSpaceAndNewlinesStartIndentedLines) {
  PrettyPrinter printer(20);
  printer.set_prefix(std::string("p: "));
  printer.print("%s", "one\ttwo three four five six\nseven");
  EXPECT_EQ(printer.text(), "p: one two three \n   four five six\n   seven");
}

TEST(Wrapping, SingleCharactersAtTheEndOfTheLine) {
  // A character with no room left starts a new line; a blank there is
  // dropped rather than starting the line.
  PrettyPrinter printer(4);
  printer.append_string("abcd");
  printer.space();
  printer.append_char('e');
  printer.append_string("fg");
  printer.append_char('h');
  printer.append_char('i');
  printer.append_string("jk");
  printer.append_char('l');
  printer.append_char('\x01');  // a control character is no blank
  EXPECT_EQ(printer.text(), "abcd\nefgh\nijkl\n\x01");

  // The bytes that continue a UTF-8 character stay with its first byte.
  PrettyPrinter utf8(3);
  utf8.append_string("ab");
  for (char c : std::string("\xc3\xa9\xc3\xa9")) utf8.append_char(c);
  EXPECT_EQ(utf8.text(), "ab\xc3\xa9\n\xc3\xa9");
}

}  // namespace
}  // namespace vorn
