// The variable kinds of the table format that no row of the current table
// uses: bit sets and deferred lists, on rows made up for the test.
#include "options/option_variables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "options/option_codes.h"
#include "options/option_errors.h"

namespace vorn {
namespace {

OptionDescriptor made_up_row(VariableKind kind, std::int64_t value, std::uint16_t attributes = 0) {
  PooledText none(0);
  return OptionDescriptor{none, none, none, none, none, none, OPTION_COUNT, OPTION_COUNT, 0, -1,
                          0, attributes, 0, 0, kind, value, -1, -1};
}

void store(const OptionDescriptor& row, void* variable, void* explicit_variable,
           std::int64_t value, std::size_t index = 0, const char* argument = nullptr) {
  store_option_use(row, index, variable, explicit_variable, value, argument, kNoLocation, 0);
}

TEST(OptionVariableKinds, SetBitsAndClearBits) {
  OptionDescriptor set = made_up_row(VariableKind::SetBits, 0x6);
  int variable = 0x1;
  int explicitly = 0;
  store(set, &variable, &explicitly, 1);
  EXPECT_EQ(variable, 0x7);
  EXPECT_EQ(explicitly, 0x6);
  store(set, &variable, nullptr, 0);  // the negative form clears them
  EXPECT_EQ(variable, 0x1);

  OptionDescriptor clear = made_up_row(VariableKind::ClearBits, 0x6);
  variable = 0x7;
  store(clear, &variable, &explicitly, 1);
  EXPECT_EQ(variable, 0x1);
  store(clear, &variable, nullptr, 0);
  EXPECT_EQ(variable, 0x7);

  // A wide variable keeps bits above the 32nd.
  OptionDescriptor wide = made_up_row(VariableKind::SetBits, std::int64_t{1} << 40, kAttrWideInteger);
  std::int64_t wide_variable = 1;
  std::int64_t wide_explicitly = 0;
  store(wide, &wide_variable, &wide_explicitly, 1);
  EXPECT_EQ(wide_variable, (std::int64_t{1} << 40) | 1);
  EXPECT_EQ(wide_explicitly, std::int64_t{1} << 40);
}

TEST(OptionVariableKinds, DeferredUsesShareOneGrowingList) {
  OptionDescriptor row = made_up_row(VariableKind::Deferred, 0);
  DeferredOptionList* list = nullptr;
  DeferredOptionList* explicitly = nullptr;
  const char* arguments[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i"};
  for (int i = 0; i < 9; ++i) store(row, &list, &explicitly, i * 10, 40 + i, arguments[i]);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(explicitly, list);
  ASSERT_EQ(list->count, 9u);
  EXPECT_EQ(list->capacity, 16u);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(list->items[i].index, static_cast<std::size_t>(40 + i));
    EXPECT_STREQ(list->items[i].argument, arguments[i]);
    EXPECT_EQ(list->items[i].value, i * 10);
  }
  std::free(list->items);
  std::free(list);
}

TEST(OptionVariableKinds, ByteSizeMarksTheSizeItself) {
  OptionDescriptor row = made_up_row(VariableKind::ByteSize, 0, kAttrWideInteger);
  std::int64_t variable = 0;
  std::int64_t explicitly = 0;
  store(row, &variable, &explicitly, std::int64_t{3} << 32);
  EXPECT_EQ(variable, std::int64_t{3} << 32);
  EXPECT_EQ(explicitly, std::int64_t{3} << 32);
}

TEST(OptionVariableKinds, WideIntegerTakesMoreThan32Bits) {
  OptionDescriptor row = made_up_row(VariableKind::Integer, 0, kAttrWideInteger);
  std::int64_t variable = 0;
  std::int64_t explicitly = 0;
  store(row, &variable, &explicitly, std::int64_t{5} << 33);
  EXPECT_EQ(variable, std::int64_t{5} << 33);
  EXPECT_EQ(explicitly, 1);
}

// A fault in the table is the driver's own: an internal error whose text is
// taken as it is, "%" and all.
TEST(OptionTableFaultsDeathTest, ReportedAsInternalErrors) {
  EXPECT_EXIT(option_internal_error("row %s has %d%% of a variable", "-fx", 50),
              ::testing::ExitedWithCode(4),
              "internal compiler error: row -fx has 50% of a variable");
}

}  // namespace
}  // namespace vorn
