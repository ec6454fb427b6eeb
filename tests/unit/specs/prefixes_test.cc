#include "specs/prefixes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "config.h"
#include "scratch_dir.h"
#include "specs/named_specs.h"
#include "specs/run_specs.h"

namespace vorn {
namespace {

using Paths = std::vector<std::string>;

// The text of an allocated result, which is released; "(null)" for none.
std::string take(char* result) {
  std::string text = result != nullptr ? result : "(null)";
  std::free(result);
  return text;
}

// The environment seen by relocation.
std::map<std::string, std::string>& fake_environment() {
  static std::map<std::string, std::string> variables;
  return variables;
}

const char* fake_getenv(const char* name) {
  auto found = fake_environment().find(name);
  return found != fake_environment().end() ? found->second.c_str() : nullptr;
}

class PrefixesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_environment().clear();
    search_paths().getenv = fake_getenv;
  }

  // Empty lists and every field as a run starts (the C library's getenv
  // again).
  static void forget_search_paths() { run_specs().search_paths = SearchPaths{}; }

  static Paths prefixes_of(const PrefixList& list) {
    Paths out;
    for (const SearchPrefix* p = list.first; p != nullptr; p = p->next) out.push_back(p->prefix);
    return out;
  }

  static void add(const std::string& prefix, int requirement, bool os_multilib,
                  int priority = kPrefixPriorityOther) {
    add_search_prefix(&search_paths().startfile_prefixes, prefix.c_str(), nullptr, priority,
                      requirement, os_multilib);
  }

  static void* record(char* path, void* data) {
    static_cast<Paths*>(data)->push_back(path);
    return nullptr;
  }

  static Paths walk(bool do_multilib) {
    Paths visited;
    visit_search_paths(&search_paths().startfile_prefixes, do_multilib, 0, record, &visited);
    return visited;
  }

  testing::ScratchDir dir_;
};

TEST_F(PrefixesTest, PriorityOrderKeepsInsertionOrderWithinAPriority) {
  PrefixList& list = search_paths().exec_prefixes;
  add_search_prefix(&list, "/a/", nullptr, kPrefixPriorityOther, kPrefixPlain, false);
  add_search_prefix(&list, "/b1/", nullptr, kPrefixPriorityB, kPrefixPlain, false);
  add_search_prefix(&list, "/c/longest/", nullptr, kPrefixPriorityOther, kPrefixPlain, false);
  add_search_prefix(&list, "/b2/", nullptr, kPrefixPriorityB, kPrefixPlain, false);
  EXPECT_EQ(prefixes_of(list), (Paths{"/b1/", "/b2/", "/a/", "/c/longest/"}));
  EXPECT_EQ(list.max_length, std::strlen("/c/longest/"));
  EXPECT_STREQ(list.name, "exec");
}

TEST_F(PrefixesTest, RelocationMovesStandardPrefixBelowTheRoot) {
  set_standard_prefix("/opt/std/xyz", 8);
  EXPECT_EQ(take(relocate_prefix("/opt/std/lib/vorn/", "VORN")), "/opt/std/lib/vorn/");

  fake_environment()["VORN_ROOT"] = "/new/root";
  fake_environment()["BINUTILS_ROOT"] = "/bin/root/";
  fake_environment()["MYDIR"] = "/mine";
  EXPECT_EQ(take(relocate_prefix("/opt/std/lib/vorn/", "VORN")), "/new/root/lib/vorn/");
  EXPECT_EQ(take(relocate_prefix("/opt/std/lib/", "BINUTILS")), "/bin/root/lib/");
  EXPECT_EQ(take(relocate_prefix("/opt/std", "VORN")), "/new/root");
  EXPECT_EQ(take(relocate_prefix("/opt/std/x/", "$MYDIR")), "/mine/x/");
  // Only whole components match, and only with a component given.
  EXPECT_EQ(take(relocate_prefix("/opt/stdx/lib/", "VORN")), "/opt/stdx/lib/");
  EXPECT_EQ(take(relocate_prefix("/opt/std/lib/", nullptr)), "/opt/std/lib/");
  EXPECT_EQ(take(relocate_prefix("@VORN/lib/", "VORN")), "@VORN/lib/");

  // A root that names itself again cannot make relocation loop.
  fake_environment()["VORN_ROOT"] = "@VORN";
  EXPECT_EQ(take(relocate_prefix("/opt/std/lib/", "VORN")).rfind("@VORN", 0), 0u);
}

// Installed at the root, every absolute path is below the standard prefix;
// an unset variable or an empty root leaves the rest of the path.
TEST_F(PrefixesTest, RelocationOfTheRootAndOfEmptyOrUnsetValues) {
  set_standard_prefix("/", 1);
  fake_environment()["VORN_ROOT"] = "/r/";
  EXPECT_EQ(take(relocate_prefix("/lib/", "VORN")), "/r/lib/");
  EXPECT_EQ(take(relocate_prefix("/", "VORN")), "/r/");
  fake_environment()["VORN_ROOT"] = "";
  EXPECT_EQ(take(relocate_prefix("/lib/", "VORN")), "/lib/");
  set_standard_prefix("/opt/std", 8);
  std::string standard = config::kStandardPrefix;
  if (!standard.empty() && standard.back() == '/') standard.pop_back();
  EXPECT_EQ(take(relocate_prefix("/opt/std/x/", "$UNSET_DIR")), standard + "/x/");
}

TEST_F(PrefixesTest, MissingDirectoriesBeforeParentReferencesAreTidied) {
  dir_.mkdir("exists/sub");
  std::string base = dir_.path();
  auto tidy = [](const std::string& path) { return take(relocate_prefix(path.c_str(), nullptr)); };
  EXPECT_EQ(tidy(base + "/missing/../lib/"), base + "/lib/");
  EXPECT_EQ(tidy(base + "/exists/../lib/"), base + "/exists/../lib/");
  EXPECT_EQ(tidy(base + "/m1/m2/../../lib/"), base + "/lib/");
  EXPECT_EQ(tidy(base + "/m1/./..//lib/"), base + "/lib/");
  EXPECT_EQ(tidy(base + "/missing//../lib/"), base + "/lib/");
  // Tidying stops at the first directory that exists.
  EXPECT_EQ(tidy(base + "/exists/sub/../m/../x/"), base + "/exists/sub/../m/../x/");
  EXPECT_EQ(tidy(base + "/missing/../exists/sub/../x/"), base + "/exists/sub/../x/");
  EXPECT_EQ(tidy("/../x/"), "/../x/");
  EXPECT_EQ(tidy("../../nonexistent-dir-xyz/"), "../../nonexistent-dir-xyz/");
  EXPECT_EQ(tidy("nonexistent-dir-xyz/../y"), "y");
}

TEST_F(PrefixesTest, WalkOrderWithMultilibAndOperatingSystemDirectories) {
  SearchPaths& paths = search_paths();
  paths.machine_suffix = "m/v/";
  paths.target_suffix = "m/";
  add("/os/", kPrefixPlain, true);
  add("/pl/", kPrefixPlain, false);
  add("/tg/", kPrefixMachineTarget, false);
  add("/mc/", kPrefixMachineOnly, false);

  // No multilib: one pass.
  Paths plain{"/os/m/v/", "/os/", "/pl/m/v/", "/pl/", "/tg/m/v/", "/tg/m/", "/mc/m/v/"};
  EXPECT_EQ(walk(true), plain);

  paths.multilib_dir = "M";
  paths.multilib_os_dir = "O";
  EXPECT_EQ(
      walk(true),
      (Paths{"/os/m/v/M/", "/os/O/", "/pl/m/v/M/", "/pl/M/", "/tg/m/v/M/", "/tg/m/M/", "/mc/m/v/M/",
             // second pass: the plain forms
             "/os/m/v/", "/os/", "/pl/m/v/", "/pl/", "/tg/m/v/", "/tg/m/", "/mc/m/v/"}));
  EXPECT_EQ(walk(false), plain);

  // Only an operating-system directory: the second pass only retries the
  // plain operating-system prefixes.
  paths.multilib_dir = ".";
  EXPECT_EQ(walk(true), (Paths{"/os/m/v/", "/os/O/", "/pl/m/v/", "/pl/", "/tg/m/v/", "/tg/m/",
                               "/mc/m/v/", "/os/"}));

  // Only a multilib directory.
  paths.multilib_dir = "M";
  paths.multilib_os_dir = nullptr;
  EXPECT_EQ(walk(true), (Paths{"/os/m/v/M/", "/os/", "/pl/m/v/M/", "/pl/M/", "/tg/m/v/M/",
                               "/tg/m/M/", "/mc/m/v/M/", "/os/m/v/", "/pl/m/v/", "/pl/", "/tg/m/v/",
                               "/tg/m/", "/mc/m/v/"}));
}

TEST_F(PrefixesTest, MultiarchDirectoryIsTriedBeforeThePlainForm) {
  SearchPaths& paths = search_paths();
  paths.machine_suffix = "m/v/";
  paths.multiarch_dir = "A";
  add("/pl/", kPrefixPlain, false);
  add("/mc/", kPrefixMachineOnly, false);
  EXPECT_EQ(walk(false), (Paths{"/pl/m/v/", "/pl/A/", "/pl/", "/mc/m/v/"}));
  paths.multilib_dir = "M";
  EXPECT_EQ(walk(true), (Paths{"/pl/m/v/M/", "/pl/A/", "/pl/M/", "/mc/m/v/M/", "/pl/m/v/", "/pl/A/",
                               "/pl/", "/mc/m/v/"}));
}

// Whichever candidate answers, in either pass, the walk stops there with it.
TEST_F(PrefixesTest, EveryCandidateCanEndTheWalk) {
  SearchPaths& paths = search_paths();
  paths.machine_suffix = "m/v/";
  paths.target_suffix = "m/";
  paths.multilib_dir = "M";
  paths.multilib_os_dir = "O";
  paths.multiarch_dir = "A";
  add("/os/", kPrefixPlain, true);
  add("/pl/", kPrefixPlain, false);
  add("/tg/", kPrefixMachineTarget, false);
  const Paths all = walk(true);
  ASSERT_EQ(all.size(), 16u);
  struct Answer {
    std::size_t wanted;
    std::size_t calls;
  };
  auto answer_at = [](char* path, void* data) -> void* {
    Answer* answer = static_cast<Answer*>(data);
    return answer->calls++ == answer->wanted ? path : nullptr;
  };
  for (std::size_t i = 0; i < all.size(); ++i) {
    Answer answer{i, 0};
    void* found = visit_search_paths(&paths.startfile_prefixes, true, 0, answer_at, &answer);
    ASSERT_NE(found, nullptr) << i;
    EXPECT_EQ(take(static_cast<char*>(found)), all[i]);
    EXPECT_EQ(answer.calls, i + 1);
  }
}

TEST_F(PrefixesTest, FirstAnswerEndsTheWalk) {
  add("/a/", kPrefixPlain, false);
  add("/b/", kPrefixPlain, false);
  static int calls;
  calls = 0;
  auto second = [](char* path, void*) -> void* {
    ++calls;
    return std::strcmp(path, "/b/") == 0 ? const_cast<char*>("found") : nullptr;
  };
  void* result = visit_search_paths(&search_paths().startfile_prefixes, false, 0, second, nullptr);
  EXPECT_STREQ(static_cast<char*>(result), "found");
  EXPECT_EQ(calls, 3);  // "/a/" + machine suffix "", "/a/", then "/b/"
}

TEST_F(PrefixesTest, LocateFileAndProgram) {
  compute_search_suffixes();
  std::string b1 = dir_.mkdir("b1");
  std::string b2 = dir_.mkdir("b2");
  std::string late = dir_.mkdir("late");
  dir_.mkdir("b1/specs");
  dir_.write("b2/specs", "x");
  dir_.write("b1/tool", "x", 0644);
  dir_.write("b2/tool", "x", 0755);
  dir_.mkdir("b1/as");
  dir_.write("late/as", "x", 0755);
  std::string machine_dir = std::string("late/") + search_paths().machine_suffix;
  dir_.write(machine_dir + "crt.o", "x");
  dir_.write("late/crt.o", "x");
  for (const std::string& prefix : {late, b1, b2}) {
    int priority = prefix == late ? kPrefixPriorityOther : kPrefixPriorityB;
    add_search_prefix(&search_paths().startfile_prefixes, prefix.c_str(), nullptr, priority,
                      kPrefixPlain, false);
    add_search_prefix(&search_paths().exec_prefixes, prefix.c_str(), nullptr, priority,
                      kPrefixPlain, false);
  }
  PrefixList* startfiles = &search_paths().startfile_prefixes;
  // Read access accepts a directory; execute access wants a file.
  EXPECT_EQ(take(locate_file(startfiles, "specs", R_OK, true)), b1 + "specs");
  EXPECT_EQ(take(locate_file(startfiles, "tool", X_OK, false)), b2 + "tool");
  EXPECT_EQ(take(locate_file(startfiles, "crt.o", R_OK, true)), dir_ / machine_dir + "crt.o");
  EXPECT_EQ(take(locate_file(startfiles, "nothing", R_OK, true)), "(null)");
  std::string absolute = b2 + "specs";
  EXPECT_EQ(take(locate_file(startfiles, absolute.c_str(), R_OK, true)), absolute);
  EXPECT_EQ(take(locate_file(startfiles, "/nonexistent/specs", R_OK, true)), "(null)");

  if (config::kDefaultAssembler[0] == '\0') {
    EXPECT_EQ(take(locate_program("as")), late + "as");
  }
  EXPECT_EQ(take(locate_program("cxxfe1-none")), "(null)");
}

TEST_F(PrefixesTest, JoinedSearchListsAndDirectoryTest) {
  std::string real = dir_.mkdir("real");
  std::string missing = dir_ / "missing/";
  std::string file = dir_.write("file", "x");
  for (const std::string& prefix : {real, missing, file + "/"}) {
    add(prefix, kPrefixPlain, false);
  }
  EXPECT_EQ(take(join_search_list(&search_paths().startfile_prefixes, "LIBRARY_PATH", true, true)),
            "LIBRARY_PATH=" + real + ":" + real);
  EXPECT_EQ(
      take(join_search_list(&search_paths().startfile_prefixes, "", false, false)),
      "=" + real + ":" + real + ":" + missing + ":" + missing + ":" + file + "/:" + file + "/");

  EXPECT_TRUE(is_search_directory(real.c_str(), true));
  EXPECT_TRUE(is_search_directory(dir_.path().c_str(), true));
  EXPECT_FALSE(is_search_directory(missing.c_str(), false));
  EXPECT_FALSE(is_search_directory(file.c_str(), false));
  EXPECT_FALSE(is_search_directory("/lib/", true));
  EXPECT_FALSE(is_search_directory("/usr/lib/", true));
  EXPECT_EQ(is_search_directory("/usr/lib/", false), access("/usr/lib", X_OK) == 0);
}

TEST_F(PrefixesTest, SysrootAndSetUpPrefixes) {
  add_search_prefix_under_sysroot("/usr/lib/", "BINUTILS");
  search_paths().target_system_root = "/sr/";
  search_paths().target_sysroot_suffix = "/sfx";
  add_search_prefix_under_sysroot("/lib/", "BINUTILS");
  // An empty system root (--sysroot=) leaves the path as it is.
  search_paths().target_system_root = "";
  search_paths().target_sysroot_suffix = nullptr;
  add_search_prefix_under_sysroot("/opt/", "BINUTILS");
  Paths startfiles = prefixes_of(search_paths().startfile_prefixes);
  EXPECT_EQ(startfiles, (Paths{"/usr/lib/", "/sr/sfx/lib/", "/opt/"}));
  EXPECT_TRUE(search_paths().startfile_prefixes.first->os_multilib);
  EXPECT_EQ(search_paths().startfile_prefixes.first->priority, kPrefixPriorityOther);

  forget_search_paths();
  set_static_spec(spec_slot(SpecId::kMdExecPrefix), "/md/exec/", false);
  add_md_exec_prefix();
  Paths expected_exec;
  if (std::strcmp(config::kCrossCompile, "0") == 0) expected_exec.push_back("/md/exec/");
  EXPECT_EQ(prefixes_of(search_paths().exec_prefixes), expected_exec);

  // A startfile prefix spec that expands replaces the standard prefixes.
  set_static_spec(spec_slot(SpecId::kStartfilePrefixSpec), "/p1/ /p2/", false);
  auto two_words = [](const char*, void (*word)(const char*, void*), void* data) {
    word("/p1/", data);
    word("/p2/", data);
    return true;
  };
  add_standard_startfile_prefixes(nullptr, two_words);
  EXPECT_EQ(prefixes_of(search_paths().startfile_prefixes), (Paths{"/p1/", "/p2/"}));

  forget_search_paths();
  compute_search_suffixes();
  auto failing = [](const char*, void (*)(const char*, void*), void*) { return false; };
  set_static_spec(spec_slot(SpecId::kMdStartfilePrefix), "/md/start/", false);
  add_standard_startfile_prefixes("/env/prefix/", failing);
  startfiles = prefixes_of(search_paths().startfile_prefixes);
  if (std::strcmp(config::kCrossCompile, "0") == 0) {
    ASSERT_EQ(startfiles.size(), 4u);
    EXPECT_EQ(startfiles[0], "/md/start/");
    // The missing directories and their "../" pieces are tidied away.
    EXPECT_EQ(startfiles[1], "/env/");
    EXPECT_EQ(startfiles[2], "/lib/");
    EXPECT_EQ(startfiles[3], "/usr/lib/");
  }
}

TEST(PrefixesDeathTest, RelativeSystemPathIsFatal) {
  EXPECT_EXIT(add_search_prefix_under_sysroot("lib/", "VORN"), ::testing::ExitedWithCode(1),
              "system path .lib/. is not absolute");
}

}  // namespace
}  // namespace vorn
