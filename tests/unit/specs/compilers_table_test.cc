#include "specs/compilers_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "diagnostics/diagnostic.h"
#include "specs/builtin_specs.h"

namespace vorn {
namespace {

class CompilersTableTest : public ::testing::Test {};

const CompilerEntry* lookup(const char* name, const char* language = nullptr,
                            bool preprocess_only = false) {
  return find_compiler_entry(name, std::strlen(name), language, preprocess_only);
}

std::string key_of(const CompilerEntry* entry) {
  return entry != nullptr ? entry->suffix : "none";
}

TEST_F(CompilersTableTest, BuiltinTableShape) {
  ASSERT_EQ(compilers_table().size(), kBuiltinCompilerCount);
  int with_cpp_spec = 0;
  for (const CompilerEntry& entry : kBuiltinCompilers) {
    if (entry.cpp_spec != nullptr) {
      ++with_cpp_spec;
      EXPECT_STREQ(entry.cpp_spec, "%(cpp_cpu) %(cpp_arch) %{posix:-D_POSIX_SOURCE}");
    }
  }
  EXPECT_EQ(with_cpp_spec, 4);
  EXPECT_EQ(lookup("x.go")->combinable, 1);
  EXPECT_EQ(lookup("x.c")->needs_preprocessing, 1);
  EXPECT_EQ(lookup("x.mm")->combinable, 0);
}

std::size_t count(const std::string& text, const std::string& piece) {
  std::size_t found = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++found;
  }
  return found;
}

const char* spec_for(const char* language) {
  return find_compiler_entry("x", 1, language, false)->spec;
}

TEST_F(CompilersTableTest, VariantSpecsDifferOnlyWhereTheyShould) {
  std::string header = spec_for("c++-header");
  std::string system = spec_for("c++-system-header");
  std::string user = spec_for("c++-user-header");
  EXPECT_EQ(count(header, "-fmodule-header"), 3u);
  EXPECT_EQ(count(system, "-fmodule-header=system"), 3u);
  EXPECT_EQ(count(user, "-fmodule-header=user"), 3u);
  EXPECT_EQ(system.size(), header.size() + 3 * 7);

  std::string why = spec_for("adawhy");
  std::string scil = spec_for("adascil");
  EXPECT_EQ(why.rfind("%{!c:%e-c required for kelp2why} kelp1why %{I*}", 0), 0u);
  EXPECT_EQ(scil.rfind("%{!c:%e-c required for kelp2scil} kelp1scil %{I*}", 0), 0u);
  EXPECT_EQ(scil.substr(scil.find(" %{I*}")), why.substr(why.find(" %{I*}")));

  EXPECT_STREQ(spec_for("cpp-output"),
               "%{!M:%{!MM:%{!E:cfe1 -fpreprocessed %i %(cfe1_options) "
               "%{!fsyntax-only:%(invoke_as)}}}}");
  std::string c = spec_for("c");
  EXPECT_NE(c.find("%{traditional:%eMOX C no longer supports -traditional without -E}"),
            std::string::npos);
  EXPECT_NE(c.find("%{!save-temps*:%g.i} \n cfe1 -fpreprocessed"), std::string::npos);
}

TEST_F(CompilersTableTest, SuffixLookupFollowsForwarding) {
  EXPECT_EQ(key_of(lookup("x.cc")), "@c++");
  EXPECT_EQ(key_of(lookup("dir.d/x.C")), "@c++");
  EXPECT_EQ(key_of(lookup("x.c")), "@c");
  EXPECT_EQ(key_of(lookup("x.ii")), "@c++-cpp-output");
  EXPECT_EQ(key_of(lookup("x.hpp")), "@c++-header");
  EXPECT_EQ(key_of(lookup("x.S")), "@assembler-with-cpp");
  EXPECT_EQ(key_of(lookup("x.adb")), "@ada");
  const CompilerEntry* fortran = lookup("x.f90");
  ASSERT_NE(fortran, nullptr);
  EXPECT_STREQ(fortran->spec, "#Fortran");
  EXPECT_EQ(lookup("x.txt"), nullptr);
  // A key must be strictly shorter than the name.
  EXPECT_EQ(lookup(".c"), nullptr);
  EXPECT_EQ(key_of(lookup("-")), "-");
  EXPECT_EQ(lookup("x-"), nullptr);
  // The length given, not the terminator, bounds the name.
  EXPECT_EQ(key_of(find_compiler_entry("x.cc.o", 4, nullptr, false)), "@c++");
}

TEST_F(CompilersTableTest, LanguageLookup) {
  EXPECT_EQ(key_of(lookup("x.txt", "c++")), "@c++");
  EXPECT_EQ(key_of(lookup("x.c", "assembler")), "@assembler");
  EXPECT_EQ(lookup("libfoo.a", "*"), nullptr);
  EXPECT_FALSE(errors_seen());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(lookup("x.m", "objective-c"), nullptr);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("language objective-c not recognized"), std::string::npos) << err;
  // Standard input may be preprocessed as a header, not compiled into one.
  EXPECT_EQ(key_of(lookup("-", "c-header", true)), "@c-header");
  EXPECT_EQ(key_of(lookup("x.h", "c++-header", false)), "@c++-header");
}

TEST_F(CompilersTableTest, SpecsFileEntriesWin) {
  add_compiler_entry(".foo", "@c++");
  add_compiler_entry(".c", "mycc %i");
  add_compiler_entry(".lnk", "@*linker");
  add_compiler_entry(".bad", "@nosuch");
  EXPECT_EQ(key_of(lookup("x.foo")), "@c++");
  EXPECT_STREQ(lookup("x.c")->spec, "mycc %i");
  EXPECT_EQ(lookup("x.lnk"), nullptr);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(lookup("x.bad"), nullptr);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("language nosuch not recognized"), std::string::npos) << err;
  // Pointers handed out stay valid while entries are added.
  const CompilerEntry* cxx = lookup("x.cc");
  for (int i = 0; i < 1000; ++i) add_compiler_entry(".z", "z");
  EXPECT_STREQ(cxx->suffix, "@c++");
  install_compilers_table();
  EXPECT_EQ(key_of(lookup("x.c")), "@c");
}

TEST(CompilersTableDeathTest, StandardInputCannotBecomeAPrecompiledHeader) {
  EXPECT_EXIT(lookup("-", "c-header", false), ::testing::ExitedWithCode(1),
              "cannot use .-. as input filename for a precompiled header");
  EXPECT_EXIT(lookup("-", "c++-header", false), ::testing::ExitedWithCode(1), "precompiled header");
}

}  // namespace
}  // namespace vorn
