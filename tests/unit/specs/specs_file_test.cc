#include "specs/specs_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "scratch_dir.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/run_specs.h"

namespace vorn {
namespace {

using ::testing::ExitedWithCode;

class SpecsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    compute_search_suffixes();
    install_default_specs(false);
  }

  // The built-in texts again, the list not yet linked, as a run starts.
  static void forget_named_specs() { run_specs().named_specs.reset(); }

  // Reads TEXT as a non-main, non-user file.
  static void read(const std::string& text, bool main_file = false) {
    load_specs_text("test.specs", text, main_file, false, false);
  }

  std::string text_of(const char* name) {
    const char* text = named_spec_text(name);
    return text != nullptr ? text : "(none)";
  }

  testing::ScratchDir dir_;
};

TEST_F(SpecsFileTest, PlusAppendsAndPlainTextReplaces) {
  std::string old_options = text_of("cfe1_options");
  std::string file = dir_.write("user.specs", "*cfe1_options:\n+ -DEXTRA\n\n*cpp:\n-DONLY\n");
  load_specs_file(file.c_str(), false, true, false);
  EXPECT_EQ(text_of("cfe1_options"), old_options + " -DEXTRA");
  EXPECT_TRUE(find_named_spec("cfe1_options")->user);
  EXPECT_EQ(text_of("cpp"), "-DONLY");
}

TEST_F(SpecsFileTest, RenameChainsTheOldText) {
  std::string old_cpp = text_of("cpp");
  read("%rename cpp old_cpp\n\n*cpp:\n%(old_cpp) -DX\n");
  EXPECT_EQ(text_of("old_cpp"), old_cpp);
  EXPECT_EQ(text_of("cpp"), "%(old_cpp) -DX");
  // Renaming a spec to itself changes nothing; a tab may separate the names.
  read("%rename\tcpp cpp\n");
  EXPECT_EQ(text_of("cpp"), "%(old_cpp) -DX");
  read("%rename asm\tasm2\n");
  EXPECT_EQ(text_of("asm"), "");
  EXPECT_EQ(text_of("asm2").rfind("%{mbig-endian:-EB}", 0), 0u);
}

TEST_F(SpecsFileTest, BodiesSpanLinesUntilAnEmptyLine) {
  read(
      "# leading comment\n"
      "*foo:\n"
      "line1 # dropped\n"
      "line2 \\\n"
      "continued\n"
      "\n"
      "   # comment between items\n"
      "*bar: x\n");
  EXPECT_EQ(text_of("foo"), "line1 \nline2 continued");
  EXPECT_EQ(text_of("bar"), "x");
  // The newline that ends the file ends the last body, and is not part of it.
  read("*last:\nfinal words\n");
  EXPECT_EQ(text_of("last"), "final words");
}

TEST_F(SpecsFileTest, LineEndsAreNormalised) {
  read("*a:\r\nx\r\ny\r\n\r\n*b:\ry\r\r*c  :\n\rzz");
  EXPECT_EQ(text_of("a"), "x\ny");
  EXPECT_EQ(text_of("b"), "y");
  EXPECT_EQ(text_of("c"), "zz");
  // A carriage return that starts or ends the file is a line end too.
  read("\r*d:\nw\r");
  EXPECT_EQ(text_of("d"), "w");
}

// The last line of a file need not end in a newline, whatever it holds.
TEST_F(SpecsFileTest, LastLineWithoutNewline) {
  read("*a:\nx\n\n# trailing comment");
  EXPECT_EQ(text_of("a"), "x");
  read("*b:\ny \\");
  EXPECT_EQ(text_of("b"), "y \\");
  read("*c:\nback\\slash\n");
  EXPECT_EQ(text_of("c"), "back\\slash");
  read("%rename c c_old");
  EXPECT_EQ(text_of("c_old"), "back\\slash");
  EXPECT_EQ(text_of("c"), "");
  std::string included = dir_.write("inc.spec", "*inc:\nz\n");
  read("%include <" + included + ">");
  EXPECT_EQ(text_of("inc"), "z");
}

TEST_F(SpecsFileTest, EmptyBodiesAndRunsOfEmptyLines) {
  // Two empty lines after the colon give an empty body; runs of empty lines
  // between items and at the end are harmless.
  read("*a:\n\n\n*b:\nx\n\n\n\n\n*c:\ny\n\n\n\n");
  EXPECT_EQ(text_of("a"), "");
  EXPECT_EQ(text_of("b"), "x");
  EXPECT_EQ(text_of("c"), "y");
  // One empty line after the colon line is skipped like a blank.
  read("*d:\n\nz\n");
  EXPECT_EQ(text_of("d"), "z");
}

// What -dumpspecs prints reads back as a main specs file with the same
// texts, empty ones included.
TEST_F(SpecsFileTest, DumpedSpecsReadBack) {
  char* dumped = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&dumped, &size);
  dump_specs(out);
  std::fclose(out);
  std::string dump(dumped, size);
  std::free(dumped);
  std::vector<std::pair<std::string, std::string>> before;
  for (NamedSpec* spec = first_named_spec(); spec != nullptr; spec = spec->next) {
    before.emplace_back(spec->name, spec->text());
  }
  std::string link_before = link_command_spec();

  forget_named_specs();
  read(dump, true);
  for (const auto& [name, text] : before) {
    // Blanks before a body are skipped: " %{mcpu=*..." comes back without
    // its leading blank, which means the same in a spec.
    EXPECT_EQ(text_of(name.c_str()),
              text.substr(std::min(text.size(), text.find_first_not_of(" "))))
        << name;
  }
  EXPECT_EQ(link_command_spec(), link_before);
  EXPECT_EQ(compilers_table().size(), kBuiltinCompilerCount);
}

TEST_F(SpecsFileTest, CompilerEntriesAndLinkCommand) {
  std::size_t builtin = compilers_table().size();
  read(".foo:\n@c++\n\n*link_command:\nmylink %o\n");
  ASSERT_EQ(compilers_table().size(), builtin + 1);
  const CompilerEntry& added = compilers_table().back();
  EXPECT_STREQ(added.suffix, ".foo");
  EXPECT_STREQ(added.spec, "@c++");
  EXPECT_EQ(added.cpp_spec, nullptr);
  EXPECT_STREQ(find_compiler_entry("x.foo", 5, nullptr, false)->suffix, "@c++");
  EXPECT_STREQ(link_command_spec(), "mylink %o");
  // An item with an empty name is also the link command.
  read(" :\nother link\n");
  EXPECT_STREQ(link_command_spec(), "other link");
  EXPECT_STREQ(compilers_table().back().suffix, "");
}

TEST_F(SpecsFileTest, MainFileReadsPercentLinesAsItems) {
  read("%odd:\nbody\n", true);
  EXPECT_STREQ(compilers_table().back().suffix, "%odd");
}

TEST_F(SpecsFileTest, IncludeSearchesTheStartfilePrefixes) {
  std::string bdir = dir_.mkdir("b");
  dir_.write("b/x.spec", "*from_x:\nyes\n");
  add_search_prefix(&search_paths().startfile_prefixes, bdir.c_str(), nullptr, kPrefixPriorityB,
                    kPrefixPlain, false);
  read("%include <x.spec>\n*after:\nz\n");
  EXPECT_EQ(text_of("from_x"), "yes");
  EXPECT_EQ(text_of("after"), "z");

  ::testing::internal::CaptureStderr();
  load_specs_text("t", "%include_noerr <nosuch.spec>\n", false, false, true);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "could not find specs file nosuch.spec\n");
  // Without -v a missing optional file is skipped in silence.
  ::testing::internal::CaptureStderr();
  read("%include_noerr <nosuch.spec>\n*quiet:\nq\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(text_of("quiet"), "q");
  // A required file found nowhere is read by its own name: relative to the
  // current directory when it is there, else the read fails.
  dir_.write("here.spec", "*here:\nh\n");
  std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  read("%include <here.spec>\n");
  std::filesystem::current_path(cwd);
  EXPECT_EQ(text_of("here"), "h");
  EXPECT_EXIT(read("%include <nosuch.spec>\n"), ExitedWithCode(1),
              "^vorn-cxx: fatal error: cannot read spec file 'nosuch.spec': "
              "No such file or directory\n");

  ::testing::internal::CaptureStderr();
  load_specs_text("t", "%include_noerr\t  <x.spec>", false, false, true);
  err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "Reading specs from " + bdir + "x.spec\n");
}

// Every malformed item ends the run with its message and position.
TEST_F(SpecsFileTest, MalformedItemsAreFatal) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"%include x.spec\n", "specs %include syntax malformed after 9 characters"},
      {"%include <x.spec\n", "specs %include syntax malformed after 9 characters"},
      {"%include<x.spec>\n", "specs unknown % command after 0 characters"},
      {"%include\n", "specs %include syntax malformed after 8 characters"},
      {"%include_noerr <>x\n", "specs %include syntax malformed after 15 characters"},
      {"%include <\n", "specs %include syntax malformed after 9 characters"},
      {"%rename\n", "specs %rename syntax malformed after 7 characters"},
      {"%rename", "specs %rename syntax malformed after 7 characters"},
      {"%rename  1x y\n", "specs %rename syntax malformed after 9 characters"},
      {"%rename cpp", "specs %rename syntax malformed after 11 characters"},
      {"%rename cpp new\t\n", "specs %rename syntax malformed after 15 characters"},
      {"%define", "specs unknown % command after 0 characters"},
      {"*a:\nx\n\njunk", "specs file malformed after 11 characters"},
      {"%rename cpp\n", "specs %rename syntax malformed after 11 characters"},
      {"%rename cpp 1x\n", "specs %rename syntax malformed after 12 characters"},
      {"%rename cpp new extra\n", "specs %rename syntax malformed after 15 characters"},
      {"%rename nosuch x\n", "specs nosuch spec was not found to be renamed"},
      {"%rename cpp asm\n",
       "test.specs: attempt to rename spec .cpp. to already defined spec .asm."},
      {"*a:\nx\n\n%define y\n", "specs unknown % command after 7 characters"},
      {"junk\n*a: x\n", "specs file malformed after 4 characters"},
      {"*a:", "specs file malformed after 3 characters"},
      {"*a: x", "specs file malformed after 4 characters"},
  };
  for (const Case& c : cases) {
    EXPECT_EXIT(read(c.text), ExitedWithCode(1), std::string("fatal error: ") + c.message)
        << c.text;
  }
}

TEST_F(SpecsFileTest, FileErrorsAreFatal) {
  std::string missing = dir_ / "missing.specs";
  EXPECT_EXIT(load_specs_file(missing.c_str(), false, false, false), ExitedWithCode(1),
              "cannot read spec file .*missing.specs.: No such file or directory");
  std::string directory = dir_.mkdir("adir");
  EXPECT_EXIT(load_specs_file(directory.c_str(), false, false, false), ExitedWithCode(1),
              "cannot read spec file .*adir/.: Is a directory");
  forget_named_specs();
  EXPECT_EXIT(read("*a:\nx\n", true), ExitedWithCode(1), "spec file has no spec for linking");
}

TEST_F(SpecsFileTest, IncludeCyclesAndRunawayDepthAreFatal) {
  std::string self = dir_ / "self.spec";
  dir_.write("self.spec", "%include <" + self + ">\n");
  EXPECT_EXIT(load_specs_file(self.c_str(), false, false, false), ExitedWithCode(1),
              "recursive inclusion of specs file .*self.spec");

  std::string a = dir_ / "a.spec";
  std::string b = dir_ / "b.spec";
  dir_.write("a.spec", "*a:\n1\n\n%include <" + b + ">\n");
  dir_.write("b.spec", "%include_noerr <" + a + ">\n");
  EXPECT_EXIT(load_specs_file(a.c_str(), false, false, false), ExitedWithCode(1),
              "recursive inclusion of specs file .*a.spec");

  // A long chain of distinct files: each level costs a little stack.
  for (int i = 0; i < 300; ++i) {
    dir_.write("chain" + std::to_string(i) + ".spec",
               "%include <" + (dir_ / ("chain" + std::to_string(i + 1) + ".spec")) + ">\n");
  }
  dir_.write("chain300.spec", "*end:\nx\n");
  std::string first = dir_ / "chain0.spec";
  EXPECT_EXIT(load_specs_file(first.c_str(), false, false, false), ExitedWithCode(1),
              "specs files nested more than 200 deep");

  // A file on another device is none of the files being read, whatever
  // its inode number.
  std::string outer = dir_.write("outer.spec", "%include </dev/null>\n*outer:\no\n");
  load_specs_file(outer.c_str(), false, false, false);
  EXPECT_EQ(text_of("outer"), "o");

  // The same file included twice in a row is no cycle.
  std::string once = dir_.write("once.spec", "*once:\n+ x\n");
  read("%include <" + once + ">\n%include <" + once + ">\n");
  EXPECT_EQ(text_of("once"), " x x");
}

TEST_F(SpecsFileTest, VerboseReportsReadingAndRenaming) {
  std::string file = dir_.write("v.specs", "%rename cpp cpp_old\n");
  ::testing::internal::CaptureStderr();
  load_specs_file(file.c_str(), false, false, true);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "Reading specs from " + file + "\nrename spec cpp to cpp_old\n");
}

}  // namespace
}  // namespace vorn
