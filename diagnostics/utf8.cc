#include "diagnostics/utf8.h"

#include "diagnostics/check.h"

namespace vorn {
namespace {

// The smallest code point that needs a sequence of each length; anything
// below is an overlong form, which would let one character hide as another.
constexpr std::uint32_t kMinimumForLength[] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};

int leading_ones(unsigned char byte) {
  int count = 0;
  while (count < 8 && (byte & (0x80u >> count)) != 0) ++count;
  return count;
}

std::size_t reject(std::uint32_t* code_point) {
  *code_point = kInvalidCodePoint;
  return 0;
}

}  // namespace

std::size_t decode_utf8_char(const unsigned char* bytes, std::size_t available,
                             std::uint32_t* code_point) {
  if (available == 0) VORN_CHECK_FAILED("decode_utf8_char");
  unsigned char first = bytes[0];
  if (first < 0x80) {
    *code_point = first;
    return 1;
  }
  int length = leading_ones(first);
  if (length < 2 || length > 6 || static_cast<std::size_t>(length) > available) {
    return reject(code_point);
  }
  std::uint32_t value = first & (0x7Fu >> length);
  for (int i = 1; i < length; ++i) {
    if ((bytes[i] & 0xC0) != 0x80) return reject(code_point);
    value = (value << 6) | (bytes[i] & 0x3F);
  }
  if (value < kMinimumForLength[length]) return reject(code_point);
  if (value >= 0xD800 && value <= 0xDFFF) return reject(code_point);
  *code_point = value;
  return static_cast<std::size_t>(length);
}

}  // namespace vorn
