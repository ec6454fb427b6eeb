// The switch table, the input list and the name parts of the current input.
#include "specs/switches.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "specs/switch_index.h"
#include "support/memory.h"

namespace vorn {
namespace {

TEST(SwitchTableTest, StaysTerminatedWhileGrowingAndShrinking) {
  SwitchTable table;
  EXPECT_EQ(table.data(), nullptr);
  for (int i = 0; i < 40; ++i) {
    std::string text = "-f" + std::to_string(i);
    table.record(xstrdup(text.c_str()), 0, nullptr, true, false);
    ASSERT_EQ(table.data()[table.size()].text, nullptr) << i;
  }
  EXPECT_STREQ(table[39].text, "f39");
  EXPECT_EQ(table[39].liveness, 0u);
  EXPECT_FALSE(table[39].ordering);
  table.truncate(3);
  EXPECT_EQ(table.size(), 3u);
  EXPECT_EQ(table.data()[3].text, nullptr);

  SwitchTable copy = table;
  copy[0].liveness = kSwitchLive;
  EXPECT_EQ(table[0].liveness, 0u);
  EXPECT_NE(copy.revision(), table.revision());
}

TEST(SwitchTableTest, RecordingCopiesTheArgumentArray) {
  SwitchTable table;
  const char* arguments[] = {"a", "b"};
  CommandSwitch& sw = table.record("-Xlinker", 2, arguments, false, true);
  arguments[0] = "changed";
  EXPECT_STREQ(sw.text, "Xlinker");
  EXPECT_STREQ(sw.arguments[0], "a");
  EXPECT_STREQ(sw.arguments[1], "b");
  EXPECT_EQ(sw.arguments[2], nullptr);
  EXPECT_EQ(table.record("-c", 0, nullptr, false, true).arguments, nullptr);
}

TEST(InputListTest, TerminatedAndTaggedWithLanguage) {
  InputList inputs;
  for (int i = 0; i < 20; ++i) inputs.add("a.c", i % 2 == 0 ? nullptr : "*");
  EXPECT_EQ(inputs.data()[20].name, nullptr);
  EXPECT_STREQ(inputs[1].language, "*");
  EXPECT_EQ(inputs[2].compiler, nullptr);
}

struct NameCase {
  const char* name;
  const char* basename;
  std::size_t base_length;
  const char* suffix;
};

TEST(CurrentInputTest, NameParts) {
  const NameCase cases[] = {
      {"dir/x.tar.c", "x.tar.c", 5, "c"},
      {".profile", ".profile", 8, ""},
      {"dir.d/x", "x", 1, ""},
      {"a.", "a.", 1, ""},
      {"..x", "..x", 1, "x"},
      {"/abs/b.cc", "b.cc", 1, "cc"},
  };
  for (const NameCase& c : cases) {
    CurrentInput input;
    split_input_name(c.name, &input);
    EXPECT_STREQ(input.basename, c.basename) << c.name;
    EXPECT_EQ(input.base_length, c.base_length) << c.name;
    EXPECT_EQ(input.basename_length, std::strlen(c.basename)) << c.name;
    EXPECT_STREQ(input.suffix, c.suffix) << c.name;
  }
}

TEST(CurrentInputTest, SelectingTakesTheInputOrNone) {
  command_line().inputs.add("x.c", nullptr);
  select_input(0, nullptr);
  EXPECT_STREQ(compile_progress().input.name, "x.c");
  select_input(-1, nullptr);
  EXPECT_EQ(compile_progress().input.name, nullptr);
  EXPECT_EQ(compile_progress().input.index, -1);
  select_input(5, nullptr);
  EXPECT_EQ(compile_progress().input.index, -1);
}

TEST(SwitchTableTest, AssignmentToItselfKeepsTheRecords) {
  SwitchTable table;
  const char* arguments[] = {"a"};
  table.record("-x", 1, arguments, false, true);
  const SwitchTable& alias = table;
  table = alias;
  ASSERT_EQ(table.size(), 1u);
  EXPECT_STREQ(table[0].text, "x");
  EXPECT_STREQ(table[0].arguments[0], "a");
}

// "f6059" and "f264602" have the same hash: the index must tell them
// apart however the text is split into pieces.
TEST(SwitchTextIndexTest, TextsWithTheSameHashStayApart) {
  SwitchTextIndex index;
  EXPECT_EQ(index.last_position(TextPieces{"x", {}, {}}), -1);
  SwitchTable table;
  for (const char* text : {"-f6059", "-f264602", "-O1", "-f6059", "-g"}) {
    table.record(text, 0, nullptr, false, true);
  }
  index.update(table);
  EXPECT_EQ(index.last_position(TextPieces{"f", "6059", {}}), 3);
  EXPECT_EQ(index.last_position(TextPieces{"f", "264602", {}}), 1);
  EXPECT_EQ(index.last_position(TextPieces{"f", "2646", "02"}), 1);
  EXPECT_EQ(index.last_position(TextPieces{"f", "no-", "6059"}), -1);
  EXPECT_EQ(index.last_position(TextPieces{"g", {}, {}}), 4);
  EXPECT_EQ(index.last_optimization(), 2);
}

}  // namespace
}  // namespace vorn
