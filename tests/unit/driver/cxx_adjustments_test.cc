// The C++ adjustments of the decoded argument list: which inputs become
// C++, which libraries are added, in which order, and how many.
#include "driver/cxx_adjustments.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "options/decode.h"
#include "options/option_codes.h"
#include "options/option_table.h"

namespace vorn {
namespace {

struct Adjusted {
  std::string words;  // the rewritten options as written, blank-separated
  int added = 0;
};

// Adjusts OPTIONS and renders the result, libraries as "-lNAME".
Adjusted adjust_options(const std::vector<DecodedOption>& decoded, int added_before) {
  const DecodedOption* options = decoded.data();
  std::size_t count = decoded.size();
  Adjusted result;
  result.added = added_before;
  lang_specific_driver(&options, &count, &result.added);
  for (std::size_t i = 1; i < count; ++i) {
    if (!result.words.empty()) result.words += ' ';
    if (options[i].index == OPT_l) {
      result.words += std::string("-l") + options[i].argument;
    } else {
      result.words += options[i].written_text;
    }
  }
  return result;
}

std::vector<DecodedOption> decode(std::vector<const char*> args) {
  args.insert(args.begin(), "vorn-cxx");
  DecodedOption* decoded = nullptr;
  std::size_t count = 0;
  decode_options_to_array(args.size(), args.data(), kFlagDriver, &decoded, &count);
  std::vector<DecodedOption> result(decoded, decoded + count);
  std::free(decoded);
  return result;
}

// Decodes "vorn-cxx ARGS...", adjusts it and renders the result.
Adjusted adjust(std::vector<const char*> args, int added_before = 0) {
  return adjust_options(decode(std::move(args)), added_before);
}

// The same with -stdlib=libc++ in front, which this configuration's option
// table leaves disabled (so it cannot be generated either); made by hand.
Adjusted adjust_libcxx(std::vector<const char*> args, int added_before = 0) {
  std::vector<DecodedOption> decoded = decode(std::move(args));
  DecodedOption stdlib{};
  stdlib.index = OPT_stdlib_;
  stdlib.argument = "libc++";
  stdlib.written_text = "-stdlib=libc++";
  stdlib.value = 2;
  decoded.insert(decoded.begin() + 1, stdlib);
  return adjust_options(decoded, added_before);
}

TEST(CxxAdjustments, CSourcesPreprocessedAndHeadersBecomeCxx) {
  EXPECT_EQ(adjust({"a.c"}).words, "-x c++ a.c -x none -lcxxstd -lm -shared-libvorn");
  EXPECT_EQ(adjust({"-c", "a.i"}).words, "-c -x c++-cpp-output a.i -x none -shared-libvorn");
  // A header is compiled, never linked: no library.
  EXPECT_EQ(adjust({"foo.h"}).words, "-x c++-header foo.h -x none -shared-libvorn");
  // Names too short to have a suffix, and other suffixes, stay as they are.
  EXPECT_EQ(adjust({"-c", ".c", "x", "a.cc"}).words, "-c .c x a.cc -shared-libvorn");
  // An explicit -x takes the next input as it is, and only that one.
  EXPECT_EQ(adjust({"-c", "-x", "c", "a.c", "b.c"}).words,
            "-c -x c a.c -x c++ b.c -x none -shared-libvorn");
}

TEST(CxxAdjustments, WhatDecidesTheLibrary) {
  // An object alone links C++ code; -lm moves behind the C++ library.
  Adjusted objects = adjust({"x.o", "-lm"});
  EXPECT_EQ(objects.words, "x.o -lcxxstd -lm -shared-libvorn");
  EXPECT_EQ(objects.added, 1);
  // Only the first -lm and the first -lc are moved; -lc goes last.
  EXPECT_EQ(adjust({"-lc", "-lm", "x.o", "-lm", "-lc"}).words,
            "x.o -lm -lc -lcxxstd -lm -lc -shared-libvorn");
  // -x c a.c does not need the library by itself, but another -l does.
  EXPECT_EQ(adjust({"-x", "c", "a.c"}).words, "-x c a.c -shared-libvorn");
  EXPECT_EQ(adjust({"-x", "c", "a.c", "-lfoo"}).words,
            "-x c a.c -lfoo -lcxxstd -lm -shared-libvorn");
  // Without a C++ library -lc and -lm have nothing to follow: they stay put.
  EXPECT_EQ(adjust({"-lc", "-lm", "-x", "c", "a.c"}).words, "-lc -lm -x c a.c -shared-libvorn");
  EXPECT_EQ(adjust({"-x", "c++", "a.h"}).words, "-x c++ a.h -lcxxstd -lm -shared-libvorn");
  EXPECT_EQ(adjust({"-Wl,-z,now"}).words, "-Wl,-z,now -lcxxstd -lm -shared-libvorn");
  // Every header suffix keeps the library out.
  for (const char* header : {"a.H", "a.hpp", "a.hp", "a.hxx", "a.h++", "a.HPP", "a.tcc", "a.hh"}) {
    EXPECT_EQ(adjust({header}).words, std::string(header) + " -shared-libvorn") << header;
  }
  // Nothing is linked: no library, even after one was needed.
  for (const char* option :
       {"-c", "-S", "-E", "-M", "-MM", "-r", "-fsyntax-only", "-nostdlib", "-nodefaultlibs"}) {
    EXPECT_EQ(adjust({"a.cc", option}).words, std::string("a.cc ") + option + " -shared-libvorn")
        << option;
  }
  EXPECT_EQ(adjust({"-nostdlib++", "a.cc"}).words, "a.cc -shared-libvorn");
}

TEST(CxxAdjustments, LibraryFlavours) {
  EXPECT_EQ(adjust({"-pg", "a.cc"}).words, "-pg a.cc -lcxxstd -lm_p -shared-libvorn");
  EXPECT_EQ(adjust({"-p", "a.cc"}).words, "-p a.cc -lcxxstd -lm_p -shared-libvorn");
  Adjusted libcxx = adjust_libcxx({"a.cc"});
  EXPECT_EQ(libcxx.words, "-stdlib=libc++ a.cc -lc++ -lc++abi -lm -shared-libvorn");
  EXPECT_EQ(libcxx.added, 3);
  Adjusted contracts = adjust({"-fcontracts", "a.cc"}, 2);
  EXPECT_EQ(contracts.words, "-fcontracts a.cc -lcxxstdexp -lcxxstd -lm -shared-libvorn");
  EXPECT_EQ(contracts.added, 5);
  // The experimental library belongs to the standard library only.
  EXPECT_EQ(adjust_libcxx({"-fcontracts", "a.cc"}).words,
            "-stdlib=libc++ -fcontracts a.cc -lc++ -lc++abi -lm -shared-libvorn");
}

TEST(CxxAdjustments, StaticLinking) {
  EXPECT_EQ(adjust({"-static-libcxxstd", "a.cc"}).words,
            "a.cc -Wl,-Bstatic -lcxxstd -Wl,-Bdynamic -lm -shared-libvorn");
  EXPECT_EQ(adjust({"-static-libcxxstd", "-static", "a.cc"}).words, "-static a.cc -lcxxstd -lm");
  EXPECT_EQ(adjust({"-static-libvorn", "a.cc"}).words, "-static-libvorn a.cc -lcxxstd -lm");
  // Without a link the option still goes, and nothing is bracketed.
  EXPECT_EQ(adjust({"-c", "-static-libcxxstd", "a.cc"}).words, "-c a.cc -shared-libvorn");
}

TEST(CxxAdjustments, EmptyAndBrokenCommandLines) {
  Adjusted empty = adjust({});
  EXPECT_EQ(empty.words, "-shared-libvorn");
  EXPECT_EQ(empty.added, 0);
  // An -x without its language is not taken as one.
  EXPECT_EQ(adjust({"a.c", "-x"}).words, "-x c++ a.c -x none -x -lcxxstd -lm -shared-libvorn");
}

}  // namespace
}  // namespace vorn
