// The deletion lists, the temporary directory choice and temporary names.
#include "driver/temp_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../specs/scratch_dir.h"

namespace vorn {
namespace {

using testing::ScratchDir;

bool exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

std::vector<std::string> names(TempFileNode* list) {
  std::vector<std::string> result;
  for (TempFileNode* node = list; node != nullptr; node = node->next) result.push_back(node->name);
  return result;
}

class TempFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("TMPDIR");
    unsetenv("TMP");
    unsetenv("TEMP");
  }
  // The deletion lists belong to the process, not to the run: each test
  // leaves them empty for the next, without deleting what they name.
  void TearDown() override {
    for (const std::string& name : names(delete_at_exit)) keep_temp_file(name.c_str());
    forget_failure_files();
  }
  ScratchDir scratch_;
};

TEST_F(TempFilesTest, RecordingKeepsOneEntryPerNameNewestFirst) {
  register_temp_file("a", true, false);
  register_temp_file("b", true, true);
  register_temp_file("a", true, true);
  register_temp_file("b", false, true);
  EXPECT_EQ(names(delete_at_exit), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(names(delete_on_failure), (std::vector<std::string>{"a", "b"}));
  // After forgetting, a name starts a new failure scope.
  forget_failure_files();
  EXPECT_EQ(delete_on_failure, nullptr);
  register_temp_file("a", false, true);
  EXPECT_EQ(names(delete_on_failure), (std::vector<std::string>{"a"}));
}

TEST_F(TempFilesTest, StandardOutputIsNeverRecordedAndKeptNamesLeave) {
  register_temp_file("-", true, true);
  EXPECT_EQ(delete_at_exit, nullptr);
  EXPECT_EQ(delete_on_failure, nullptr);
  register_temp_file("a", true, false);
  register_temp_file("b", true, false);
  register_temp_file("c", true, false);
  keep_temp_file("b");
  keep_temp_file("not-recorded");
  EXPECT_EQ(names(delete_at_exit), (std::vector<std::string>{"c", "a"}));
  keep_temp_file("c");
  EXPECT_EQ(names(delete_at_exit), (std::vector<std::string>{"a"}));
  // A kept name may be recorded again.
  register_temp_file("b", true, false);
  EXPECT_EQ(names(delete_at_exit), (std::vector<std::string>{"b", "a"}));
}

TEST_F(TempFilesTest, DeletionTouchesOnlyRegularFiles) {
  std::string file = scratch_.write("out.o", "x");
  std::string directory = scratch_.mkdir("dir");
  register_temp_file(file.c_str(), false, true);
  register_temp_file(directory.c_str(), false, true);
  register_temp_file("/dev/null", false, true);
  register_temp_file((scratch_ / "missing").c_str(), false, true);
  remove_failure_files();
  EXPECT_FALSE(exists(file));
  EXPECT_TRUE(exists(directory));
  EXPECT_TRUE(exists("/dev/null"));
  // The failure list survives its processing; the next input forgets it.
  EXPECT_EQ(names(delete_on_failure).size(), 4u);
}

TEST_F(TempFilesTest, RemoveTempFilesEmptiesTheList) {
  std::string first = scratch_.write("a.s", "");
  std::string second = scratch_.write("b.s", "");
  std::string output = scratch_.write("prog", "");
  register_temp_file(first.c_str(), true, false);
  register_temp_file(second.c_str(), true, false);
  register_temp_file(output.c_str(), false, true);
  remove_temp_files();
  EXPECT_FALSE(exists(first));
  EXPECT_FALSE(exists(second));
  EXPECT_TRUE(exists(output));
  EXPECT_EQ(delete_at_exit, nullptr);
  // A name recorded again after the deletion is recorded afresh.
  register_temp_file(first.c_str(), true, false);
  EXPECT_EQ(names(delete_at_exit), (std::vector<std::string>{first}));
}

// The way out: temporaries always go (the list is detached, not freed);
// outputs go unless the ending keeps them.
TEST_F(TempFilesTest, EachEndingRemovesTemporariesAndOutputsOnlyOnFailure) {
  const struct {
    Ending ending;
    bool output_stays;
  } cases[] = {{Ending::kSuccess, true},
               {Ending::kKeepOutputs, true},
               {Ending::kFailure, false},
               {Ending::kSignal, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.ending));
    std::string temp = scratch_.write("t.s", "");
    std::string output = scratch_.write("t.o", "");
    register_temp_file(temp.c_str(), true, false);
    register_temp_file(output.c_str(), false, true);
    TempFileNode* detached = delete_at_exit;
    remove_files_at_exit(c.ending);
    EXPECT_FALSE(exists(temp));
    EXPECT_EQ(exists(output), c.output_stays);
    EXPECT_EQ(delete_at_exit, nullptr);
    std::free(detached->name);
    std::free(detached);
    // Forgets the detached names and empties the failure list, so that
    // the next case records both names afresh.
    remove_temp_files();
    forget_failure_files();
  }
}

TEST_F(TempFilesTest, DirectoryComesFromTheFirstUsableVariable) {
  setenv("TMPDIR", scratch_.write("not-a-dir", "").c_str(), 1);
  setenv("TMP", (scratch_ / "missing").c_str(), 1);
  setenv("TEMP", scratch_.path().c_str(), 1);
  EXPECT_EQ(std::string(temporary_directory()), scratch_.path() + "/");
  // Chosen once: later changes of the environment do not matter.
  unsetenv("TEMP");
  EXPECT_EQ(std::string(temporary_directory()), scratch_.path() + "/");
}

TEST_F(TempFilesTest, NewNamesAreCreatedPrivateAndUnique) {
  setenv("TMPDIR", scratch_.path().c_str(), 1);
  auto take = [](const char* name) {
    std::string copy = name;
    std::free(const_cast<char*>(name));
    return copy;
  };
  std::string first = take(new_temp_name(".s"));
  std::string second = take(new_temp_name(".s"));
  std::string prefixed = take(new_temp_name_with_prefix("dump", nullptr));
  EXPECT_NE(first, second);
  // Recorded for deletion from the moment each file exists.
  EXPECT_EQ(names(delete_at_exit), (std::vector<std::string>{prefixed, second, first}));
  EXPECT_EQ(first.rfind(scratch_.path() + "/cc", 0), 0u);
  EXPECT_EQ(first.substr(first.size() - 2), ".s");
  EXPECT_EQ(first.size(), scratch_.path().size() + 1 + 2 + 6 + 2);
  EXPECT_EQ(prefixed.rfind(scratch_.path() + "/dump", 0), 0u);
  struct stat info;
  ASSERT_EQ(stat(first.c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_size, 0);
}

// The process ends at once, but the temporaries made so far go with it;
// outputs stay.
TEST_F(TempFilesTest, CreationFailureEndsTheProcessRemovingOnlyTemporaries) {
  std::string output = scratch_.write("keep.o", "");
  std::string temporary = scratch_.write("earlier.s", "");
  std::string directory = scratch_.mkdir("gone");
  setenv("TMPDIR", directory.c_str(), 1);
  EXPECT_EXIT(
      {
        set_exit_cleanup(remove_files_at_exit);
        register_temp_file(output.c_str(), false, true);
        register_temp_file(temporary.c_str(), true, false);
        temporary_directory();
        rmdir(directory.c_str());
        new_temp_name(".o");
      },
      ::testing::ExitedWithCode(1), "Cannot create temporary file in .*gone/+: ");
  EXPECT_TRUE(exists(output));
  EXPECT_FALSE(exists(temporary));
}

}  // namespace
}  // namespace vorn
