#include "support/char_class.h"

#include <gtest/gtest.h>
#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>

#include <cctype>
#include <cstring>
#include <string>

namespace vorn {
namespace {

// The table must answer exactly as the C library does in the C locale, for
// every byte, the terminating NUL included.
TEST(AsciiClassTest, AgreesWithTheCLibraryInTheCLocale) {
  setlocale(LC_CTYPE, "C");
  constexpr AsciiClass kNames("_+,-.=@");
  constexpr AsciiClass kPlain("");
  for (int c = 0; c < 256; ++c) {
    const bool alnum = std::isalnum(c) != 0;
    const bool punct = c != 0 && std::strchr("_+,-.=@", c) != nullptr;
    EXPECT_EQ(kNames.contains(static_cast<char>(c)), alnum || punct) << "byte " << c;
    EXPECT_EQ(kPlain.contains(static_cast<char>(c)), alnum) << "byte " << c;
  }
}

// ASCII never needs the locale; the first byte outside it sets LC_CTYPE up
// from the environment, once.
TEST(AsciiClassTest, TheLocaleIsSetUpForTheFirstByteOutsideAscii) {
  setlocale(LC_CTYPE, "C");
  std::string saved = getenv("LC_ALL") != nullptr ? getenv("LC_ALL") : "";
  setenv("LC_ALL", "C.UTF-8", 1);
  defer_ctype_locale();
  constexpr AsciiClass kNames("_");
  EXPECT_TRUE(kNames.contains('a'));
  EXPECT_TRUE(kNames.contains('_'));
  EXPECT_FALSE(kNames.contains('%'));
  EXPECT_STRNE(nl_langinfo(CODESET), "UTF-8");
  // In UTF-8 a lone byte above ASCII is no letter.
  EXPECT_FALSE(kNames.contains('\xe4'));
  EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8");
  // Later set-up requests leave the locale alone.
  setlocale(LC_CTYPE, "C");
  ensure_ctype_locale();
  EXPECT_STRNE(nl_langinfo(CODESET), "UTF-8");
  if (saved.empty()) {
    unsetenv("LC_ALL");
  } else {
    setenv("LC_ALL", saved.c_str(), 1);
  }
}

}  // namespace
}  // namespace vorn
