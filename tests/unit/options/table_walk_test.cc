// Every row of the table decodes from its own canonical text back to itself
// (or its alias target), and its canonical form decodes to the same thing.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "options_test_support.h"

namespace vorn {
namespace {

using testing::canonical;
using testing::decode;
using testing::kAllLanguages;

// An argument the row accepts.
std::string sample_argument(const OptionDescriptor& row) {
  if (row.variable_kind == VariableKind::Enumerated) {
    return kOptionEnumTables[row.enum_index].values[0].name;
  }
  if (option_has(row, kAttrUnsignedArgument) || option_has(row, kAttrWideInteger)) {
    return std::to_string(row.range_max != -1 ? row.range_min : 1);
  }
  return "x";
}

std::vector<const char*> written_form(const OptionDescriptor& row, const std::string& arg) {
  std::vector<const char*> args;
  bool joined = row.flags & kFlagJoined;
  bool separate = row.flags & kFlagSeparate;
  if (joined) {
    args.push_back(strdup((std::string(row.text) + arg).c_str()));
  } else {
    args.push_back(row.text);
    if (separate) args.push_back(strdup(arg.c_str()));
  }
  return args;
}

std::size_t expected_index(std::size_t i) {
  const OptionDescriptor& row = kOptionTable[i];
  return row.alias_target == OPTION_COUNT ? i : row.alias_target;
}

TEST(TableWalk, EveryRowDecodesToItselfAndRoundTrips) {
  int checked = 0;
  for (std::size_t i = 0; i < OPTION_COUNT; ++i) {
    const OptionDescriptor& row = kOptionTable[i];
    if (i == OPT_gno_dash) continue;  // a remapping prefix, never an option itself
    SCOPED_TRACE(row.text);
    // An alias without arguments of its own takes what its target takes.
    const OptionDescriptor& argument_row =
        row.alias_target < OPTION_COUNT ? kOptionTable[row.alias_target] : row;
    DecodedOption d = decode(written_form(row, sample_argument(argument_row)), kAllLanguages);
    ASSERT_EQ(d.index, expected_index(i));
    EXPECT_EQ(d.errors & ~ERR_DISABLED, 0);
    if (d.index >= OPTION_COUNT) continue;
    std::vector<const char*> again;
    for (std::size_t k = 0; k < d.canonical_count; ++k) again.push_back(d.canonical[k]);
    DecodedOption e = decode(again, kAllLanguages);
    EXPECT_EQ(e.index, d.index);
    EXPECT_EQ(canonical(e), canonical(d));
    ++checked;
  }
  EXPECT_GT(checked, 1900);
}

// Rows with a "no-" form decode from it with value 0 and keep it canonically.
TEST(TableWalk, NegativeFormsRoundTrip) {
  for (std::size_t i = 0; i < OPTION_COUNT; ++i) {
    const OptionDescriptor& row = kOptionTable[i];
    char c = row.text[1];
    bool has_no_form =
        !option_has(row, kAttrNoNegativeForm) && (c == 'W' || c == 'f' || c == 'g' || c == 'm') &&
        !(row.flags & (kFlagJoined | kFlagSeparate)) && row.alias_target == OPTION_COUNT;
    if (!has_no_form) continue;
    SCOPED_TRACE(row.text);
    std::string negative = std::string("-") + c + "no-" + (row.text + 2);
    DecodedOption d = decode({negative.c_str()}, kAllLanguages);
    // Where the "no-" text is a row of its own ("-gno-pubnames"), that row wins.
    if (d.index != i) {
      EXPECT_EQ(std::string(kOptionTable[d.index].text), negative);
      continue;
    }
    EXPECT_EQ(d.value, 0);
    EXPECT_EQ(canonical(d), std::vector<std::string>{negative});
  }
}

TEST(Table, IsSortedBytewiseWithLinksThatPointBackwards) {
  for (std::size_t i = 1; i < OPTION_COUNT; ++i) {
    ASSERT_LT(std::strcmp(kOptionTable[i - 1].text, kOptionTable[i].text), 0) << i;
  }
  for (std::size_t i = 0; i < OPTION_COUNT; ++i) {
    const OptionDescriptor& row = kOptionTable[i];
    ASSERT_EQ(row.text_length, std::strlen(row.text) - 1);
    if (row.prefix_link == OPTION_COUNT) continue;
    const OptionDescriptor& p = kOptionTable[row.prefix_link];
    EXPECT_LT(row.prefix_link, i);
    EXPECT_TRUE(p.flags & kFlagJoined) << row.text;
    EXPECT_EQ(std::strncmp(p.text, row.text, std::strlen(p.text)), 0) << row.text;
  }
  EXPECT_LT(OPT__all_warnings, OPT__ansi);
  EXPECT_EQ(OPT_Wl_ + 1, OPT_Wlarger_than_dash);
  EXPECT_STREQ(kOptionTable[OPT_Wl_].text, "-Wl,");
}

TEST(Table, PrefixLinksFollowOnlyJoinedProperPrefixes) {
  EXPECT_EQ(kOptionTable[OPT__dumpbase].prefix_link, OPTION_COUNT);
  EXPECT_EQ(kOptionTable[OPT__dump_].prefix_link, OPTION_COUNT);
  EXPECT_EQ(kOptionTable[OPT__assert_].prefix_link, OPTION_COUNT);
  EXPECT_EQ(kOptionTable[OPT_gno_dash].prefix_link, OPT_g);
  EXPECT_EQ(kOptionTable[OPT_Wno_alloca_larger_than].prefix_link, OPTION_COUNT);
}

TEST(Table, NegationRings) {
  auto link = [](std::size_t i) { return kOptionTable[i].negation_link; };
  EXPECT_EQ(link(OPT_fPIC), OPT_fPIE);
  EXPECT_EQ(link(OPT_fPIE), OPT_fpic);
  EXPECT_EQ(link(OPT_fpic), OPT_fpie);
  EXPECT_EQ(link(OPT_fpie), OPT_fPIC);
  EXPECT_EQ(link(OPT_cpp), OPT_nocpp);
  EXPECT_EQ(link(OPT_cpp_), OPT_nocpp);
  EXPECT_EQ(link(OPT_nocpp), OPT_cpp);
  EXPECT_EQ(link(OPT_no_pie), OPT_shared);
  EXPECT_EQ(link(OPT_pie), OPT_no_pie);
  EXPECT_EQ(link(OPT_Wall), OPT_Wall);
  EXPECT_EQ(link(OPT_march_), OPT_march_);
  EXPECT_EQ(link(OPT_Wabi_), -1);  // no "no-" form
  EXPECT_EQ(link(OPT_O), -1);
}

TEST(Table, SpecialCodesAndFlags) {
  EXPECT_EQ(OPTION_COUNT, 2076u);
  EXPECT_EQ(INPUT_FILE_ENTRY, 2081u);
  EXPECT_EQ(kOptionTable[OPT_cpp_].flags & kFlagNoDebugRecord, kFlagNoDebugRecord);
  EXPECT_EQ(kOptionTable[OPT_o].variable_offset, offsetof(OptionsRecord, x_output_file));
  EXPECT_EQ(kOptionTable[OPT_gdwarf64].variable_kind, VariableKind::EqualsValue);
  EXPECT_EQ(kOptionTable[OPT_gdwarf64].variable_value, 8);
  EXPECT_EQ(kInitialOptionsRecord.x_dwarf_version, 5);
  EXPECT_STREQ(kOptionLanguageNames[4], "C++");
}

}  // namespace
}  // namespace vorn
