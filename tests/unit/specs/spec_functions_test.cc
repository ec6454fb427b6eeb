// Spec functions: the call mechanism and every function of the table.
#include "specs/spec_functions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "diagnostics/diagnostic_context.h"
#include "scratch_dir.h"
#include "spec_test_support.h"
#include "specs/specs_file.h"

namespace vorn::testing {
namespace {

using ::testing::ExitedWithCode;

class FunctionTest : public SpecTest {
 protected:
  // SPEC stops the driver as a bug of the spec that called the function.
  static void expect_internal_error(const char* spec, const char* message) {
    EXPECT_EXIT(expand_spec(spec, nullptr), ExitedWithCode(4), message) << spec;
  }
};

TEST_F(FunctionTest, CallKeepsTheCallersWordAndFinishesTheResult) {
  EXPECT_EQ(expand("x%:if-exists-else(/no/such y)z"), (Words{"xy", "z"}));
  EXPECT_EQ(expand("a %:if-exists(/no/such) b"), (Words{"a", "b"}));
}

TEST_F(FunctionTest, ArgumentsSeeTheMatchedRemainder) {
  add_switch("-mfoo=/no/such");
  EXPECT_EQ(expand("%{mfoo=*:%:if-exists-else(%* none)}"), (Words{"none"}));
}

TEST_F(FunctionTest, ArgumentsInsideAnOpenResponseFileStayArguments) {
  command_line().argument_files_supplied = true;
  add_switch("-L", {"dir"});
  Words words = expand("%@{L*:%:if-exists-else(/no/such kept)}");
  ASSERT_EQ(words.size(), 1u);
  EXPECT_TRUE(StartsWith(words[0], "@"));
  std::remove(words[0].c_str() + 1);
}

TEST_F(FunctionTest, MalformedCallsAreFatal) {
  EXPECT_EXIT(expand_spec("%:no-such-function()", nullptr), ExitedWithCode(1),
              "unknown spec function .*no-such-function");
  EXPECT_EXIT(expand_spec("%:f(a", nullptr), ExitedWithCode(1),
              "malformed spec function arguments");
  EXPECT_EXIT(expand_spec("%:f.x(a)", nullptr), ExitedWithCode(1), "malformed spec function name");
  EXPECT_EXIT(expand_spec("%:f", nullptr), ExitedWithCode(1), "no arguments for spec function");
  EXPECT_EXIT(expand_spec("%:if-exists(%e)", nullptr), ExitedWithCode(1),
              "error in arguments to spec function .*if-exists");
}

TEST_F(FunctionTest, IfExistsFamily) {
  ScratchDir dir;
  std::string file = dir.write("here", "");
  std::string spec = "%:if-exists(" + file + ") %:if-exists-else(" + file +
                     " no) %:if-exists-then-else(" + file + " yes no) " +
                     "%:if-exists-then-else(/no/such yes) %:if-exists-then-else(/no/such yes no)";
  EXPECT_EQ(expand(spec.c_str()), (Words{file, file, "yes", "no"}));
  // Relative names never count as existing.
  EXPECT_EQ(expand("%:if-exists-else(here no)"), (Words{"no"}));
  EXPECT_EQ(expand("%:if-exists(a b)"), (Words{}));
}

TEST_F(FunctionTest, Getenv) {
  hooks_.environment = {{"HOME", "/home/u"}, {"ODD", "a b%c"}};
  EXPECT_EQ(expand("%:getenv(HOME /x)"), (Words{"/home/u/x"}));
  EXPECT_EQ(expand("%:getenv(ODD .d)"), (Words{"a b%c.d"}));
  EXPECT_EQ(expand("%:getenv(HOME)"), (Words{}));
  EXPECT_EXIT(expand_spec("%:getenv(UNSET_X /x)", nullptr), ExitedWithCode(1),
              "environment variable .*UNSET_X.* not defined");
  command_line().undefined_variables_allowed = true;
  EXPECT_EQ(expand("%:getenv(UNSET_X /x)"), (Words{"/UNSET_X"}));
}

TEST_F(FunctionTest, Sanitize) {
  const char* spec =
      "%{%:sanitize(address):A} %{%:sanitize(thread):T} %{%:sanitize(undefined):U} "
      "%{%:sanitize(leak):L} %{%:sanitize(hwaddress):H} %{%:sanitize(bogus):B}";
  EXPECT_EQ(expand(spec), (Words{}));
  options_.x_sanitize_flags = 0x2 | 0x10 | 0x20;
  EXPECT_EQ(expand(spec), (Words{"A", "U", "L"}));
  options_.x_sanitize_trap_flags = 0x20;
  options_.x_sanitize_flags |= 0x8;
  EXPECT_EQ(expand(spec), (Words{"A", "T"}));
}

TEST_F(FunctionTest, SanitizeKernelAndHardwareKinds) {
  const char* spec =
      "%{%:sanitize(hwaddress):H} %{%:sanitize(kernel-address):K} "
      "%{%:sanitize(kernel-hwaddress):KH} %{%:sanitize(leak):L}";
  options_.x_sanitize_flags = 0x20000000;
  EXPECT_EQ(expand(spec), (Words{"H"}));
  options_.x_sanitize_flags = 0x4 | 0x40000000;
  EXPECT_EQ(expand(spec), (Words{"K", "KH"}));
  // Leak checking is part of address and thread checking, never added to them.
  options_.x_sanitize_flags = 0x10 | 0x1;
  EXPECT_EQ(expand(spec), (Words{}));
}

// Counts the table does not allow: the tests are plain false, the editing
// and lookup functions have only built-in callers and stop as a bug.
TEST_F(FunctionTest, WrongArgumentCounts) {
  options_.x_sanitize_flags = 0x2;
  EXPECT_EQ(expand("%{%:sanitize():A} %{%:sanitize(address address):B} "
                   "%:if-exists-else(/) %:if-exists-then-else(/) "
                   "%:if-exists-then-else(/ a b c) %:fortran-preinclude-file(-f x)"),
            (Words{}));
  expect_internal_error("%:replace-outfile(a.o)",
                        "spec function 'replace-outfile' called with 1 arguments instead of 2");
  expect_internal_error("%:include()", "'include' called with 0 arguments instead of 1");
  expect_internal_error("%:find-file(a b)", "'find-file' called with 2 arguments instead of 1");
  expect_internal_error("%:find-plugindir(x)",
                        "'find-plugindir' called with 1 arguments instead of 0");
  expect_internal_error("%:print-asm-header(x)",
                        "'print-asm-header' called with 1 arguments instead of 0");
}

TEST_F(FunctionTest, VersionCompareOperators) {
  add_switch("-mfoo=10.3");
  EXPECT_EQ(expand("%:version-compare(>= 10.2 mfoo= -DNEW)"), (Words{"-DNEW"}));
  EXPECT_EQ(expand("%:version-compare(>= 10.10 mfoo= -DNEW)"), (Words{}));
  EXPECT_EQ(expand("%:version-compare(< 10.10 mfoo= R)"), (Words{"R"}));
  EXPECT_EQ(expand("%:version-compare(>< 10.3 10.4 mfoo= R)"), (Words{"R"}));
  EXPECT_EQ(expand("%:version-compare(>< 10.0 10.3 mfoo= R)"), (Words{}));
  EXPECT_EQ(expand("%:version-compare(<> 10.0 10.3 mfoo= R)"), (Words{"R"}));
  EXPECT_EQ(expand("%:version-compare(<> 10.0 11 mfoo= R)"), (Words{}));
  EXPECT_EQ(expand("%:version-compare(!< 11 mfoo= R)"), (Words{}));
  EXPECT_EQ(expand("%:version-compare(!> 11 mfoo= R)"), (Words{"R"}));
  // Without the switch both comparisons count as "less".
  EXPECT_EQ(expand("%:version-compare(!< 1 mbar= R) %:version-compare(>= 1 mbar= S) "
                   "%:version-compare(< 1 mbar= T)"),
            (Words{"R", "T"}));
}

TEST_F(FunctionTest, VersionCompareUsesTheLastLiveSwitch) {
  add_switch("-mfoo=1");
  add_switch("-mfoo=3");
  EXPECT_EQ(expand("%:version-compare(>= 2 mfoo= R)"), (Words{"R"}));
  // A switch the driver ignores no longer counts.
  command_line().switches[1].liveness = kSwitchIgnored;
  EXPECT_EQ(expand("%:version-compare(>= 2 mfoo= R)"), (Words{}));
}

// Each operator on both sides of its bounds, and without the switch.
TEST_F(FunctionTest, VersionCompareOperatorTable) {
  add_switch("-mv=5");
  EXPECT_EQ(expand("%:version-compare(!< 4 mv= a) %:version-compare(!> 4 mv= b) "
                   "%:version-compare(>< 6 7 mv= c) %:version-compare(<> 6 7 mv= d) "
                   "%:version-compare(<> 4 5 mv= e) %:version-compare(>< 4 5 mv= f)"),
            (Words{"a", "d", "e"}));
  EXPECT_EQ(expand("%:version-compare(!< 4 mw= a) %:version-compare(!> 4 mw= b) "
                   "%:version-compare(>< 4 5 mw= c) %:version-compare(<> 4 5 mw= d)"),
            (Words{"a", "b", "d"}));
}

TEST_F(FunctionTest, VersionCompareErrors) {
  add_switch("-mfoo=10.x");
  EXPECT_EXIT(expand_spec("%:version-compare(>= 10.2 mfoo= R)", nullptr), ExitedWithCode(1),
              "invalid version number .*10.x");
  // Without the switch the versions are not examined.
  EXPECT_EQ(expand("%:version-compare(>= 01 mbar= R)"), (Words{}));
}

TEST_F(FunctionTest, VersionCompareArgumentErrors) {
  EXPECT_EXIT(expand_spec("%:version-compare(>= 1)", nullptr), ExitedWithCode(1), "too few");
  EXPECT_EXIT(expand_spec("%:version-compare(>= 1 2 m R)", nullptr), ExitedWithCode(1),
              "too many arguments");
  EXPECT_EXIT(expand_spec("%:version-compare(>< 1 m R)", nullptr), ExitedWithCode(1),
              "too many arguments");
  EXPECT_EXIT(expand_spec("%:version-compare(= 1 m R)", nullptr), ExitedWithCode(1),
              "unknown operator .*=");
  // An empty word is the only operator the interpreter cannot have meant.
  expect_internal_error("%:version-compare(%\" 1 m R)", "empty operator in %:version-compare");
}

TEST_F(FunctionTest, VersionStringsCompareNumerically) {
  EXPECT_LT(compare_version_strings("10.2", "10.10"), 0);
  EXPECT_EQ(compare_version_strings("3.0", "3.0"), 0);
  EXPECT_GT(compare_version_strings("4", "3.99"), 0);
}

TEST_F(FunctionTest, GreaterThanCountsOnlyTheLastTwo) {
  const char* spec = "%{%:gt(%{ftree-parallelize-loops=*:%*} 1):P}";
  EXPECT_EQ(expand(spec), (Words{}));
  add_switch("-ftree-parallelize-loops=1");
  EXPECT_EQ(expand(spec), (Words{}));
  add_switch("-ftree-parallelize-loops=4");
  EXPECT_EQ(expand(spec), (Words{"P"}));
  EXPECT_EQ(expand("%{%:gt(1 4 1):P} %{%:gt(9 1 4):Q}"), (Words{"P"}));
  expect_internal_error("%:gt(x 1)", "spec function 'gt': 'x' does not start with a number");
  expect_internal_error("%:gt(1 y)", "'y' does not start");
  expect_internal_error("%:gt()", "spec function 'gt' called without arguments");
}

TEST_F(FunctionTest, DebugLevelAndDwarfVersion) {
  options_.x_debug_level = 2;
  options_.x_dwarf_version = 4;
  EXPECT_EQ(expand("%{%:debug-level-gt(1):a} %{%:debug-level-gt(2):b} "
                   "%{%:dwarf-version-gt(3):c} %{%:dwarf-version-gt(4):d}"),
            (Words{"a", "c"}));
  EXPECT_EXIT(expand_spec("%:debug-level-gt(1 2)", nullptr), ExitedWithCode(1),
              "wrong number of arguments to %:debug-level-gt");
  EXPECT_EXIT(expand_spec("%:dwarf-version-gt()", nullptr), ExitedWithCode(1),
              "wrong number of arguments to %:dwarf-version-gt");
  expect_internal_error("%:debug-level-gt(x)",
                        "'debug-level-gt': 'x' does not start with a number");
  expect_internal_error("%:dwarf-version-gt(-)",
                        "'dwarf-version-gt': '-' does not start with a number");
}

TEST_F(FunctionTest, PassThroughLibs) {
  EXPECT_EQ(expand("%:pass-through-libs(-lc libm.a foo.o -l z .a)"),
            (Words{"-plugin-opt=-pass-through=-lc", "-plugin-opt=-pass-through=libm.a",
                   "-plugin-opt=-pass-through=-lz", "-plugin-opt=-pass-through=.a"}));
  EXPECT_EQ(expand("%:pass-through-libs(-l)"), (Words{}));
  EXPECT_EQ(expand("%:pass-through-libs(a b.so)"), (Words{}));
}

TEST_F(FunctionTest, OutputEditing) {
  compile_progress().outputs = {"a.o", "b.o", "a.o", nullptr};
  expand("%:replace-outfile(a.o c.o)%:remove-outfile(b.o)");
  const auto& outputs = compile_progress().outputs;
  EXPECT_STREQ(outputs[0], "c.o");
  EXPECT_EQ(outputs[1], nullptr);
  EXPECT_STREQ(outputs[2], "c.o");
  expect_internal_error("%:remove-outfile()",
                        "remove-outfile. called with 0 arguments instead of 1");
}

TEST_F(FunctionTest, FileLookups) {
  ScratchDir dir;
  std::string lib = dir.mkdir("lib");
  dir.write("lib/x.o", "");
  add_search_prefix(&search_paths().startfile_prefixes, lib.c_str(), nullptr, kPrefixPriorityOther,
                    kPrefixPlain, false);
  EXPECT_EQ(expand("%:find-file(x.o) %:find-file(y.o) %:find-file(/no/such)"),
            (Words{lib + "x.o", "y.o", "/no/such"}));
  EXPECT_EQ(expand("%:find-plugindir()"), (Words{"-iplugindir=plugin"}));
  dir.mkdir("lib/plugin");
  EXPECT_EQ(expand("%:find-plugindir()"), (Words{"-iplugindir=" + lib + "plugin"}));
}

// A result is interpreted again: a file name found on disk comes back as
// exactly itself, whatever its directories are called.
TEST_F(FunctionTest, FoundFilesReadBackAsThemselves) {
  ScratchDir dir;
  std::string lib = dir.mkdir("p%d a|b\\c");
  dir.write("p%d a|b\\c/x.o", "");
  dir.mkdir("p%d a|b\\c/plugin");
  dir.mkdir("f%o");
  dir.write("f%o/math.h", "");
  add_search_prefix(&search_paths().startfile_prefixes, lib.c_str(), nullptr, kPrefixPriorityOther,
                    kPrefixPlain, false);
  const std::string x = lib + "x.o";
  const std::string quoted_x = quote_spec_text(x.c_str());
  EXPECT_EQ(expand("%:find-file(x.o) %:find-plugindir()"),
            (Words{x, "-iplugindir=" + lib + "plugin"}));
  EXPECT_EQ(expand(("%:find-file(" + quoted_x + ") %:if-exists(" + quoted_x +
                    ") %:if-exists-else(" + quoted_x + " no)")
                       .c_str()),
            (Words{x, x, x}));
  std::string spec = "%:fortran-preinclude-file(-fpre-include= math.h " +
                     quote_spec_text((dir.path() + "/f%o").c_str()) + ")";
  EXPECT_EQ(expand(spec.c_str()), (Words{"-fpre-include=" + dir.path() + "/f%o/math.h"}));
  EXPECT_TRUE(hooks_.delete_at_exit.empty());
  EXPECT_TRUE(hooks_.delete_on_failure.empty());
}

TEST_F(FunctionTest, IncludeReadsASpecsFile) {
  ScratchDir dir;
  std::string lib = dir.mkdir("lib");
  dir.write("lib/extra.spec", "*extra_spec:\n-DEXTRA\n\n");
  add_search_prefix(&search_paths().startfile_prefixes, lib.c_str(), nullptr, kPrefixPriorityOther,
                    kPrefixPlain, false);
  install_default_specs(false);
  EXPECT_EQ(expand("%:include(extra.spec)%(extra_spec)"), (Words{"-DEXTRA"}));
}

TEST_F(FunctionTest, SpecRedefinedWhileItIsExpandedFinishesItsOldText) {
  ScratchDir dir;
  std::string lib = dir.mkdir("lib");
  dir.write("lib/redefine.spec", "*self:\nreplaced\n\n");
  add_search_prefix(&search_paths().startfile_prefixes, lib.c_str(), nullptr, kPrefixPriorityOther,
                    kPrefixPlain, false);
  install_default_specs(false);
  define_spec("self", "%:include(redefine.spec)still here", false);
  EXPECT_EQ(expand("%(self)"), (Words{"still", "here"}));
  EXPECT_EQ(expand("%(self)"), (Words{"replaced"}));
}

TEST_F(FunctionTest, FortranPreincludeFile) {
  ScratchDir dir;
  std::string fdir = dir.mkdir("f");
  dir.write("f/math.h", "");
  std::string spec = "%:fortran-preinclude-file(-fpre-include= math.h " + dir.path() + "/f)";
  EXPECT_EQ(expand(spec.c_str()), (Words{"-fpre-include=" + fdir + "math.h"}));
  spec = "%:fortran-preinclude-file(-fpre-include= none.h " + dir.path() + "/f)";
  EXPECT_EQ(expand(spec.c_str()), (Words{}));
}

// The include directories come first; the fallback directories move below
// the system root and its headers suffix.
TEST_F(FunctionTest, FortranPreincludeSearchOrder) {
  ScratchDir dir;
  std::string inc = dir.mkdir("inc");
  dir.write("inc/both.h", "");
  dir.write("f/both.h", "");
  dir.write("f/own.h", "");
  add_search_prefix(&search_paths().include_prefixes, inc.c_str(), nullptr, kPrefixPriorityOther,
                    kPrefixPlain, false);
  std::string given = dir.path() + "/f/";
  auto call = [&](const char* file) {
    return expand(
        ("%:fortran-preinclude-file(-p= " + std::string(file) + " " + given + ")").c_str());
  };
  EXPECT_EQ(call("both.h"), (Words{"-p=" + inc + "both.h"}));
  EXPECT_EQ(call("own.h"), (Words{"-p=" + given + "own.h"}));

  dir.write("root/usr/include/finclude/sys.h", "");
  dir.write("root/hdr/usr/include/finclude/hdr.h", "");
  search_paths().target_system_root = xstrdup((dir.path() + "/root").c_str());
  EXPECT_EQ(call("sys.h"), (Words{"-p=" + dir.path() + "/root/usr/include/finclude/sys.h"}));
  EXPECT_EQ(call("hdr.h"), (Words{}));
  command_line().sysroot_headers_suffix = "/hdr";
  EXPECT_EQ(call("hdr.h"), (Words{"-p=" + dir.path() + "/root/hdr/usr/include/finclude/hdr.h"}));
  EXPECT_EQ(call("sys.h"), (Words{}));
}

TEST_F(FunctionTest, DumpsNamesTheDumpFiles) {
  use_input("dir/x.c");
  EXPECT_EQ(expand("%:dumps()"), (Words{"-dumpbase", "x.c", "-dumpbase-ext", ".c"}));
  EXPECT_EQ(expand("%:dumps(.i)"), (Words{"-dumpbase", "x.i", "-dumpbase-ext", ".i"}));
  CommandLine& line = command_line();
  line.dump_dir = "a b/";
  line.compare_debug = CompareDebug::kSecondCompilation;
  EXPECT_EQ(expand("%:dumps()"),
            (Words{"-dumpdir", "a b/", "-dumpbase", "x.gk.c", "-dumpbase-ext", ".c"}));
  line.compare_debug = CompareDebug::kNotRequested;
  line.output_stem = "prog";
  line.output_stem_length = 4;
  EXPECT_EQ(expand("%:dumps()"),
            (Words{"-dumpdir", "a b/", "-dumpbase", "prog.c", "-dumpbase-ext", ".c"}));
  line.dump_dir = nullptr;
  line.dump_base = "foo.c";
  line.output_stem = "foo";
  line.output_stem_length = 3;
  EXPECT_EQ(expand("%:dumps()"), (Words{"-dumpbase", "foo"}));
  line.dump_base_ext = ".c";
  EXPECT_EQ(expand("%:dumps()"), (Words{"-dumpbase", "foo.c", "-dumpbase-ext", ".c"}));
  line.dump_base = "";
  line.dump_base_ext = nullptr;
  line.output_stem_length = 0;
  line.dump_dir = "";
  EXPECT_EQ(expand("%:dumps()"),
            (Words{"-dumpdir", "", "-dumpbase", "x.c", "-dumpbase-ext", ".c"}));
  EXPECT_EXIT(expand_spec("%:dumps(a b)", nullptr), ExitedWithCode(1), "too many arguments");
}

// A specs file may ask for dump names in the link step, where no input is
// current; a -dumpbase keeps its stem and takes the compare-debug mark.
TEST_F(FunctionTest, DumpsWithoutAnInputAndForTheSecondCompilation) {
  EXPECT_EQ(expand("%:dumps()"), (Words{"-dumpbase", ""}));
  EXPECT_EQ(expand("%:dumps(.x)"), (Words{"-dumpbase", ".x", "-dumpbase-ext", ".x"}));
  CommandLine& line = command_line();
  line.compare_debug = CompareDebug::kSecondCompilation;
  EXPECT_EQ(expand("%:dumps()"), (Words{"-dumpbase", ".gk"}));
  line.dump_base = "out.c";
  line.dump_base_ext = ".c";
  line.output_stem = "out";
  line.output_stem_length = 3;
  EXPECT_EQ(expand("%:dumps()"), (Words{"-dumpbase", "out.gk.c", "-dumpbase-ext", ".c"}));
}

TEST_F(FunctionTest, CompareDebugSelfOption) {
  EXPECT_EQ(expand("%:compare-debug-self-opt()"), (Words{}));
  add_switch("-o", {"out.o"});
  add_switch("-MD");
  command_line().compare_debug = CompareDebug::kSecondCompilation;
  command_line().compare_debug_option = "-gtoggle";
  EXPECT_EQ(expand("%:compare-debug-self-opt()"),
            (Words{"-w", "-S", "-o", "/dev/null", "-fcompare-debug-second", "-gtoggle"}));
  EXPECT_NE(command_line().switches[0].liveness & kSwitchIgnored, 0u);
  EXPECT_NE(command_line().switches[1].liveness & kSwitchIgnored, 0u);
  // Without a compare option the self spec ends at the mark of the second run.
  command_line().compare_debug_option = nullptr;
  EXPECT_EQ(expand("%:compare-debug-self-opt()"),
            (Words{"-w", "-S", "-o", "/dev/null", "-fcompare-debug-second"}));
  EXPECT_EXIT(expand_spec("%:compare-debug-self-opt(x)", nullptr), ExitedWithCode(1),
              "too many arguments to %:compare-debug-self-opt");
}

TEST_F(FunctionTest, CompareDebugDumpOptionSharesTheSeed) {
  use_input("a.c");
  EXPECT_EQ(expand("%:compare-debug-dump-opt()"), (Words{}));
  command_line().compare_debug = CompareDebug::kFirstCompilation;
  Words first = expand("%:compare-debug-dump-opt()");
  ASSERT_EQ(first.size(), 2u);
  EXPECT_TRUE(StartsWith(first[0], "-frandom-seed=0x"));
  EXPECT_TRUE(StartsWith(first[1], "-fdump-final-insns=" + temp_dir()));
  EXPECT_TRUE(EndsWith(first[1], ".gkd"));
  EXPECT_EQ(compile_progress().debug_check_dump[0], first[1].substr(19));

  command_line().compare_debug = CompareDebug::kSecondCompilation;
  Words second = expand("%:compare-debug-dump-opt()");
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[0], first[0]);
  EXPECT_TRUE(EndsWith(second[1], ".gk.gkd"));
  EXPECT_EQ(compile_progress().random_seed, nullptr);
  // A seed given on the command line wins.
  command_line().compare_debug = CompareDebug::kFirstCompilation;
  add_switch("-frandom-seed=7");
  Words seeded = expand("%:compare-debug-dump-opt()");
  ASSERT_EQ(seeded.size(), 1u);
}

TEST_F(FunctionTest, CompareDebugDumpOptionWithAGivenName) {
  use_input("a.c");
  add_switch("-fdump-final-insns=.");
  Words words = expand("%:compare-debug-dump-opt()");
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[1], "-fdump-final-insns=a.c.gkd");
  command_line().switches.clear();
  add_switch("-fdump-final-insns=my dump");
  EXPECT_EQ(expand("%:compare-debug-dump-opt()"), (Words{}));
  command_line().compare_debug = CompareDebug::kFirstCompilation;
  Words named = expand("%:compare-debug-dump-opt()");
  ASSERT_EQ(named.size(), 1u);
  EXPECT_STREQ(compile_progress().debug_check_dump[0], "my dump");
  EXPECT_EXIT(expand_spec("%:compare-debug-dump-opt(x)", nullptr), ExitedWithCode(1),
              "too many arguments to %:compare-debug-dump-opt");
}

// A second compilation whose first one made no seed (the user asked for
// -fcompare-debug-second): the dump option alone, or nothing at all when
// the name was given.
TEST_F(FunctionTest, CompareDebugDumpOptionOfASecondCompilationWithoutASeed) {
  use_input("a.c");
  command_line().compare_debug = CompareDebug::kSecondCompilation;
  Words words = expand("%:compare-debug-dump-opt()");
  ASSERT_EQ(words.size(), 1u);
  EXPECT_TRUE(StartsWith(words[0], "-fdump-final-insns=" + temp_dir()));
  EXPECT_TRUE(EndsWith(words[0], ".gk.gkd"));
  EXPECT_EQ(compile_progress().debug_check_dump[1], words[0].substr(19));
  add_switch("-fdump-final-insns=given");
  EXPECT_EQ(expand("%:compare-debug-dump-opt()"), (Words{}));
  EXPECT_STREQ(compile_progress().debug_check_dump[1], "given");
  // With -save-temps the dump is named after the input, marked as the second.
  command_line().switches.clear();
  add_switch("-save-temps");
  EXPECT_EQ(expand("%:compare-debug-dump-opt()"), (Words{"-fdump-final-insns=a.gk.c.gkd"}));
}

TEST_F(FunctionTest, PrintAsmHeader) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(expand("%:print-asm-header()"), (Words{}));
  EXPECT_TRUE(HasText(::testing::internal::GetCapturedStdout(), "Assembler options\n====="));
}

}  // namespace
}  // namespace vorn::testing
