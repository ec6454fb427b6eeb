// Canonical forms and the pruning of cancelled options.
#include <string>

#include <gtest/gtest.h>

#include "options_test_support.h"

namespace vorn {
namespace {

using testing::canonical;
using testing::decode;
using testing::decode_all;
using testing::kAllLanguages;
using Elements = std::vector<std::string>;

TEST(Canonical, NoFormsOnlyForWfgmOptions) {
  DecodedOption d{};
  generate_canonical_option(OPT_Wall, nullptr, 0, &d);
  EXPECT_EQ(canonical(d), Elements{"-Wno-all"});
  generate_canonical_option(OPT_gno_pubnames, nullptr, 1, &d);
  EXPECT_EQ(canonical(d), Elements{"-gno-pubnames"});
  // No "no-" form for an option whose second character is not W, f, g, m.
  generate_canonical_option(OPT_pipe, nullptr, 0, &d);
  EXPECT_EQ(canonical(d), Elements{"-pipe"});
  // Nor for one without a negative form.
  generate_canonical_option(OPT_Wabi_, "11", 0, &d);
  EXPECT_EQ(canonical(d), Elements{"-Wabi=11"});
  EXPECT_EQ(d.canonical[2], nullptr);
  EXPECT_EQ(d.canonical[3], nullptr);
}

TEST(Prune, LaterUsesCancelEarlierOnes) {
  EXPECT_EQ(decode_all({"p", "-Wall", "-c", "-Wno-all"}, kAllLanguages),
            (Elements{"p", "-c", "-Wno-all"}));
  EXPECT_EQ(decode_all({"p", "-fpic", "-fPIC", "-fpic"}, kAllLanguages), (Elements{"p", "-fpic"}));
  EXPECT_EQ(decode_all({"p", "-fPIC", "-fpie"}, kAllLanguages), (Elements{"p", "-fpie"}));
  EXPECT_EQ(decode_all({"p", "-shared", "-no-pie"}), (Elements{"p", "-no-pie"}));
  EXPECT_EQ(decode_all({"p", "-fuse-ld=bfd", "-fuse-ld=gold"}), (Elements{"p", "-fuse-ld=gold"}));
  EXPECT_EQ(decode_all({"p", "-march=armv8-a", "-march=armv9-a"}, kAllLanguages),
            (Elements{"p", "-march=armv9-a"}));
  EXPECT_EQ(decode_all({"p", "-cpp", "-nocpp"}, kAllLanguages), (Elements{"p", "-nocpp"}));
}

TEST(Prune, WhatIsNeverDropped) {
  // No negation link: every "-O" level stays.
  EXPECT_EQ(decode_all({"p", "-O2", "-O3"}, kAllLanguages), (Elements{"p", "-O2", "-O3"}));
  // Joined options stay.
  EXPECT_EQ(decode_all({"p", "-Wl,a", "-Wl,a"}), (Elements{"p", "-Wl,a", "-Wl,a"}));
  // An option in error neither is dropped nor cancels.
  EXPECT_EQ(decode_all({"p", "-shared", "-static-pie", "-o"}),
            (Elements{"p", "-static-pie", "-o"}));
  EXPECT_EQ(decode_all({"p", "-march=armv8-a", "-march="}, kAllLanguages),
            (Elements{"p", "-march=armv8-a", "-march="}));
  EXPECT_EQ(decode_all({"p", "a.c", "a.c"}), (Elements{"p", "a.c", "a.c"}));
}

TEST(Prune, DiagnosticsOptionsMoveToTheFront) {
  EXPECT_EQ(
      decode_all({"p", "-c", "-fdiagnostics-color=always", "a.cc", "-fdiagnostics-color=never",
                  "-Wcomplain-wrong-lang", "-o", "x"}),
      (Elements{"p", "-Wcomplain-wrong-lang", "-fdiagnostics-color=never", "-c", "a.cc", "-o x"}));
  EXPECT_EQ(decode_all({"p", "-Wcomplain-wrong-lang", "-Wno-complain-wrong-lang"}),
            (Elements{"p", "-Wno-complain-wrong-lang"}));
}

TEST(Prune, IsLinear) {
  // 20,000 self-cancelling options leave one; a quadratic pass would crawl.
  std::vector<const char*> args{"p"};
  for (int i = 0; i < 20000; ++i) args.push_back(i % 2 ? "-fPIC" : "-fpic");
  EXPECT_EQ(decode_all(args, kAllLanguages), (Elements{"p", "-fPIC"}));
}

TEST(CollectedOptions, QuotesAndEscapes) {
  std::vector<std::string> elements;
  EXPECT_TRUE(split_collected_options("'a'\\''b' 'c'", &elements));
  EXPECT_EQ(elements, (Elements{"a'b", "c"}));
  elements.clear();
  EXPECT_TRUE(split_collected_options("  ''   'x y'", &elements));
  EXPECT_EQ(elements, (Elements{"", "x y"}));
  elements.clear();
  EXPECT_FALSE(split_collected_options("'a' 'b", &elements));
  EXPECT_FALSE(split_collected_options("'a'\\'", &elements));
  char** argv = read_collected_options("'-c' '-o' 'x'");
  EXPECT_STREQ(argv[0], "-c");
  EXPECT_STREQ(argv[2], "x");
  EXPECT_EQ(argv[3], nullptr);
}

TEST(CollectedOptionsDeathTest, UnterminatedQuoteIsFatal) {
  EXPECT_EXIT(read_collected_options("'-c' '-o"), ::testing::ExitedWithCode(1),
              "malformed 'COLLECT_VORN_OPTIONS'");
}

}  // namespace
}  // namespace vorn
