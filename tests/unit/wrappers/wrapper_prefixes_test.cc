#include "wrappers/wrapper_prefixes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorn {
namespace {

using Prefixes = std::vector<std::string>;

TEST(SplitSearchDirs, EmptyElementsMeanTheCurrentDirectory) {
  WrapperPrefixList list;
  split_search_dirs(":/bin::usr/local/:", list);
  EXPECT_EQ(list.prefixes, (Prefixes{"./", "/bin/", "./", "usr/local/", "./"}));
  EXPECT_EQ(list.max_length, 10u);

  WrapperPrefixList empty;
  split_search_dirs("", empty);
  EXPECT_EQ(empty.prefixes, Prefixes{"./"});
}

TEST(SplitSearchDirs, AppendsAfterExistingPrefixes) {
  WrapperPrefixList list;
  push_prefix(list, "/first/", false);
  split_search_dirs("/a:/b", list);
  push_prefix(list, "/front-of-all/", true);
  EXPECT_EQ(list.prefixes, (Prefixes{"/front-of-all/", "/first/", "/a/", "/b/"}));
  EXPECT_EQ(list.max_length, 14u);
}

TEST(PushDirectory, AColonIsPartOfTheName) {
  WrapperPrefixList list;
  push_directory(list, "/x/a:b/tree/bin");
  push_directory(list, "/x/a:b/tree/libexec/");
  EXPECT_EQ(list.prefixes, (Prefixes{"/x/a:b/tree/bin/", "/x/a:b/tree/libexec/"}));
}

TEST(EnvSearchDirs, UnsetVariableAddsNothing) {
  WrapperPrefixList list;
  unsetenv("VORN_WRAPPER_TEST_PATH");
  env_search_dirs("VORN_WRAPPER_TEST_PATH", list);
  EXPECT_TRUE(list.prefixes.empty());

  setenv("VORN_WRAPPER_TEST_PATH", "/x:", 1);
  env_search_dirs("VORN_WRAPPER_TEST_PATH", list);
  EXPECT_EQ(list.prefixes, (Prefixes{"/x/", "./"}));
  unsetenv("VORN_WRAPPER_TEST_PATH");
}

// A scratch tree: dir/ holds "tool" as a directory, plain/ as a readable
// file without execute permission, exec/ as an executable file.
class FindInPrefixes : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::path(VORN_TEST_TMPDIR) /
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "dir" / "tool");
    std::filesystem::create_directories(root_ / "plain");
    std::filesystem::create_directories(root_ / "exec");
    make_file(root_ / "plain" / "tool", 0644);
    make_file(root_ / "exec" / "tool", 0755);
  }

  static void make_file(const std::filesystem::path& path, mode_t mode) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    ASSERT_GE(fd, 0);
    close(fd);
    chmod(path.c_str(), mode);
  }

  std::string dir(const char* name) const { return (root_ / name).string() + "/"; }

  std::filesystem::path root_;
};

TEST_F(FindInPrefixes, SkipsDirectoriesAndFilesWithoutTheMode) {
  WrapperPrefixList list;
  push_prefix(list, dir("dir"), false);
  push_prefix(list, dir("plain"), false);
  push_prefix(list, dir("exec"), false);
  EXPECT_EQ(find_in_prefixes(list, "tool", X_OK), dir("exec") + "tool");
  EXPECT_EQ(find_in_prefixes(list, "tool", R_OK), dir("plain") + "tool");
  EXPECT_EQ(find_in_prefixes(list, "missing", R_OK), std::nullopt);
  EXPECT_EQ(find_in_prefixes(WrapperPrefixList{}, "tool", R_OK), std::nullopt);
}

TEST_F(FindInPrefixes, AbsoluteNameIgnoresThePrefixes) {
  WrapperPrefixList list;
  push_prefix(list, dir("exec"), false);
  std::string plain = dir("plain") + "tool";
  EXPECT_EQ(find_in_prefixes(list, plain, R_OK), plain);
  EXPECT_EQ(find_in_prefixes(list, plain, X_OK), std::nullopt);
  EXPECT_EQ(find_in_prefixes(list, "/nonexistent/tool", R_OK), std::nullopt);
}

TEST_F(FindInPrefixes, PrefixWithoutSeparatorIsJoinedAsGiven) {
  // A one-character -B prefix is kept without "/": "x" + "tool".
  std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(root_ / "exec");
  make_file(root_ / "exec" / "xtool", 0755);
  WrapperPrefixList list;
  push_prefix(list, "x", false);
  EXPECT_EQ(find_in_prefixes(list, "tool", X_OK), "xtool");
  std::filesystem::current_path(saved);
}

}  // namespace
}  // namespace vorn
