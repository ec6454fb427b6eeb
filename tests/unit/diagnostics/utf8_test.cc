#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "diagnostics/diagnostic.h"
#include "diagnostics/utf8.h"

namespace vorn {
namespace {

struct Decoded {
  std::size_t length;
  std::uint32_t code_point;
};

Decoded decode(const std::string& bytes) {
  Decoded result{};
  result.length = decode_utf8_char(reinterpret_cast<const unsigned char*>(bytes.data()),
                                   bytes.size(), &result.code_point);
  return result;
}

TEST(DecodeUtf8, ValidSequencesOfEveryLength) {
  EXPECT_EQ(decode("A").length, 1u);
  EXPECT_EQ(decode("A").code_point, 0x41u);
  EXPECT_EQ(decode("\xc3\xa9x").length, 2u);
  EXPECT_EQ(decode("\xc3\xa9x").code_point, 0xE9u);
  EXPECT_EQ(decode("\xe2\x80\x98").code_point, 0x2018u);
  EXPECT_EQ(decode("\xf0\x9f\x98\x80").code_point, 0x1F600u);
  // The old long forms are accepted when not overlong.
  EXPECT_EQ(decode("\xf8\x88\x80\x80\x80").code_point, 0x200000u);
  EXPECT_EQ(decode("\xfc\x84\x80\x80\x80\x80").code_point, 0x4000000u);
}

TEST(DecodeUtf8, MalformedSequencesAreRejected) {
  for (const char* bad : {
           "\xe9",              // lead byte alone
           "\xe9x",             // lead byte before ASCII
           "\xc3x",             // two-byte lead before ASCII
           "\xe2\x80x",         // three-byte lead, continuation, ASCII
           "\x80",              // continuation without lead
           "\xc3",              // truncated
           "\xe2\x80",          // truncated
           "\xc0\x80",          // overlong NUL
           "\xe0\x9f\xbf",      // overlong below U+0800
           "\xf0\x8f\xbf\xbf",  // overlong below U+10000
           "\xf8\x87\xbf\xbf\xbf",
           "\xfc\x83\xbf\xbf\xbf\xbf",
           "\xed\xa0\x80",  // surrogate U+D800
           "\xed\xbf\xbf",  // surrogate U+DFFF
           "\xfe\x80\x80\x80\x80\x80\x80",
           "\xff",
       }) {
    Decoded result = decode(bad);
    EXPECT_EQ(result.length, 0u) << bad;
    EXPECT_EQ(result.code_point, kInvalidCodePoint) << bad;
  }
}

TEST(DecodeUtf8, StopsAtTheAvailableLength) {
  std::uint32_t code_point;
  const auto* bytes = reinterpret_cast<const unsigned char*>("\xc3\xa9");
  EXPECT_EQ(decode_utf8_char(bytes, 1, &code_point), 0u);
  EXPECT_EQ(decode_utf8_char(bytes, 2, &code_point), 2u);
}

TEST(DecodeUtf8DeathTest, NothingToDecodeIsAnInternalError) {
  diagnostic_context_init(&diagnostic_context(), 0);
  std::uint32_t code_point;
  const auto* bytes = reinterpret_cast<const unsigned char*>("x");
  EXPECT_EXIT(decode_utf8_char(bytes, 0, &code_point), ::testing::ExitedWithCode(4),
              "in decode_utf8_char, at utf8.cc");
}

}  // namespace
}  // namespace vorn
