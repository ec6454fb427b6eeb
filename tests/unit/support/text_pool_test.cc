#include "support/text_pool.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string_view>

namespace vorn {
namespace {

// Equal texts are stored once; an empty text is not a null one.
constexpr auto kPool = make_text_pool<std::uint8_t>([] {
  return std::array<std::string_view, 6>{"-fno-", "", "no-", "-fno-", std::string_view{}, ""};
});

static_assert(kPool.chars.size() == sizeof("-fno-") + sizeof("") + sizeof("no-"));
static_assert(kPool.offsets[3] == kPool.offsets[0]);
static_assert(kPool.offsets[5] == kPool.offsets[1]);
static_assert(kPool.offsets[4] == kPool.kNone);

TEST(TextPool, TextsReadBackAsWritten) {
  EXPECT_STREQ(kPool.text(0), "-fno-");
  EXPECT_STREQ(kPool.text(1), "");
  EXPECT_STREQ(kPool.text(2), "no-");
  EXPECT_EQ(kPool.text(3), kPool.text(0));
  EXPECT_EQ(kPool.text(4), nullptr);
}

const char* pooled_at(std::size_t index) {
  return kPool.text(index);
}

TEST(TextPool, ViewIteratesEveryEntryInOrder) {
  constexpr TableView<pooled_at, 4> view{};
  std::size_t index = 0;
  for (const char* text : view) {
    EXPECT_EQ(text, kPool.text(index)) << index;
    ++index;
  }
  EXPECT_EQ(index, view.size());
  EXPECT_EQ(view[2], kPool.text(2));
}

}  // namespace
}  // namespace vorn
