// Character classes of spec text.  ASCII letters and digits are the same in
// every locale, so they are answered from a table; only a byte outside ASCII
// needs the locale's own classification, and the locale is set up for it on
// first need (most runs never see such a byte).
#ifndef VORN_SUPPORT_CHAR_CLASS_H
#define VORN_SUPPORT_CHAR_CLASS_H

#include <array>

namespace vorn {

// From now on, character classification comes from the environment's
// LC_CTYPE, set up when it is first needed.  Until this is called (unit
// tests, the build-time generators) the C locale classifies.
void defer_ctype_locale();

// Sets LC_CTYPE from the environment if defer_ctype_locale asked for it and
// it has not happened yet.  Anything whose result depends on the character
// set (catalogue texts, system error texts, regular expressions, case-blind
// comparison) calls it first.
void ensure_ctype_locale();

// isalnum in the locale's classification, for a byte of 0x80 or above.
bool locale_isalnum(unsigned char c);

// Letters and digits of ASCII plus EXTRA's characters.
struct AsciiClass {
  std::array<bool, 128> member{};

  constexpr explicit AsciiClass(const char* extra) {
    for (int c = 0; c < 128; ++c) {
      member[c] = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }
    for (; *extra != '\0'; ++extra) member[static_cast<unsigned char>(*extra)] = true;
  }

  // Whether C is in the class; above ASCII only letters and digits are.
  bool contains(char c) const {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 128 ? member[byte] : locale_isalnum(byte);
  }
};

}  // namespace vorn

#endif  // VORN_SUPPORT_CHAR_CLASS_H
