// Lookup and decoding: prefix mappings, abbreviations, arguments, aliases,
// integer and enumerated arguments.
#include <cerrno>
#include <cstdint>
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

TEST(FindOption, ExactJoinedAndWrongLanguageMatches) {
  EXPECT_EQ(find_option("o", kFlagDriver), OPT_o);
  EXPECT_EQ(find_option("ofile", kFlagDriver), OPT_o);
  EXPECT_EQ(find_option("Wl,-z", kFlagDriver), OPT_Wl_);
  // Not the driver's, but found: decoding reports the wrong language.
  EXPECT_EQ(find_option("Wall", kFlagDriver), OPT_Wall);
  EXPECT_EQ(find_option("Wallx", kFlagDriver), UNKNOWN_OPTION);
  // The remapping prefix is never an answer of its own.
  EXPECT_EQ(find_option("gno-foo", kFlagDriver), UNKNOWN_OPTION);
  EXPECT_EQ(find_option("gno-pubnames", kFlagDriver), OPT_gno_pubnames);
}

TEST(FindOption, FirstByteIndexBoundsEveryRow) {
  EXPECT_EQ(kOptionFirstByteStart[0], 0u);
  EXPECT_EQ(kOptionFirstByteStart[256], OPTION_COUNT);
  for (std::size_t i = 0; i < OPTION_COUNT; ++i) {
    const char* text = kOptionTable[i].text;
    unsigned first = text[1] != '\0' ? static_cast<unsigned char>(text[1]) : 0;
    EXPECT_LE(kOptionFirstByteStart[first], i) << text;
    EXPECT_GT(kOptionFirstByteStart[first + 1], i) << text;
  }
  // The first row, and bytes that start no option.
  EXPECT_EQ(find_option("###", kFlagDriver), OPT_HHH);
  EXPECT_EQ(find_option("~x", kFlagDriver), UNKNOWN_OPTION);
  EXPECT_EQ(find_option("\xff", kFlagDriver), UNKNOWN_OPTION);
  EXPECT_EQ(find_option("", kFlagDriver), UNKNOWN_OPTION);
}

TEST(FindOption, LongOptionAbbreviations) {
  EXPECT_EQ(find_option("-verb", kFlagDriver), OPT__verbose);
  // "--help" and "--help=" count as one candidate.
  EXPECT_EQ(find_option("-hel", kFlagDriver), OPT__help);
  // "--print-multi-directory", "--print-multi-lib", ...: ambiguous.
  EXPECT_EQ(find_option("-print-multi", kFlagDriver), UNKNOWN_OPTION);
  // The first candidate is joined: no abbreviation.
  EXPECT_EQ(find_option("-param=align-t", kFlagDriver), UNKNOWN_OPTION);
  // Abbreviations are only for "--" options.
  EXPECT_EQ(find_option("verb", kFlagDriver), UNKNOWN_OPTION);
}

TEST(Decode, NegativeFormsThroughMappings) {
  DecodedOption d = decode({"-Wno-all"}, kAllLanguages);
  EXPECT_EQ(d.index, OPT_Wall);
  EXPECT_EQ(d.value, 0);
  EXPECT_EQ(canonical(d), Elements{"-Wno-all"});

  d = decode({"-Wno-abi="}, kAllLanguages);  // "-Wabi=" has no "no-" form
  EXPECT_EQ(d.index, UNKNOWN_OPTION);
  EXPECT_EQ(d.errors, ERR_NEGATIVE_REJECTED);
  EXPECT_EQ(d.value, 0);
  EXPECT_STREQ(d.argument, "-Wno-abi=");

  d = decode({"--no-pic"}, kAllLanguages);
  EXPECT_EQ(d.index, OPT_fpic);
  EXPECT_EQ(d.value, 0);
  EXPECT_EQ(decode({"--no-such-thing"}, kAllLanguages).index, UNKNOWN_OPTION);

  d = decode({"--warn-all"}, kAllLanguages);
  EXPECT_EQ(d.index, OPT_Wall);
  EXPECT_EQ(d.value, 1);
  // "--warn-" needs more; it is not "-W".
  EXPECT_EQ(decode({"--warn-"}, kAllLanguages).index, UNKNOWN_OPTION);
}

TEST(Decode, SecondPrefixMappingsUseTheNextElement) {
  std::size_t consumed = 0;
  DecodedOption d = decode({"--machine", "no-strict-align"}, kAllLanguages, &consumed);
  EXPECT_EQ(d.index, OPT_mstrict_align);
  EXPECT_EQ(d.value, 0);
  EXPECT_EQ(consumed, 2u);
  EXPECT_EQ(canonical(d), Elements{"-mno-strict-align"});

  d = decode({"--machine", "strict-align"}, kAllLanguages, &consumed);
  EXPECT_EQ(d.index, OPT_mstrict_align);
  EXPECT_EQ(d.value, 1);
  EXPECT_EQ(consumed, 2u);

  d = decode({"--machine"}, kAllLanguages, &consumed);
  EXPECT_EQ(d.index, UNKNOWN_OPTION);
  EXPECT_EQ(consumed, 1u);

  d = decode({"--std", "c++17"}, kAllLanguages, &consumed);
  EXPECT_EQ(d.index, OPT_std_eq_cpp17);
  EXPECT_EQ(consumed, 2u);
  d = decode({"--machine=no-strict-align"}, kAllLanguages);
  EXPECT_EQ(d.index, OPT_mstrict_align);
  EXPECT_EQ(d.value, 0);
}

TEST(Decode, SeparateAndJoinedArguments) {
  std::size_t consumed = 0;
  DecodedOption d = decode({"-o"}, kFlagDriver, &consumed);
  EXPECT_EQ(d.index, OPT_o);
  EXPECT_EQ(d.errors, ERR_MISSING_ARGUMENT);
  EXPECT_EQ(consumed, 1u);

  d = decode({"-ofile"});
  EXPECT_EQ(canonical(d), (Elements{"-o", "file"}));
  d = decode({"-o", "file"}, kFlagDriver, &consumed);
  EXPECT_EQ(canonical(d), (Elements{"-o", "file"}));
  EXPECT_EQ(consumed, 2u);
  EXPECT_STREQ(d.written_text, "-o file");

  d = decode({"-lm"});
  EXPECT_EQ(canonical(d), (Elements{"-l", "m"}));

  // An empty element is shown as "" in the written text.
  d = decode({"-o", ""});
  EXPECT_STREQ(d.written_text, "-o \"\"");
  EXPECT_EQ(d.errors, 0);

  // The driver gives "-MD" no argument; the compilers proper do.
  d = decode({"-MD", "deps"}, kFlagDriver, &consumed);
  EXPECT_EQ(consumed, 1u);
  EXPECT_EQ(d.errors & ERR_MISSING_ARGUMENT, 0);
  d = decode({"-MD", "deps"}, kAllLanguages & ~kFlagDriver, &consumed);
  EXPECT_EQ(consumed, 2u);

  // An optional joined argument may be empty; a required one may not.
  d = decode({"-Wl,"});
  EXPECT_EQ(d.errors, 0);
  EXPECT_STREQ(d.argument, "");
  EXPECT_EQ(decode({"-specs="}).errors, ERR_MISSING_ARGUMENT);
}

TEST(Decode, AliasesPassTheirArguments) {
  DecodedOption d = decode({"--all-warnings"}, kAllLanguages);
  EXPECT_EQ(d.index, OPT_Wall);
  EXPECT_EQ(canonical(d), Elements{"-Wall"});

  d = decode({"-Wno-format"}, kAllLanguages);
  EXPECT_EQ(d.index, OPT_Wformat_);
  EXPECT_EQ(d.value, 0);
  EXPECT_STREQ(d.argument, "0");
  EXPECT_EQ(canonical(d), Elements{"-Wformat=0"});

  d = decode({"-fdiagnostics-color"});
  EXPECT_EQ(d.index, OPT_fdiagnostics_color_);
  EXPECT_EQ(d.value, 1);  // the value of "always"
  EXPECT_EQ(canonical(d), Elements{"-fdiagnostics-color=always"});

  d = decode({"--output=a.out"});
  EXPECT_EQ(canonical(d), (Elements{"-o", "a.out"}));
  d = decode({"-Wno-larger-than"}, kAllLanguages);
  EXPECT_EQ(d.index, OPT_Wlarger_than_);
  EXPECT_EQ(d.value, -1);  // all ones: no limit
  EXPECT_EQ(d.errors, 0);

  d = decode({"-fhandle-exceptions"}, kAllLanguages);
  EXPECT_EQ(d.index, OPT_fexceptions);
  ASSERT_NE(d.usage_warning, nullptr);
}

TEST(Decode, RemovedAndIgnoredOptions) {
  DecodedOption d = decode({"-fmudflap"}, kAllLanguages);
  EXPECT_EQ(d.index, REMOVED_OPTION);
  EXPECT_EQ(d.value, 1);
  EXPECT_EQ(d.argument, nullptr);
  d = decode({"-fno-mudflap"}, kAllLanguages);
  EXPECT_EQ(d.index, REMOVED_OPTION);
  EXPECT_EQ(d.value, 0);
  EXPECT_EQ(decode({"-fargument-alias"}, kAllLanguages).index, IGNORED_OPTION);
  EXPECT_EQ(decode({"-gcoff"}).canonical_count, 1u);
}

TEST(Decode, LanguageValidity) {
  EXPECT_EQ(decode({"-Wall"}).errors, ERR_WRONG_LANGUAGE);
  EXPECT_EQ(decode({"-c"}).errors, 0);
  EXPECT_EQ(decode({"-c"}, kFlagLanguages).errors, ERR_WRONG_LANGUAGE);
  // "-Werror=" names a warning: valid only where the warning is.
  EXPECT_EQ(decode({"-Werror=abi"}, kFlagCommon).errors, ERR_WRONG_LANGUAGE);
  EXPECT_EQ(decode({"-Werror=abi"}, kAllLanguages).errors, 0);
  EXPECT_EQ(decode({"-Werror=abi,all"}, kFlagCommon).errors, 0);
  EXPECT_EQ(decode({"-mcpu=Cortex-A57"}, kFlagTarget).errors, 0);
  EXPECT_STREQ(decode({"-mcpu=Cortex-A57"}, kFlagTarget).argument, "cortex-a57");
}

TEST(Decode, IntegerArguments) {
  DecodedOption d = decode({"-gdwarf-0x10"});
  EXPECT_EQ(d.errors, 0);
  EXPECT_EQ(d.value, 16);
  EXPECT_EQ(decode({"-gdwarf-4x"}).errors, ERR_NOT_UNSIGNED);
  EXPECT_EQ(decode({"-gdwarf-"}).errors, ERR_MISSING_ARGUMENT);

  d = decode({"-Wlarger-than=2MiB"}, kAllLanguages);
  EXPECT_EQ(d.value, 2097152);
  EXPECT_EQ(decode({"-Wlarger-than=1eib"}, kAllLanguages).value, INT64_C(1) << 60);
  EXPECT_EQ(decode({"-Wlarger-than=1kb"}, kAllLanguages).errors, ERR_NOT_UNSIGNED);
  EXPECT_EQ(decode({"-Wlarger-than=1kB"}, kAllLanguages).value, 1000);

  EXPECT_EQ(decode({"--param=aarch64-sve-compare-costs=1"}, kAllLanguages).errors, 0);
  d = decode({"--param=aarch64-sve-compare-costs=2"}, kAllLanguages);
  EXPECT_EQ(d.errors, ERR_OUT_OF_RANGE);
}

TEST(IntegerArgument, DigitsBasesAndUnits) {
  int error = 0;
  EXPECT_EQ(integer_argument("0x10", &error, false), 16);
  EXPECT_EQ(error, 0);
  // Plain digits are decimal even with a leading zero.
  EXPECT_EQ(integer_argument("010", &error, false), 10);
  EXPECT_EQ(integer_argument("0X1f", &error, false), 31);
  EXPECT_EQ(integer_argument("99999999999999999999999", &error, false), -1);
  EXPECT_EQ(error, 0);  // saturated, not an error
  EXPECT_EQ(integer_argument("x1", &error, false), -1);
  EXPECT_EQ(error, EINVAL);
  EXPECT_EQ(integer_argument("12k", &error, false), -1);
  EXPECT_EQ(error, EINVAL);
  EXPECT_EQ(integer_argument("3KB", &error, true), 3072);
  EXPECT_EQ(integer_argument("3GB", &error, true), 3000000000);
  EXPECT_EQ(integer_argument("3gib", &error, true), INT64_C(3) << 30);
  EXPECT_EQ(integer_argument("3mb", &error, true), -1);
  EXPECT_EQ(error, EINVAL);
  EXPECT_EQ(integer_argument("18446744073709551615EiB", &error, true), -1);
  EXPECT_EQ(error, 0);                                    // the product saturates to all ones
  EXPECT_EQ(integer_argument("0x10", &error, true), -1);  // no bases with units
  EXPECT_EQ(error, EINVAL);
}

// Only "kB", "KB" and "MB" must be written as they are; the other units
// may be written in any case.
TEST(IntegerArgument, CaseOfTheUnits) {
  int error = 0;
  struct Unit {
    const char* name;
    std::int64_t factor;
  };
  for (const Unit& unit :
       {Unit{"kib", 1 << 10}, Unit{"MIB", 1 << 20}, Unit{"gb", 1000000000}, Unit{"gib", 1 << 30},
        Unit{"tb", INT64_C(1000000000000)}, Unit{"tib", INT64_C(1) << 40},
        Unit{"pb", INT64_C(1000000000000000)}, Unit{"pib", INT64_C(1) << 50},
        Unit{"eb", INT64_C(1000000000000000000)}, Unit{"eib", INT64_C(1) << 60}}) {
    EXPECT_EQ(integer_argument((std::string("1") + unit.name).c_str(), &error, true), unit.factor)
        << unit.name;
    EXPECT_EQ(error, 0) << unit.name;
  }
  for (const char* text : {"1kb", "1Kb", "1mB", "1Mb"}) {
    EXPECT_EQ(integer_argument(text, &error, true), -1) << text;
    EXPECT_EQ(error, EINVAL) << text;
  }
  EXPECT_EQ(integer_argument("1kB", &error, true), 1000);
  EXPECT_EQ(integer_argument("1MB", &error, true), 1000000);
}

// Saturation begins exactly where the value no longer fits in 64 bits.
TEST(IntegerArgument, SaturationBounds) {
  int error = 0;
  EXPECT_EQ(integer_argument("18446744073709551614", &error, false), -2);
  EXPECT_EQ(integer_argument("18446744073709551615", &error, false), -1);
  EXPECT_EQ(integer_argument("18446744073709551616", &error, false), -1);
  EXPECT_EQ(integer_argument("15EiB", &error, true), static_cast<std::int64_t>(15ull << 60));
  EXPECT_EQ(integer_argument("16EiB", &error, true), -1);
  EXPECT_EQ(integer_argument("0EiB", &error, true), 0);
  EXPECT_EQ(error, 0);
}

TEST(Decode, EnumeratedArguments) {
  DecodedOption d = decode({"-fdiagnostics-color=auto"});
  EXPECT_EQ(d.errors, 0);
  EXPECT_EQ(d.value, 2);
  EXPECT_EQ(decode({"-fdiagnostics-color=Auto"}).errors, ERR_BAD_ENUM);

  d = decode({"-Wbidi-chars=unpaired,ucn"}, kAllLanguages);
  EXPECT_EQ(d.errors, 0);
  EXPECT_EQ(d.value, 1 | 4);
  EXPECT_EQ(d.mask, 2 | 0 | 1 | 4);  // every value of both sets
  EXPECT_EQ(decode({"-Wbidi-chars=any,none"}, kAllLanguages).errors, ERR_BAD_ENUM_SET);
  EXPECT_EQ(decode({"-Wbidi-chars=ucn,ucn"}, kAllLanguages).errors, ERR_BAD_ENUM_SET);
  EXPECT_EQ(decode({"-Wbidi-chars=any,"}, kAllLanguages).errors, ERR_BAD_ENUM_SET);
  EXPECT_EQ(decode({"-Wbidi-chars=,any"}, kAllLanguages).errors, ERR_BAD_ENUM_SET);
}

TEST(EnumValues, LookupByNameAndByValue) {
  const OptionEnumTable& formats = kOptionEnumTables[17];
  int value = -1;
  EXPECT_EQ(enum_value_from_text(formats, "json-file", 9, &value, 0), 1);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(enum_value_from_text(formats, "json-filex", 4, &value, 0), 0);  // "json"
  EXPECT_EQ(enum_value_from_text(formats, "jso", 3, &value, 0), -1);
  bool canonical = true;
  EXPECT_STREQ(enum_value_name(formats, 1, 0, &canonical), "json");
  EXPECT_FALSE(canonical);
  EXPECT_EQ(enum_value_name(formats, 99, 0, &canonical), nullptr);
}

TEST(DecodeArray, InputsParamMergingAndPlainOutput) {
  EXPECT_EQ(decode_all({"vorn-cxx", "a.cc", "-", "-c"}), (Elements{"vorn-cxx", "a.cc", "-", "-c"}));
  DecodedOption* options = nullptr;
  std::size_t count = 0;
  const char* argv[] = {"vorn-cxx", "--param", "align-threshold=4", "--param=align-threshold=4"};
  decode_options_to_array(4, argv, kAllLanguages, &options, &count);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(options[1].index, options[2].index);
  EXPECT_EQ(canonical(options[1]), canonical(options[2]));
  EXPECT_EQ(options[1].value, 4);
  std::free(options);
  // "--param" as the last argument is decoded as written.
  EXPECT_EQ(decode_all({"vorn-cxx", "--param"}), (Elements{"vorn-cxx", "--param"}));

  EXPECT_EQ(decode_all({"vorn-cxx", "-fdiagnostics-plain-output", "a.cc"}),
            (Elements{"vorn-cxx", "-fdiagnostics-color=never", "-fno-diagnostics-show-caret",
                      "-fno-diagnostics-show-line-numbers", "-fdiagnostics-urls=never",
                      "-fdiagnostics-path-format=separate-events", "a.cc"}));
}

TEST(GenerateOption, CanonicalFormAndLanguage) {
  DecodedOption d{};
  generate_option(OPT_L, "/usr/lib", 1, kFlagDriver, &d);
  EXPECT_EQ(d.errors, 0);
  EXPECT_STREQ(d.written_text, "-L /usr/lib");
  generate_option(OPT_Wall, nullptr, 0, kFlagDriver, &d);
  EXPECT_EQ(d.errors, ERR_WRONG_LANGUAGE);
  EXPECT_STREQ(d.written_text, "-Wno-all");
  generate_input_file_entry("b.o", &d);
  EXPECT_EQ(d.index, INPUT_FILE_ENTRY);
  EXPECT_STREQ(d.canonical[0], "b.o");
}

}  // namespace
}  // namespace vorn
