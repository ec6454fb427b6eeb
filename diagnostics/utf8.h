// UTF-8 decoding for the quoting of user-supplied text.
#ifndef VORN_DIAGNOSTICS_UTF8_H
#define VORN_DIAGNOSTICS_UTF8_H

#include <cstddef>
#include <cstdint>

namespace vorn {

inline constexpr std::uint32_t kInvalidCodePoint = 0xFFFFFFFFu;

// Decodes the character at BYTES (at most AVAILABLE bytes of them).  Returns
// its length in bytes and stores its code point, or returns 0 and stores
// kInvalidCodePoint for a malformed, truncated, overlong or surrogate
// sequence.  The old five- and six-byte forms are accepted.
std::size_t decode_utf8_char(const unsigned char* bytes, std::size_t available,
                             std::uint32_t* code_point);

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_UTF8_H
