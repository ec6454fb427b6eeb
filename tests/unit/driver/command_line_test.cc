// Command-line processing: what the driver's options leave in the switch
// table, the input list and the dump naming.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../specs/scratch_dir.h"
#include "diagnostics/diagnostic.h"
#include "driver/driver.h"
#include "options/decode.h"
#include "specs/prefixes.h"
#include "specs/switches.h"

namespace vorn {
namespace {

std::string text_or_null(const char* text) {
  return text != nullptr ? text : "(null)";
}

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    command_line() = CommandLine();
    driver_state() = DriverState();
    driver_state().options = kInitialOptionsRecord;
    unsetenv("VORN_EXEC_PREFIX");
    unsetenv("VORN_COMPARE_DEBUG");
    unsetenv("COMPILER_PATH");
    unsetenv("LIBRARY_PATH");
    unsetenv("LPATH");
  }

  // Decodes ARGS (after the program name) and processes them.
  void process(std::vector<const char*> args) {
    args.insert(args.begin(), "vorn-cxx");
    args.push_back(nullptr);
    DecodedOption* decoded = nullptr;
    std::size_t count = 0;
    decode_options_to_array(args.size() - 1, args.data(), kFlagDriver, &decoded, &count);
    process_command(count, decoded);
  }

  std::vector<std::string> inputs() const {
    std::vector<std::string> result;
    for (const InputFile& input : command_line().inputs) {
      result.push_back(std::string(input.name) + ":" + text_or_null(input.language));
    }
    return result;
  }

  const CommandSwitch* find_switch(const char* text) const {
    for (const CommandSwitch& sw : command_line().switches) {
      if (std::strcmp(sw.text, text) == 0) return &sw;
    }
    return nullptr;
  }

  std::string dump_dir() const { return text_or_null(command_line().dump_dir); }
  std::string stem() const { return text_or_null(command_line().output_stem); }
  std::string ext() const { return text_or_null(command_line().dump_base_ext); }
};

TEST_F(CommandLineTest, LinkerItemsKeepTheirPlaceAmongInputs) {
  process({"a.c", "-Wl,-z,now", "-lm", "-Xlinker", "--gc", "b.o"});
  // The C++ adjustments compile a.c as C++ and move -lm behind the C++
  // library they add.
  EXPECT_EQ(inputs(), (std::vector<std::string>{"a.c:c++", "-z:*", "now:*", "--gc:*", "b.o:(null)",
                                                "-lcxxstd:*", "-lm:*"}));
}

TEST_F(CommandLineTest, LanguageFollowsTheLastX) {
  ::testing::internal::CaptureStderr();
  // -c: a link would add libraries after the last -x.
  process({"-c", "-x", "c++", "a.txt", "-x", "none", "b.c", "-x", "c"});
  std::string messages = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(inputs(), (std::vector<std::string>{"a.txt:c++", "b.c:(null)"}));
  EXPECT_NE(messages.find("'-x c' after last input file has no effect"), std::string::npos)
      << messages;
}

TEST_F(CommandLineTest, XBeforeAnyInputDoesNotWarnOnceAnInputFollows) {
  ::testing::internal::CaptureStderr();
  process({"-x", "c", "a.txt"});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(CommandLineTest, SwitchesAreRecordedAsTheSpecsExpectThem) {
  process({"-o", "out", "-L", "dir", "-pipe", "-O2", "-bogus-option", "a.c"});
  const CommandSwitch* output = find_switch("o");
  ASSERT_NE(output, nullptr);
  ASSERT_NE(output->arguments, nullptr);
  EXPECT_STREQ(output->arguments[0], "out");
  EXPECT_EQ(output->arguments[1], nullptr);
  EXPECT_FALSE(output->validated);
  // -L is kept joined, without a separate argument.
  const CommandSwitch* library_dir = find_switch("Ldir");
  ASSERT_NE(library_dir, nullptr);
  EXPECT_EQ(library_dir->arguments, nullptr);
  ASSERT_NE(find_switch("pipe"), nullptr);
  EXPECT_TRUE(find_switch("pipe")->validated);
  // An option for the compilers is known but waits for a spec to accept it.
  ASSERT_NE(find_switch("O2"), nullptr);
  EXPECT_TRUE(find_switch("O2")->known);
  EXPECT_FALSE(find_switch("O2")->validated);
  // An unknown option is kept, unknown and unvalidated, and not reported
  // yet: a user's specs file may accept it.
  const CommandSwitch* unknown = find_switch("bogus-option");
  ASSERT_NE(unknown, nullptr);
  EXPECT_FALSE(unknown->known);
  EXPECT_FALSE(unknown->validated);
  EXPECT_FALSE(errors_seen());
}

TEST_F(CommandLineTest, IgnoredOptionsAreKeptForTheSpecs) {
  process({"-Whsa", "-Wno-unknown-warning-xyz", "a.c"});
  const CommandSwitch* ignored = find_switch("Whsa");
  ASSERT_NE(ignored, nullptr);
  EXPECT_FALSE(ignored->known);
  // Accepted as it stands: never reported as unrecognized.
  EXPECT_TRUE(ignored->validated);
  // An unknown negative warning is the compilers' business: known.
  ASSERT_NE(find_switch("Wno-unknown-warning-xyz"), nullptr);
  EXPECT_TRUE(find_switch("Wno-unknown-warning-xyz")->known);
  EXPECT_FALSE(errors_seen());
}

TEST_F(CommandLineTest, CompileOnlyIsKnownWhateverTheOrder) {
  process({"a.c", "-S"});
  EXPECT_TRUE(command_line().stops.compile_only());
}

TEST_F(CommandLineTest, OffloadTargets) {
  ::testing::internal::CaptureStderr();
  process({"-foffload=default", "a.c"});
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(driver_state().offload_targets, nullptr);

  SetUp();
  process({"-foffload=disable", "a.c"});
  EXPECT_STREQ(driver_state().offload_targets, "");

  SetUp();
  ::testing::internal::CaptureStderr();
  process({"-foffload=-O2", "a.c"});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  ASSERT_NE(find_switch("foffload-options=-O2"), nullptr);
}

TEST_F(CommandLineTest, OutputChecks) {
  EXPECT_EXIT(process({"-o", "a.c", "a.c"}), ::testing::ExitedWithCode(1),
              "input file 'a.c' is the same as output file");
  // Existing files are compared by their canonical names.
  testing::ScratchDir scratch;
  std::string input = scratch.write("a.c", "");
  std::string output = scratch / "sub/../a.c";
  scratch.write("sub/x", "");
  EXPECT_EXIT(process({"-o", output.c_str(), input.c_str()}), ::testing::ExitedWithCode(1),
              "is the same as output file");
  EXPECT_EXIT(process({"-o", "", "a.c"}), ::testing::ExitedWithCode(1),
              "output filename may not be empty");
  // Linker items are not files to compare; /dev/null is never an input.
  process({"-o", "now", "-Wl,now", "a.c"});
  SetUp();
  process({"-o", "/dev/null", "/dev/null"});
}

TEST_F(CommandLineTest, UnknownSaveTempsValueIsFatal) {
  EXPECT_EXIT(process({"-save-temps=elsewhere", "a.c"}), ::testing::ExitedWithCode(1),
              "'-save-temps=elsewhere' is an unknown '-save-temps' option");
}

TEST_F(CommandLineTest, HelpWithoutInputsRunsTheSubprocessesOnce) {
  process({"--help"});
  EXPECT_EQ(inputs(), (std::vector<std::string>{"help-dummy:c"}));
  EXPECT_TRUE(command_line().undefined_variables_allowed);
}

TEST_F(CommandLineTest, CompareDebugFromTheEnvironment) {
  setenv("VORN_COMPARE_DEBUG", "1", 1);
  process({"a.c"});
  EXPECT_EQ(command_line().compare_debug.state(), CompareDebug::kFirstCompilation);
  EXPECT_NE(find_switch("fcompare-debug=-gtoggle"), nullptr);

  SetUp();
  setenv("VORN_COMPARE_DEBUG", "1", 1);
  process({"-fno-compare-debug", "a.c"});
  EXPECT_EQ(command_line().compare_debug.state(), CompareDebug::kNotRequested);
  unsetenv("VORN_COMPARE_DEBUG");
}

// Dump naming.

TEST_F(CommandLineTest, LinkDumpsGoNextToTheOutputWithItsName) {
  process({"-save-temps=obj", "-o", "dir/prog", "a.c", "b.c"});
  EXPECT_EQ(dump_dir(), "dir/prog-");
  EXPECT_TRUE(command_line().dump_dir_trailing_dash);
  EXPECT_EQ(command_line().dump_dir_length, 9u);
  EXPECT_EQ(command_line().save_temps, SaveTempsMode::kDump);
}

TEST_F(CommandLineTest, CompileOnlyWithoutOutputHasNoDumpDir) {
  process({"-save-temps", "-c", "a.c"});
  EXPECT_EQ(dump_dir(), "(null)");
  EXPECT_EQ(stem(), "(null)");
}

TEST_F(CommandLineTest, SingleInputNamedLikeTheOutputKeepsItsOwnName) {
  process({"-o", "dir/a", "a.c"});
  EXPECT_EQ(dump_dir(), "dir/");
  EXPECT_EQ(stem(), "a");
  EXPECT_EQ(command_line().output_stem_length, 0u);

  SetUp();
  process({"-o", "dir/prog", "a.c"});
  EXPECT_EQ(dump_dir(), "dir/prog-");
  EXPECT_EQ(stem(), "(null)");
}

TEST_F(CommandLineTest, ExecutableSuffixesAreNotPartOfTheStem) {
  process({"-o", "x.exe", "a.c", "b.c"});
  EXPECT_EQ(dump_dir(), "x-");
  SetUp();
  process({"-o", "a.out", "a.c", "b.c"});
  EXPECT_EQ(dump_dir(), "a-");
  SetUp();
  process({"-o", "x.bin", "a.c", "b.c"});
  EXPECT_EQ(dump_dir(), "x.bin-");
  SetUp();
  process({"a.c", "b.c"});
  EXPECT_EQ(dump_dir(), "a-");
}

TEST_F(CommandLineTest, CompileOnlyTakesTheStemFromTheOutput) {
  process({"-c", "-o", "obj/x.o", "a.c"});
  EXPECT_EQ(dump_dir(), "obj/");
  EXPECT_EQ(stem(), "x");
  EXPECT_EQ(command_line().output_stem_length, 1u);
}

TEST_F(CommandLineTest, DumpBaseSuffixMustBeAProperEnding) {
  process({"-c", "-dumpbase-ext", ".c", "-dumpbase", "x.c", "x.c"});
  EXPECT_EQ(ext(), ".c");
  EXPECT_EQ(stem(), "x");
  SetUp();
  process({"-c", "-dumpbase-ext", ".c", "-dumpbase", ".c", "x.c"});
  EXPECT_EQ(ext(), "(null)");
  // An empty -dumpbase has no suffix to keep either.
  SetUp();
  process({"-c", "-dumpbase-ext", ".c", "-dumpbase", "", "x.c"});
  EXPECT_EQ(ext(), "(null)");
}

TEST_F(CommandLineTest, DumpBaseWithSeveralInputsBecomesAPrefix) {
  process({"-dumpbase", "foo.c", "-dumpbase-ext", ".c", "-c", "a.c", "b.c"});
  EXPECT_EQ(dump_dir(), "foo-");
  EXPECT_EQ(text_or_null(command_line().dump_base), "(null)");
  EXPECT_EQ(ext(), "(null)");
}

TEST_F(CommandLineTest, DumpBaseWithADirectoryDropsTheDumpDir) {
  process({"-dumpdir", "d/", "-dumpbase", "sub/x", "-c", "a.c"});
  EXPECT_EQ(dump_dir(), "(null)");
  EXPECT_EQ(stem(), "sub/x");
}

TEST_F(CommandLineTest, ExplicitDumpDirUnlessSaveTempsFollows) {
  process({"-dumpdir", "d/", "-o", "out/p", "a.c"});
  EXPECT_EQ(dump_dir(), "d/");
  SetUp();
  process({"-dumpdir", "d/", "-save-temps=cwd", "-o", "out/p", "a.c"});
  EXPECT_EQ(dump_dir(), "(null)");
  SetUp();
  process({"-save-temps=cwd", "-dumpdir", "d/", "-o", "out/p", "a.c"});
  EXPECT_EQ(dump_dir(), "d/");
  // Without -o a -dumpdir that a -save-temps= overrode is dropped; with
  // -o - it stays.
  SetUp();
  process({"-dumpdir", "d/", "-save-temps=obj", "-c", "a.c"});
  EXPECT_EQ(dump_dir(), "(null)");
  SetUp();
  process({"-dumpdir", "d/", "-save-temps=obj", "-E", "-o", "-", "a.c"});
  EXPECT_EQ(dump_dir(), "d/");
}

}  // namespace
}  // namespace vorn
