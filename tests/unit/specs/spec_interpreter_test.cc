// The spec interpreter: words and commands, escapes, temporary and dump
// names, response files.
#include "specs/spec_interpreter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "scratch_dir.h"
#include "spec_test_support.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/run_specs.h"
#include "specs/spec_groups.h"
#include "specs/spec_state.h"

namespace vorn::testing {
namespace {

using ::testing::ExitedWithCode;

class InterpreterTest : public SpecTest {};

// Words and commands.

TEST_F(InterpreterTest, BlanksBackslashesAndBarsBuildWords) {
  EXPECT_EQ(expand("a\tb  c"), (Words{"a", "b", "c"}));
  EXPECT_EQ(expand("a\\ b"), (Words{"a b"}));
  // A lone backslash at the very end adds nothing but still starts a word.
  EXPECT_EQ(expand("a \\"), (Words{"a", ""}));
  // "%\"" finishes a started word before its empty one.
  EXPECT_EQ(expand("a%\"b"), (Words{"a", "", "b"}));
  EXPECT_EQ(expand("a|b"), (Words{"a", "|b"}));
  EXPECT_EQ(expand("%% x"), (Words{"%x"}));
  EXPECT_EQ(expand("a %\" b"), (Words{"a", "", "b"}));
  EXPECT_EQ(expand("-L%M"), (Words{"-L."}));
  search_paths().multilib_os_dir = "../lib64";
  EXPECT_EQ(expand("-L%M"), (Words{"-L../lib64"}));
}

TEST_F(InterpreterTest, NewlineRunsTheCommandAndStartsAFreshOne) {
  EXPECT_EQ(expand("a b\nc"), (Words{"c"}));
  ASSERT_EQ(hooks_.commands.size(), 1u);
  EXPECT_EQ(hooks_.commands[0], (Words{"a", "b"}));
  EXPECT_EQ(hooks_.exports, 1);
}

TEST_F(InterpreterTest, FailingCommandStopsTheSpec) {
  hooks_.execute_status = -1;
  EXPECT_EQ(run_spec("a\nb\n"), -1);
  EXPECT_EQ(hooks_.commands.size(), 1u);
}

TEST_F(InterpreterTest, TrailingBarPipesOnlyUnderPipe) {
  const char* spec = "cfe1 -o - |\n as x";
  EXPECT_EQ(run_spec(spec), 0);
  ASSERT_EQ(hooks_.commands.size(), 2u);
  EXPECT_EQ(hooks_.commands[0], (Words{"cfe1", "-o", "-"}));
  EXPECT_EQ(hooks_.commands[1], (Words{"as", "x"}));

  hooks_.commands.clear();
  options_.x_use_pipes = 1;
  EXPECT_EQ(run_spec(spec), 0);
  ASSERT_EQ(hooks_.commands.size(), 1u);
  EXPECT_EQ(hooks_.commands[0], (Words{"cfe1", "-o", "-", "|", "as", "x"}));
}

TEST_F(InterpreterTest, RunSpecDropsAFinalBarAndSkipsEmptyCommands) {
  EXPECT_EQ(run_spec("a |"), 0);
  ASSERT_EQ(hooks_.commands.size(), 1u);
  EXPECT_EQ(hooks_.commands[0], (Words{"a"}));
  EXPECT_EQ(run_spec("  \n "), 0);
  EXPECT_EQ(hooks_.commands.size(), 1u);
}

// Named specs.

TEST_F(InterpreterTest, NamedSpecsContinueTheCallersWord) {
  define_spec("foo", "bar", false);
  EXPECT_EQ(expand("x%(foo)y"), (Words{"xbary"}));
  EXPECT_EQ(expand("%(no_such_spec)z"), (Words{"z"}));
  EXPECT_EQ(expand("a %(foo"), (Words{"a", "bar"}));
  define_spec("cfe1", "-one", false);
  define_spec("cxxfe1", "-two", false);
  EXPECT_EQ(expand("%1 %2"), (Words{"-one", "-two"}));
}

TEST_F(InterpreterTest, CppEscapePrefersTheCompilersOwnSpec) {
  CompilerEntry entry{".x", "", "-own-cpp", 0, 0};
  use_input("a.x", &entry);
  EXPECT_EQ(expand("%C"), (Words{"-own-cpp"}));
  define_spec("cpp", "-plain-cpp", false);
  select_input(0, nullptr);
  EXPECT_EQ(expand("%C"), (Words{"-plain-cpp"}));
}

TEST_F(InterpreterTest, SelfReferenceEndsInAFatalError) {
  define_spec("loop", "x%(loop)", false);
  EXPECT_EXIT(expand_spec("%(loop)", nullptr), ExitedWithCode(1), "loop.*nests more than");
  define_spec("ping", "%{!nothing:%(pong)}", false);
  define_spec("pong", "%(ping)", false);
  EXPECT_EXIT(expand_spec("%(ping)", nullptr), ExitedWithCode(1), "nests more than");
}

TEST_F(InterpreterTest, DeepButFiniteNestingStillWorks) {
  std::string spec;
  for (int i = 0; i < 200; ++i) spec += "%{!none:";
  spec += "deep";
  spec += std::string(200, '}');
  EXPECT_EQ(expand(spec.c_str()), (Words{"deep"}));
  std::string runaway;
  for (int i = 0; i < 5000; ++i) runaway += "%{!none:";
  runaway += "x" + std::string(5000, '}');
  EXPECT_EXIT(expand_spec(runaway.c_str(), nullptr), ExitedWithCode(1), "nests more than");
}

// Diagnostics of escapes.

// "%*" inserts the matched remainder; at the end of the text or before a
// "}" it also finishes the word.
TEST_F(InterpreterTest, StarInsertsTheRemainder) {
  EXPECT_EQ(expand_spec("-x%*}y", "abc"), 0);
  EXPECT_EQ(Words(spec_arguments().begin(), spec_arguments().end()), (Words{"-xabc", "}y"}));
  EXPECT_EQ(expand_spec("-x%* -y%*", ""), 0);
  EXPECT_EQ(Words(spec_arguments().begin(), spec_arguments().end()), (Words{"-x", "-y"}));
}

// A spec function whose result fails to expand ends the spec.
TEST_F(InterpreterTest, FailingFunctionResultStopsTheSpec) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand("a %:if-exists-then-else(/no/such x %%eboom) b", -1), (Words{"a"}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "vorn-cxx: error: boom\n");
}

TEST_F(InterpreterTest, ErrorAndNoteEscapes) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand("x %e-E required\nnot reached", -1), (Words{"x"}));
  EXPECT_TRUE(HasText(::testing::internal::GetCapturedStderr(), "error: -E required"));
  EXPECT_TRUE(hooks_.commands.empty());

  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand("a %nhello\nb"), (Words{"a", "b"}));
  EXPECT_TRUE(HasText(::testing::internal::GetCapturedStderr(), "note: hello"));
  EXPECT_TRUE(hooks_.commands.empty());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand("a %nat the end"), (Words{"a"}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "vorn-cxx: note: at the end\n");
}

TEST_F(InterpreterTest, UnknownEscapeIsReportedAndSkipped) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand("a%qb %*"), (Words{"ab"}));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(HasText(err, "unrecognized spec option"));
  EXPECT_TRUE(HasText(err, "has not been initialized by pattern match"));
}

TEST_F(InterpreterTest, MalformedEscapesAreFatal) {
  EXPECT_EXIT(expand_spec("abc%", nullptr), ExitedWithCode(1), "spec .*abc%.* invalid");
  EXPECT_EXIT(expand_spec("%@x", nullptr), ExitedWithCode(1), "has invalid .*%@x");
  EXPECT_EXIT(expand_spec("%Wx", nullptr), ExitedWithCode(1), "has invalid .*%Wx");
  EXPECT_EXIT(expand_spec("%xa", nullptr), ExitedWithCode(1), "has invalid .*%xa");
}

// Text from outside the specs, quoted, reads back as exactly itself: no
// escape runs, no word splits, no file is marked.
TEST_F(InterpreterTest, QuotedTextReadsBackAsItself) {
  use_input("x.c");
  for (const char* text : {"/p%d/lto-runner", "/p%w/a", "/p%u/a", "/p%o/a", "/p%20/a", "/a\\b/c",
                           "/a|b/c", "/a b/c", "/t\tn\nx/", "%", "\\", "p%%q"}) {
    EXPECT_EQ(expand(quote_spec_text(text).c_str()), (Words{text})) << text;
    EXPECT_EQ(expand(("-x=" + quote_spec_text(text)).c_str()), (Words{std::string("-x=") + text}));
  }
  EXPECT_TRUE(hooks_.delete_at_exit.empty());
  EXPECT_TRUE(hooks_.delete_on_failure.empty());
  EXPECT_TRUE(hooks_.commands.empty());
}

// Temporary and dump names.

TEST_F(InterpreterTest, TemporaryNamesAreSharedOrUniqueByLetter) {
  Words same = expand("%g.s %g.s");
  EXPECT_EQ(same[0], same[1]);
  EXPECT_TRUE(StartsWith(same[0], temp_dir()));
  EXPECT_TRUE(EndsWith(same[0], ".s"));
  Words paired = expand("%u.s %U.s");
  EXPECT_EQ(paired[0], paired[1]);
  EXPECT_NE(paired[0], same[0]);
  Words fresh = expand("%u.s %u.s %U.s");
  EXPECT_NE(fresh[0], fresh[1]);
  EXPECT_EQ(fresh[1], fresh[2]);
  // Different suffixes never share a file.
  Words other = expand("%g.s %g.i %gs");
  EXPECT_NE(other[0], other[1]);
  EXPECT_NE(other[0], other[2]);
  EXPECT_FALSE(hooks_.delete_at_exit.empty());
}

TEST_F(InterpreterTest, ObjectSuffixAfterATemporary) {
  Words words = expand("%g%O %g.x%O %O");
  EXPECT_TRUE(EndsWith(words[0], ".o"));
  EXPECT_TRUE(EndsWith(words[1], ".x.o"));
  EXPECT_EQ(words[2], ".o");
  EXPECT_EXIT(expand_spec("%g.s%Ox", nullptr), ExitedWithCode(1), "has invalid .*%0x");
}

TEST_F(InterpreterTest, DevNullForDiscardedOutputs) {
  EXPECT_EQ(expand("%j.o"), (Words{"/dev/null"}));
  EXPECT_TRUE(hooks_.delete_at_exit.empty());
  command_line().save_temps = SaveTempsMode::kDump;
  use_input("a.c");
  EXPECT_EQ(expand("%j.o"), (Words{"a.o"}));
  // A dump name that would be the input itself: "%j" then makes a fresh
  // temporary each time, and "%U" names the latest.
  use_input("a.s");
  Words words = expand("%j.s %U.s %j.s");
  EXPECT_TRUE(StartsWith(words[0], temp_dir()));
  EXPECT_EQ(words[1], words[0]);
  EXPECT_NE(words[2], words[0]);
  EXPECT_EQ(hooks_.delete_at_exit, (Words{words[0], words[0], words[2]}));
}

TEST_F(InterpreterTest, SaveTempsNamesFilesAfterTheInput) {
  command_line().save_temps = SaveTempsMode::kDump;
  use_input("dir/x.c");
  EXPECT_EQ(expand("%g.s %u.i"), (Words{"x.s", "x.i"}));
  command_line().dump_dir = "out/";
  command_line().dump_dir_length = 4;
  EXPECT_EQ(expand("%g.s"), (Words{"out/x.s"}));
  command_line().output_stem = "prog";
  command_line().output_stem_length = 4;
  EXPECT_EQ(expand("%g.s"), (Words{"out/prog.s"}));
  EXPECT_TRUE(hooks_.delete_at_exit.empty());
}

TEST_F(InterpreterTest, SaveTempsWithoutAnyStemDropsTheSuffixDot) {
  command_line().save_temps = SaveTempsMode::kDump;
  select_input(-1, nullptr);
  EXPECT_EQ(expand("%g.res"), (Words{"res"}));
  command_line().dump_dir = "a-";
  command_line().dump_dir_length = 2;
  command_line().dump_dir_trailing_dash = true;
  EXPECT_EQ(expand("%g.res"), (Words{"a-.res"}));
}

TEST_F(InterpreterTest, DumpNameThatWouldOverwriteTheInputBecomesATemporary) {
  command_line().save_temps = SaveTempsMode::kDump;
  use_input("x.s");
  Words words = expand("%g.s");
  EXPECT_TRUE(StartsWith(words[0], temp_dir()));

  // The same file under another spelling is found by its identity.
  ScratchDir dir;
  dir.write("x.s", "");
  dir.mkdir("sub");
  std::string spelled = dir / "sub/../x.s";
  use_input(spelled.c_str());
  std::string dump_dir = dir.path() + "/";
  command_line().dump_dir = dump_dir.c_str();
  command_line().dump_dir_length = dump_dir.size();
  // (The scratch directory is itself below the temporary directory.)
  EXPECT_FALSE(StartsWith(expand("%g.s")[0], dump_dir));
  EXPECT_EQ(expand("%g.o")[0], dump_dir + "x.o");
}

TEST_F(InterpreterTest, BaseNameDumpThatIsAnotherInputBecomesATemporary) {
  ScratchDir dir;
  std::string later = dir.write("x.ii", "int kept;");
  std::string later_gk = dir.write("x.gk.ii", "int kept;");
  std::string source = dir.write("x.cc", "int x;");
  use_input(later.c_str());
  use_input(later_gk.c_str());
  use_input(source.c_str());
  command_line().save_temps = SaveTempsMode::kDump;
  std::string dump_dir = dir.path() + "/";
  command_line().dump_dir = dump_dir.c_str();
  command_line().dump_dir_length = dump_dir.size();
  // Both uses name the same temporary, and the suffix is not added twice.
  Words words = expand("-o %b.ii %b.ii %b.s");
  ASSERT_EQ(words.size(), 4u);
  EXPECT_TRUE(StartsWith(words[1], temp_dir()));
  EXPECT_TRUE(EndsWith(words[1], ".ii"));
  EXPECT_FALSE(EndsWith(words[1], ".ii.ii"));
  EXPECT_EQ(words[2], words[1]);
  EXPECT_EQ(words[3], dump_dir + "x.s");
  // "%b" not followed by a suffix is left alone.
  EXPECT_EQ(expand("%b x")[0], dump_dir + "x");
  // A second compare-debug compilation keeps its ".gk" in the temporary.
  command_line().compare_debug = CompareDebug::kSecondCompilation;
  words = expand("%b.ii");
  EXPECT_TRUE(StartsWith(words[0], temp_dir()));
  EXPECT_TRUE(EndsWith(words[0], ".gk.ii"));
  command_line().compare_debug = CompareDebug::kNotRequested;
  // Without -save-temps "%b" is only the base name.
  command_line().save_temps = SaveTempsMode::kNone;
  EXPECT_EQ(expand("%b.ii")[0], dump_dir + "x.ii");
}

TEST_F(InterpreterTest, OutputThatIsAnInputIsFatal) {
  ScratchDir dir;
  std::string input = dir.write("l1.o", "");
  use_input(input.c_str());
  std::string spelled = dir / "./l1.o";
  std::string spec = "-o %w" + spelled;
  EXPECT_EXIT(expand_spec(spec.c_str(), nullptr), ExitedWithCode(1),
              "input file .*l1.o.* is the same as output file");
}

TEST_F(InterpreterTest, SecondCompareDebugRunMarksNames) {
  command_line().compare_debug = CompareDebug::kSecondCompilation;
  EXPECT_TRUE(EndsWith(expand("%g.s")[0], ".gk.s"));
  use_input("dir/x.tar.c");
  EXPECT_EQ(expand("%b %B"), (Words{"x.tar.gk", "x.tar.gk.c"}));
}

TEST_F(InterpreterTest, BaseNames) {
  use_input("dir/x.tar.c");
  EXPECT_EQ(expand("%b %B %b.o"), (Words{"x.tar", "x.tar.c", "x.tar.o"}));
  use_input(".hidden");
  EXPECT_EQ(expand("%b %B"), (Words{".hidden", ".hidden"}));
  use_input("dir/x.c");
  command_line().dump_dir = "d/";
  command_line().dump_dir_length = 2;
  EXPECT_EQ(expand("%b %w%b"), (Words{"d/x", "x"}));
  command_line().output_stem = "prog";
  command_line().output_stem_length = 4;
  EXPECT_EQ(expand("%B"), (Words{"d/prog.c"}));
}

TEST_F(InterpreterTest, BaseNameWithoutInputIsAnInternalError) {
  EXPECT_EXIT(expand_spec("%b", nullptr), ExitedWithCode(4), "");
  // A name with an empty last component has no base name either.
  use_input("dir/");
  EXPECT_EXIT(expand_spec("%B", nullptr), ExitedWithCode(4), "");
}

// Before the options are decoded there is no record: no pipes, no -v.
TEST_F(InterpreterTest, PipesAndVerboseFollowTheOptionsRecord) {
  ScratchDir dir;
  std::string file = dir.write("v.spec", "*from_v:\nv\n\n*link_command:\nl\n");
  std::string spec = "%:include(" + file + ")";
  options_.x_verbose_flag = 1;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand(spec.c_str()), (Words{}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Reading specs from " + file + "\n");
  command_line().options = nullptr;
  EXPECT_FALSE(pipes_in_force());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand(spec.c_str()), (Words{}));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_STREQ(named_spec_text("from_v"), "v");
}

TEST_F(InterpreterTest, PipeEscapesUnderPipe) {
  options_.x_use_pipes = 1;
  EXPECT_EQ(expand("-o %|.s x %m.s%O y"), (Words{"-o", "-", "x", "y"}));
  // Only "%O" goes with the suffix; another escape stays.
  EXPECT_EQ(expand("%|.s%%x %m.s%%y"), (Words{"-%x", "%y"}));
  EXPECT_TRUE(hooks_.delete_at_exit.empty());
  options_.x_use_pipes = 0;
  Words words = expand("%|.s %m.s");
  EXPECT_EQ(words[0], words[1]);
}

// Per-word flags.

TEST_F(InterpreterTest, DeleteAndOutputFlagsRecordFiles) {
  use_input("x.c");
  EXPECT_EQ(expand("%d-fdump=foo.d -o %w%b.s"), (Words{"-fdump=foo.d", "-o", "x.s"}));
  EXPECT_EQ(hooks_.delete_at_exit, (Words{"foo.d"}));
  EXPECT_EQ(hooks_.delete_on_failure, (Words{"x.s"}));
  EXPECT_STREQ(compile_progress().outputs[0], "x.s");
  // A blank ends the flags: the next word is not recorded.
  EXPECT_EQ(expand("%dA B"), (Words{"A", "B"}));
  EXPECT_EQ(hooks_.delete_at_exit, (Words{"foo.d", "A"}));
  // "%d" after all of its word marks the whole word.
  EXPECT_EQ(expand("C%d"), (Words{"C"}));
  EXPECT_EQ(hooks_.delete_at_exit, (Words{"foo.d", "A", "C"}));
}

// The file a word names is the temporary made for it; else, for an option
// word, the text after the last "=" the spec wrote; else the whole word.
TEST_F(InterpreterTest, RecordedFileIsTheOneMadeOrTheOptionsValue) {
  hooks_.delete_at_exit.clear();
  Words words = expand("-plugin-opt=-fresolution=%u.res");
  ASSERT_EQ(words.size(), 1u);
  ASSERT_EQ(hooks_.delete_at_exit.size(), 1u);
  const std::string made = hooks_.delete_at_exit[0];
  EXPECT_TRUE(StartsWith(made, temp_dir() + "/cc"));
  EXPECT_EQ(words[0], "-plugin-opt=-fresolution=" + made);
  // Text after the temporary in the same word is not part of its name.
  expand("-x=%g.s,y");
  EXPECT_TRUE(EndsWith(hooks_.delete_at_exit.back(), ".s"));

  // No temporary: the spec's last "=" ends the option, wherever the mark
  // stood; a word that is no option is named whole.
  hooks_.delete_at_exit.clear();
  EXPECT_EQ(expand("%d-fx=dir=d.tmp %w-fout=res.x -fy=%dkeep=e.tmp %dx=f.tmp"),
            (Words{"-fx=dir=d.tmp", "-fout=res.x", "-fy=keep=e.tmp", "x=f.tmp"}));
  EXPECT_EQ(hooks_.delete_at_exit, (Words{"d.tmp", "e.tmp", "x=f.tmp"}));
  EXPECT_EQ(hooks_.delete_on_failure, (Words{"res.x"}));

  // An "=" that came in with a name the driver put into the word is part
  // of that name: an input's base name, the dump directory, a variable.
  use_input("d=1/-a=b.c");
  command_line().dump_dir = "t=x/";
  command_line().dump_dir_length = 4;
  hooks_.environment = {{"V", "v=1"}};
  hooks_.delete_at_exit.clear();
  hooks_.delete_on_failure.clear();
  EXPECT_EQ(expand("-fdump=%d%b.d %w%b.s -o %d%w%b.o %d-fv=%:getenv(V .v)"),
            (Words{"-fdump=t=x/-a=b.d", "-a=b.s", "-o", "-a=b.o", "-fv=v=1.v"}));
  EXPECT_EQ(hooks_.delete_at_exit, (Words{"t=x/-a=b.d", "-a=b.o", "v=1.v"}));
  EXPECT_EQ(hooks_.delete_on_failure, (Words{"-a=b.s", "-a=b.o"}));
}

// A spec function called inside a word leaves that word's file alone: the
// "=" and the temporary written before the call still count.
TEST_F(InterpreterTest, FunctionCallKeepsTheCallersWordFile) {
  expand("-o=%w%:if-exists-else(/no/such/file out.o) -p=%w%:if-exists-else(/no/such x=1.o)");
  EXPECT_EQ(hooks_.delete_on_failure, (Words{"out.o", "1.o"}));
  hooks_.delete_at_exit.clear();
  Words words = expand("-x=%g.s%:if-exists-else(/no/such/file ,y)");
  ASSERT_EQ(hooks_.delete_at_exit.size(), 1u);
  EXPECT_EQ(words, (Words{"-x=" + hooks_.delete_at_exit[0] + ",y"}));
}

TEST_F(InterpreterTest, LibraryFilesAndLinkerScriptsAreSearched) {
  ScratchDir dir;
  dir.write("lib/crt1.o", "");
  dir.write("lib/map.ld", "");
  std::string lib = dir.mkdir("lib");
  add_search_prefix(&search_paths().startfile_prefixes, lib.c_str(), nullptr, kPrefixPriorityOther,
                    kPrefixPlain, false);
  EXPECT_EQ(expand("crt1.o%s nope.o%s"), (Words{lib + "crt1.o", "nope.o"}));
  EXPECT_EQ(expand("map.ld%T"), (Words{"--script", lib + "map.ld"}));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(expand("a missing.ld%T b"), (Words{"a", "b"}));
  EXPECT_TRUE(
      HasText(::testing::internal::GetCapturedStderr(), "unable to locate default linker script"));
}

TEST_F(InterpreterTest, SuffixSubstitutionStopsAtPercentOrSpace) {
  add_switch("-o", {"dir.x/out"});
  EXPECT_EQ(expand("%{o*:%.d%*}"), (Words{"dir.x/out.d"}));
  add_switch("-MF", {"deps.mk"});
  EXPECT_EQ(expand("%{MF*:%.a\tb%*}"), (Words{"deps.a\tb"}));
  // A name without any dot gets the suffix appended.
  add_switch("-MT", {"target"});
  EXPECT_EQ(expand("%{MT*:%.d%*}"), (Words{"target.d"}));
  // Ended by a blank, or by the end of the body.
  EXPECT_EQ(expand("%{MF*:%.d -x%*}"), (Words{"-x", "deps.d"}));
  EXPECT_EQ(expand("%{MF*:-y%*%.e}"), (Words{"-y", "deps.e"}));
}

// Lists: options, inputs and outputs.

TEST_F(InterpreterTest, OptionListsAreSeparateWords) {
  command_line().assembler_options = {"--a b", "-c"};
  command_line().preprocessor_options = {"-DX"};
  EXPECT_EQ(expand("%Y %Z %X"), (Words{"--a b", "-c", "-DX"}));
  EXPECT_EQ(expand("%x{-lfoo} a %x{-lfoo} b"), (Words{"a"}));
  EXPECT_EQ(expand("%x{-lbar}%X"), (Words{"-lfoo", "-lbar"}));
  // Without its "}" the option runs to the end of the spec.
  EXPECT_EQ(expand("a %x{-lbaz"), (Words{"a"}));
  EXPECT_EQ(command_line().linker_options.back(), std::string("-lbaz"));
}

TEST_F(InterpreterTest, CombinedInputsTakeEveryInputOfTheCompiler) {
  CompilerEntry c{"@c", "", nullptr, 1, 0};
  CompilerEntry as{"@asm", "", nullptr, 1, 0};
  InputList& inputs = command_line().inputs;
  inputs.add("a.c", nullptr).compiler = &c;
  inputs.add("-lm", "*").compiler = &c;
  inputs.add("x.s", nullptr).compiler = &as;
  inputs.add("b.c", "c").compiler = &c;
  select_input(0, &c);
  EXPECT_EQ(expand("%i"), (Words{"a.c"}));
  compile_progress().combined_inputs = true;
  EXPECT_EQ(expand("-x %i"), (Words{"-x", "a.c", "b.c"}));
  EXPECT_TRUE(inputs[0].compiled);
  EXPECT_FALSE(inputs[1].compiled);
  EXPECT_FALSE(inputs[2].compiled);
  EXPECT_TRUE(inputs[3].compiled);
}

TEST_F(InterpreterTest, OutputsSkipClearedSlots) {
  use_input("a.c");
  use_input("b.c");
  use_input("c.c");
  compile_progress().outputs = {"a.o", "b.o", "c.o", "extra.o"};
  select_input(1, nullptr);
  EXPECT_EQ(expand("%V%o"), (Words{"a.o", "c.o", "extra.o"}));
  // Without a current input (the link step) "%V" and "%i" do nothing.
  select_input(-1, nullptr);
  EXPECT_EQ(expand("%V%o %i"), (Words{"a.o", "c.o", "extra.o"}));
}

TEST_F(InterpreterTest, OutputGroupRecordsItsFileForFailures) {
  add_switch("-o", {"out.o"});
  EXPECT_EQ(expand("x %W{o*}"), (Words{"x", "-o", "out.o"}));
  EXPECT_EQ(hooks_.delete_on_failure, (Words{"out.o"}));
  EXPECT_EQ(expand("%W{nothing*}"), (Words{}));
  EXPECT_EQ(hooks_.delete_on_failure.size(), 1u);
}

TEST_F(InterpreterTest, SwitchRemoval) {
  CommandSwitch& foo = add_switch("-foo");
  add_switch("-fbar1");
  add_switch("-fbar2");
  EXPECT_EQ(expand("%<foo %{foo} %{foo:X} %>fbar* %{fbar*}"), (Words{}));
  EXPECT_TRUE(foo.validated);
  EXPECT_EQ(command_line().switches[1].liveness & kSwitchKeepForDriver, kSwitchKeepForDriver);
  // Found live before its removal: still true, never copied.
  CommandSwitch& baz = add_switch("-baz");
  EXPECT_EQ(expand("%{baz:X} %<baz %{baz:Y} %{baz}"), (Words{"X", "Y"}));
  EXPECT_EQ(baz.liveness & kSwitchIgnored, kSwitchIgnored);
  // A tab ends the name too; an unknown switch is removed but stays
  // unvalidated; an empty name removes nothing.
  CommandSwitch& odd = add_switch("-odd", {}, false);
  CommandSwitch& kept = add_switch("-kept");
  EXPECT_EQ(expand("%<odd\tx %<"), (Words{"x"}));
  EXPECT_EQ(odd.liveness, kSwitchIgnored);
  EXPECT_FALSE(odd.validated);
  EXPECT_EQ(kept.liveness, 0u);
}

// Directories and include options.

TEST_F(InterpreterTest, LibraryDirectoriesExistingOnly) {
  ScratchDir dir;
  std::string a = dir.mkdir("a");
  std::string b = dir / "missing/";
  for (const std::string* prefix : {&a, &b}) {
    add_search_prefix(&search_paths().startfile_prefixes, xstrdup(prefix->c_str()), nullptr,
                      kPrefixPriorityOther, kPrefixPlain, false);
  }
  add_search_prefix(&search_paths().startfile_prefixes, "/usr/lib/", nullptr, kPrefixPriorityOther,
                    kPrefixPlain, false);
  EXPECT_EQ(expand("%D"), (Words{"-L" + dir.path() + "/a"}));
  // The root keeps its slash, and a directory given without one is kept
  // as it is.
  run_specs().search_paths = SearchPaths{};
  compute_search_suffixes();
  std::string bare = dir.path() + "/a";
  for (const char* prefix : {"/", bare.c_str()}) {
    add_search_prefix(&search_paths().startfile_prefixes, prefix, nullptr, kPrefixPriorityOther,
                      kPrefixPlain, false);
  }
  EXPECT_EQ(expand("%D"), (Words{"-L/", "-L" + bare}));
}

TEST_F(InterpreterTest, IncludeOptionsInOrder) {
  ScratchDir dir;
  dir.mkdir("p/include");
  dir.mkdir("p/include-fixed/arm-linux");
  dir.mkdir("p/include-fixed");
  std::string prefix = dir.path() + "/p/";
  add_search_prefix(&search_paths().include_prefixes, prefix.c_str(), nullptr, kPrefixPriorityOther,
                    kPrefixPlain, false);
  SearchPaths& paths = search_paths();
  // Nothing selected: only the include directories.  A sysroot alone,
  // neither given by option nor with a headers suffix, adds nothing.
  paths.target_system_root = "/sr";
  EXPECT_EQ(expand("%I"),
            (Words{"-isystem", prefix + "include", "-isystem", prefix + "include-fixed"}));
  paths.multilib_dir = "m64";
  paths.multiarch_dir = "arm-linux";
  paths.target_system_root = "/sr";
  command_line().exec_prefix_from_env = "/opt/v/";
  command_line().sysroot_changed = true;
  EXPECT_EQ(expand("%I"),
            (Words{"-imultilib", "m64", "-imultiarch", "arm-linux", "-iprefix", "/opt/v/",
                   "-isysroot", "/sr", "-isystem", prefix + "include", "-isystem",
                   prefix + "include-fixed/arm-linux", "-isystem", prefix + "include-fixed"}));
  paths.multilib_dir = ".";
  paths.multiarch_dir = nullptr;
  command_line().exec_prefix_from_env = nullptr;
  command_line().sysroot_changed = false;
  command_line().sysroot_headers_suffix = "/h";
  EXPECT_EQ(expand("%I"), (Words{"-isysroot", "/sr/h", "-isystem", prefix + "include", "-isystem",
                                 prefix + "include-fixed"}));
  // With a headers suffix spec the fixed includes follow the multilib
  // directory instead of the multiarch one.
  dir.mkdir("p/include-fixed/m64");
  define_spec("sysroot_hdrs_suffix_spec", "/h", false);
  paths.multiarch_dir = "arm-linux";
  EXPECT_EQ(expand("%I"), (Words{"-imultiarch", "arm-linux", "-isysroot", "/sr/h", "-isystem",
                                 prefix + "include", "-isystem", prefix + "include-fixed"}));
  paths.multilib_dir = "m64";
  EXPECT_EQ(expand("%I"),
            (Words{"-imultilib", "m64", "-imultiarch", "arm-linux", "-isysroot", "/sr/h", "-isystem",
                   prefix + "include", "-isystem", prefix + "include-fixed/m64"}));
}

TEST_F(InterpreterTest, SysrootEscape) {
  EXPECT_EQ(expand("--sysroot=%R"), (Words{"--sysroot="}));
  search_paths().target_system_root = "/sr";
  EXPECT_EQ(expand("--sysroot=%R"), (Words{"--sysroot=/sr"}));
  search_paths().target_system_root = "/sr";
  search_paths().target_sysroot_suffix = "/v8";
  EXPECT_EQ(expand("--sysroot=%R"), (Words{"--sysroot=/sr/v8"}));
}

// Response files.

// Splits an argument file the way the driver's @file reader does.
Words read_argument_file(const std::string& path) {
  std::ifstream in(path);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  Words words;
  std::string word;
  bool in_word = false;
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      word.push_back(text[++i]);
      in_word = true;
    } else if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else {
        word.push_back(c);
      }
    } else if (c == '\'' || c == '"') {
      quote = c;
      in_word = true;
    } else if (std::isspace(static_cast<unsigned char>(c)) != 0) {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word.push_back(c);
      in_word = true;
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

TEST_F(InterpreterTest, ResponseFilesReadBackTheSameWords) {
  command_line().argument_files_supplied = true;
  add_switch("-I", {"a b"});
  add_switch("-I", {"q\"x'y\\z\t\n\v\f\r"});
  add_switch("-I", {""});
  Words words = expand("cc %@{I*} end");
  ASSERT_EQ(words.size(), 3u);
  ASSERT_EQ(words[1][0], '@');
  std::string file = words[1].substr(1);
  EXPECT_EQ(read_argument_file(file), (Words{"-I", "a b", "-I", "q\"x'y\\z\t\n\v\f\r", "-I", ""}));
  EXPECT_EQ(hooks_.delete_at_exit, (Words{file}));
  EXPECT_EQ(hooks_.delete_on_failure, (Words{file}));
  std::remove(file.c_str());
  // Nothing collected: no file at all.
  EXPECT_EQ(expand("%@{L*}"), (Words{}));
}

TEST_F(InterpreterTest, ResponseFilesUnderSaveTempsAreNumbered) {
  ScratchDir dir;
  std::string dump_dir = dir.path() + "/p-";
  CommandLine& line = command_line();
  line.argument_files_supplied = true;
  line.save_temps = SaveTempsMode::kDump;
  line.dump_dir = dump_dir.c_str();
  line.dump_dir_length = dump_dir.size();
  line.dump_dir_trailing_dash = true;
  compile_progress().outputs = {"a.o", "b.o"};
  EXPECT_EQ(expand("%o %o"), (Words{"@" + dump_dir + "args.0", "@" + dump_dir + "args.1"}));
  EXPECT_EQ(read_argument_file(dump_dir + "args.1"), (Words{"a.o", "b.o"}));
  EXPECT_TRUE(hooks_.delete_at_exit.empty());
}

// Without a dump base or directory a kept response file is named after
// "a" in the current directory.
TEST_F(InterpreterTest, ResponseFileWithoutDumpNamesIsCalledA) {
  ScratchDir dir;
  std::string here = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  CommandLine& line = command_line();
  line.argument_files_supplied = true;
  line.save_temps = SaveTempsMode::kDump;
  line.dump_base = "";
  line.dump_dir = "";
  compile_progress().outputs = {"a.o"};
  Words words = expand("%o");
  line.dump_base = nullptr;
  line.dump_dir = nullptr;
  words.push_back(expand("%o")[0]);
  std::filesystem::current_path(here);
  EXPECT_EQ(words, (Words{"@a.args.0", "@a.args.1"}));
  EXPECT_EQ(read_argument_file(dir / "a.args.0"), (Words{"a.o"}));
  EXPECT_EQ(read_argument_file(dir / "a.args.1"), (Words{"a.o"}));
}

// The response file goes where the hooks say; every way writing it can
// fail is fatal and names the file.
class FixedTempHooks : public RecordingHooks {
 public:
  explicit FixedTempHooks(const char* name) : name_(name) {}
  const char* new_temp_name(const char*) override { return name_; }

 private:
  const char* name_;
};

TEST_F(InterpreterTest, ResponseFileWriteFailuresAreFatal) {
  command_line().argument_files_supplied = true;
  compile_progress().outputs = {"a.o"};
  FixedTempHooks full("/dev/full");
  set_spec_hooks(&full);
  // A short file fails when it is closed, a long one while it is written.
  EXPECT_EXIT(expand_spec("%o", nullptr), ExitedWithCode(1),
              "^vorn-cxx: fatal error: could not close temporary response file /dev/full\n");
  std::string long_name(BUFSIZ * 2, 'x');
  compile_progress().outputs = {long_name.c_str()};
  EXPECT_EXIT(expand_spec("%o", nullptr), ExitedWithCode(1),
              "^vorn-cxx: fatal error: could not write to temporary response file /dev/full\n");
  FixedTempHooks missing("/no/such/dir/rsp");
  set_spec_hooks(&missing);
  EXPECT_EXIT(expand_spec("%o", nullptr), ExitedWithCode(1),
              "^vorn-cxx: fatal error: could not open temporary response file /no/such/dir/rsp\n");
  set_spec_hooks(&hooks_);
}

TEST_F(InterpreterTest, CombinedInputsGoToAResponseFile) {
  CompilerEntry c{"@c", "", nullptr, 1, 0};
  command_line().inputs.add("a b.c", nullptr).compiler = &c;
  command_line().inputs.add("c.c", nullptr).compiler = &c;
  select_input(0, &c);
  compile_progress().combined_inputs = true;
  command_line().argument_files_supplied = true;
  Words words = expand("%i");
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(read_argument_file(words[0].substr(1)), (Words{"a b.c", "c.c"}));
  std::remove(words[0].c_str() + 1);
}

TEST_F(InterpreterTest, NestedResponseFileIsFatal) {
  command_line().argument_files_supplied = true;
  add_switch("-I", {"x"});
  EXPECT_EXIT(expand_spec("%@{I*:%@{I*}}", nullptr), ExitedWithCode(1),
              "cannot open nested response file");
  EXPECT_EXIT(write_response_file(), ExitedWithCode(1), "cannot close nonexistent response file");
}

}  // namespace
}  // namespace vorn::testing
