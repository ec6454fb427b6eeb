// The comparison of the two -fcompare-debug dumps: what counts as equal and
// how each kind of difference or unreadable dump is reported.
#include "driver/compare_debug.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>

#include "../specs/scratch_dir.h"

namespace vorn {
namespace {

using testing::ScratchDir;

struct Outcome {
  bool same;
  std::string messages;
};

Outcome compare(const std::string& first, const std::string& second) {
  ::testing::internal::CaptureStderr();
  bool same = compare_debug_dumps("in.cc", first.c_str(), second.c_str());
  return {same, ::testing::internal::GetCapturedStderr()};
}

TEST(CompareDebugDumps, EqualDumpsIncludingEmptyOnes) {
  ScratchDir dir;
  Outcome equal =
      compare(dir.write("a.gkd", "insn 1\ninsn 2\n"), dir.write("b.gkd", "insn 1\ninsn 2\n"));
  EXPECT_TRUE(equal.same);
  EXPECT_EQ(equal.messages, "");
  Outcome empty = compare(dir.write("e1.gkd", ""), dir.write("e2.gkd", ""));
  EXPECT_TRUE(empty.same);
  EXPECT_EQ(empty.messages, "");
}

TEST(CompareDebugDumps, DifferencesAreTheInputsFailure) {
  ScratchDir dir;
  Outcome length = compare(dir.write("a.gkd", "insn 1\n"), dir.write("b.gkd", "insn 1\nmore\n"));
  EXPECT_FALSE(length.same);
  EXPECT_NE(length.messages.find("in.cc: '-fcompare-debug' failure (length)"), std::string::npos)
      << length.messages;
  // A difference in the last byte only.
  Outcome bytes = compare(dir.write("c.gkd", "insn 1\n"), dir.write("d.gkd", "insn 2\n"));
  EXPECT_FALSE(bytes.same);
  EXPECT_NE(bytes.messages.find("in.cc: '-fcompare-debug' failure\n"), std::string::npos)
      << bytes.messages;
}

TEST(CompareDebugDumps, MissingOrIrregularDumps) {
  ScratchDir dir;
  std::string present = dir.write("a.gkd", "x");
  Outcome missing = compare(present, dir / "none.gkd");
  EXPECT_FALSE(missing.same);
  EXPECT_NE(missing.messages.find("in.cc: could not determine length of compare-debug file " +
                                  dir / "none.gkd"),
            std::string::npos)
      << missing.messages;
  // A directory has no length to compare either.
  Outcome directory = compare(dir.path(), present);
  EXPECT_FALSE(directory.same);
  EXPECT_NE(
      directory.messages.find("could not determine length of compare-debug file " + dir.path()),
      std::string::npos)
      << directory.messages;
}

TEST(CompareDebugDumps, UnreadableDumpCannotBeOpened) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  ScratchDir dir;
  std::string locked = dir.write("locked.gkd", "x", 0000);
  Outcome outcome = compare(dir.write("a.gkd", "x"), locked);
  EXPECT_FALSE(outcome.same);
  EXPECT_NE(outcome.messages.find("in.cc: could not open compare-debug file " + locked),
            std::string::npos)
      << outcome.messages;
}

// Holds the process to AVAILABLE more descriptors while it lives: opening
// then fails with EMFILE, for root as for anyone.
class ScopedDescriptorLimit {
 public:
  explicit ScopedDescriptorLimit(int available) {
    getrlimit(RLIMIT_NOFILE, &old_);
    int lowest_free = open("/dev/null", O_RDONLY);
    close(lowest_free);
    struct rlimit limit = old_;
    limit.rlim_cur = static_cast<rlim_t>(lowest_free + available);
    setrlimit(RLIMIT_NOFILE, &limit);
  }
  ~ScopedDescriptorLimit() { setrlimit(RLIMIT_NOFILE, &old_); }
  ScopedDescriptorLimit(const ScopedDescriptorLimit&) = delete;
  ScopedDescriptorLimit& operator=(const ScopedDescriptorLimit&) = delete;

 private:
  struct rlimit old_;
};

// compare() with at most AVAILABLE descriptors free during the comparison
// (the capture of standard error needs its own outside that time).
Outcome compare_with_descriptors(const std::string& first, const std::string& second,
                                 int available) {
  ::testing::internal::CaptureStderr();
  bool same;
  {
    ScopedDescriptorLimit limit(available);
    same = compare_debug_dumps("in.cc", first.c_str(), second.c_str());
  }
  return {same, ::testing::internal::GetCapturedStderr()};
}

TEST(CompareDebugDumps, DumpThatCannotBeOpenedEvenByRoot) {
  ScratchDir dir;
  std::string first = dir.write("a.gkd", "x");
  std::string second = dir.write("b.gkd", "x");
  Outcome outcome = compare_with_descriptors(first, second, 0);
  EXPECT_FALSE(outcome.same);
  EXPECT_EQ(outcome.messages, "vorn-cxx: error: in.cc: could not open compare-debug file " +
                                  first + "\n");
}

// Files of the kernel's attribute file system have a length and open like
// any other, but cannot be mapped: they are compared as streams.
TEST(CompareDebugDumps, DumpsThatCannotBeMappedAreReadAsStreams) {
  const std::string attribute = "/sys/kernel/mm/transparent_hugepage/enabled";
  if (access(attribute.c_str(), R_OK) != 0) GTEST_SKIP() << "no " << attribute;
  Outcome same = compare(attribute, attribute);
  EXPECT_TRUE(same.same);
  EXPECT_EQ(same.messages, "");

  // One descriptor: enough to try mapping each file in turn, not to hold
  // both streams open.
  Outcome second_unopened = compare_with_descriptors(attribute, attribute, 1);
  EXPECT_FALSE(second_unopened.same);
  EXPECT_EQ(second_unopened.messages,
            "vorn-cxx: error: in.cc: could not open compare-debug file " + attribute + "\n");

  const std::string other = "/sys/kernel/mm/transparent_hugepage/defrag";
  if (access(other.c_str(), R_OK) != 0) return;
  Outcome different = compare(attribute, other);
  EXPECT_FALSE(different.same);
  EXPECT_EQ(different.messages, "vorn-cxx: error: in.cc: '-fcompare-debug' failure\n");
}

}  // namespace
}  // namespace vorn
