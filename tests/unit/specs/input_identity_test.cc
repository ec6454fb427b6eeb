#include "specs/input_identity.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "scratch_dir.h"
#include "specs/switches.h"

namespace vorn {
namespace {

using testing::ScratchDir;

class InputIdentityTest : public ::testing::Test {
 protected:
  const char* add(const std::string& name, const char* language = nullptr) {
    const char* kept = xstrdup(name.c_str());
    command_line().inputs.add(kept, language);
    return kept;
  }
};

TEST_F(InputIdentityTest, LinksAndOtherSpellingsAreTheInput) {
  ScratchDir dir;
  const char* input = add(dir.write("a.c", "int x;"));
  ASSERT_EQ(link(input, (dir / "hard").c_str()), 0);
  ASSERT_EQ(symlink(input, (dir / "soft").c_str()), 0);
  dir.write("sub/other", "");
  EXPECT_STREQ(input_overwritten_by((dir / "hard").c_str()), input);
  EXPECT_STREQ(input_overwritten_by((dir / "soft").c_str()), input);
  EXPECT_STREQ(input_overwritten_by((dir / "sub/../a.c").c_str()), input);
  EXPECT_EQ(input_overwritten_by((dir / "sub/other").c_str()), nullptr);
  EXPECT_EQ(input_overwritten_by((dir / "missing").c_str()), nullptr);
}

TEST_F(InputIdentityTest, MissingInputsMatchOnlyByName) {
  const char* input = add("nowhere/x.o");
  EXPECT_STREQ(input_overwritten_by("nowhere/x.o"), input);
  EXPECT_EQ(input_overwritten_by("nowhere/./x.o"), nullptr);
}

TEST_F(InputIdentityTest, StreamsDevicesAndLinkerItemsNeverMatch) {
  ScratchDir dir;
  add("-");
  add("/dev/null");
  std::string item = dir.write("item.o", "");
  add(item, "*");
  EXPECT_EQ(input_overwritten_by("-"), nullptr);
  EXPECT_EQ(input_overwritten_by("/dev/null"), nullptr);
  EXPECT_EQ(input_overwritten_by(item.c_str()), nullptr);
}

TEST_F(InputIdentityTest, AnInputAddedLaterIsSeen) {
  ScratchDir dir;
  std::string first = dir.write("a.c", "");
  std::string second = dir.write("b.s", "");
  add(first);
  EXPECT_EQ(input_overwritten_by(second.c_str()), nullptr);
  const char* input = add(second);
  EXPECT_STREQ(input_overwritten_by(second.c_str()), input);
}

}  // namespace
}  // namespace vorn
