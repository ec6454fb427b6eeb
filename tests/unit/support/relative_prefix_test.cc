#include "support/relative_prefix.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vorn {
namespace {

namespace fs = std::filesystem;

constexpr char kBin[] = "/usr/local/bin/";
constexpr char kLib[] = "/usr/local/lib/vorn/";

std::optional<std::string> keep(std::string_view program, std::string_view bin = kBin,
                                std::string_view prefix = kLib) {
  return make_relative_prefix(program, bin, prefix, SymlinkMode::kKeep, nullptr);
}

// A fresh scratch directory, canonical so that resolved paths compare equal.
fs::path scratch_dir(const std::string& name) {
  fs::path dir = fs::path(VORN_TEST_TMPDIR) / "relative_prefix" / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return fs::canonical(dir);
}

void make_file(const fs::path& path, bool executable) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "#!/bin/sh\n";
  fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read);
}

TEST(RelativePrefixTest, ClimbsOutOfTheUnsharedBinComponents) {
  EXPECT_EQ(keep("/work/build/stage/bin/vorn-ar"), "/work/build/stage/bin/../lib/vorn/");
  EXPECT_EQ(keep("/opt/tc/bin/vorn-ar", "/usr/local/bin/x86/"), "/opt/tc/bin/../../lib/vorn/");
  EXPECT_EQ(keep("/opt/tc/bin/vorn-ar", kBin, "/usr/local/bin/"), "/opt/tc/bin/");
  // A prefix that is a parent of the bin directory: only climbing is left.
  EXPECT_EQ(keep("/opt/tc/bin/vorn-ar", kBin, "/usr/local/"), "/opt/tc/bin/../");
  // A run of separators is one separator but is kept as written.
  EXPECT_EQ(keep("/opt//tc/bin/vorn-ar"), "/opt//tc/bin/../lib/vorn/");
  // Nothing exists here, so resolving links leaves the path alone.
  EXPECT_EQ(make_relative_prefix("/work/x/bin/vorn-ar", kBin, kLib, SymlinkMode::kResolve, nullptr),
            "/work/x/bin/../lib/vorn/");
}

TEST(RelativePrefixTest, NothingToRelocate) {
  EXPECT_EQ(keep("/usr/local/bin/vorn-ar"), std::nullopt);  // where it was configured
  EXPECT_EQ(keep("vorn-ar"), std::nullopt);                 // no directory, no PATH
  EXPECT_EQ(keep(""), std::nullopt);
  EXPECT_EQ(keep("/opt/bin/vorn-ar", "usr/bin/", "opt/lib/"), std::nullopt);  // nothing shared
}

// Run as "bin/vorn-ar" the program is below the current directory, and so is
// the answer.
TEST(RelativePrefixTest, RelativeProgramGivesRelativePrefix) {
  EXPECT_EQ(keep("bin/vorn-ar"), "bin/../lib/vorn/");
  EXPECT_EQ(keep("./vorn-ar"), "./../lib/vorn/");
}

TEST(RelativePrefixTest, BareNameIsLookedUpInPath) {
  fs::path dir = scratch_dir("path");
  make_file(dir / "not-exec/vorn-tool", false);
  fs::create_directories(dir / "a-dir/vorn-tool");
  make_file(dir / "hit/vorn-tool", true);
  make_file(dir / "later/vorn-tool", true);
  std::string path = (dir / "not-exec").string() + ":" + (dir / "a-dir").string() +
                     "/:" + (dir / "missing").string() + ":" + (dir / "hit").string() + ":" +
                     (dir / "later").string();
  EXPECT_EQ(make_relative_prefix("vorn-tool", kBin, kLib, SymlinkMode::kKeep, path.c_str()),
            (dir / "hit").string() + "/../lib/vorn/");
  EXPECT_EQ(
      make_relative_prefix("vorn-tool", kBin, kLib, SymlinkMode::kKeep, (dir / "missing").c_str()),
      std::nullopt);
}

TEST(RelativePrefixTest, EmptyPathElementIsTheCurrentDirectory) {
  fs::path dir = scratch_dir("cwd");
  make_file(dir / "vorn-tool", true);
  fs::path saved = fs::current_path();
  fs::current_path(dir);
  auto kept = make_relative_prefix("vorn-tool", kBin, kLib, SymlinkMode::kKeep, "/nonexistent:");
  auto resolved =
      make_relative_prefix("vorn-tool", kBin, kLib, SymlinkMode::kResolve, ":/nonexistent");
  fs::current_path(saved);
  EXPECT_EQ(kept, "./../lib/vorn/");
  EXPECT_EQ(resolved, dir.string() + "/../lib/vorn/");
}

TEST(RelativePrefixTest, SymbolicLinksResolvedUnlessKept) {
  fs::path dir = scratch_dir("links");
  make_file(dir / "real/bin/vorn-ar", true);
  fs::create_directory_symlink(dir / "real", dir / "link");
  std::string program = (dir / "link/bin/vorn-ar").string();
  EXPECT_EQ(make_relative_prefix(program, kBin, kLib, SymlinkMode::kResolve, nullptr),
            (dir / "real/bin").string() + "/../lib/vorn/");
  EXPECT_EQ(keep(program), (dir / "link/bin").string() + "/../lib/vorn/");
}

}  // namespace
}  // namespace vorn
