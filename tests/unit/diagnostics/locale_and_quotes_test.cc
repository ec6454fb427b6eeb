#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "diagnostics/intl.h"
#include "diagnostics/locale_and_quotes.h"
#include "test_support.h"

namespace vorn {
namespace {

using testing::format_message;
using testing::ScopedEnv;

TEST(Quotes, ApostrophesInTheCLocale) {
  ScopedEnv language("LANGUAGE", nullptr);
  ScopedEnv all("LC_ALL", "C");
  init_locale_and_quotes();
  EXPECT_FALSE(utf8_locale());
  EXPECT_STREQ(opening_mark(), "'");
  EXPECT_STREQ(closing_mark(), "'");
  EXPECT_EQ(format_message("%<-c%> and %qs", "a b"), "'-c' and 'a b'");
}

TEST(Quotes, PluralsWithoutACatalogue) {
  ScopedEnv all("LC_ALL", "C");
  init_locale_and_quotes();
  EXPECT_STREQ(translate_plural("%lu file", "%lu files", 1), "%lu file");
  EXPECT_STREQ(translate_plural("%lu file", "%lu files", 0), "%lu files");
  EXPECT_STREQ(translate_plural("%lu file", "%lu files", 2), "%lu files");
}

TEST(Quotes, CurlyQuotesInAUtf8Locale) {
  ScopedEnv language("LANGUAGE", nullptr);
  ScopedEnv all("LC_ALL", "C.UTF-8");
  init_locale_and_quotes();
  EXPECT_TRUE(utf8_locale());
  EXPECT_STREQ(opening_mark(), "\xe2\x80\x98");
  EXPECT_STREQ(closing_mark(), "\xe2\x80\x99");
  EXPECT_EQ(format_message("%<-c%> and %qs", "x"),
            "\xe2\x80\x98-c\xe2\x80\x99 and \xe2\x80\x98x\xe2\x80\x99");
}

// A "%m" report translates its text after the failing call: the first
// text's set-up of the locale and catalogue must not change errno.
TEST(Quotes, TheFirstTranslationLeavesErrnoAlone) {
  ScopedEnv language("LANGUAGE", "de");
  ScopedEnv all("LC_ALL", "C.UTF-8");
  init_locale_and_quotes();
  errno = ENOSPC;
  translate("write error on standard output: %m");
  EXPECT_EQ(errno, ENOSPC);
  init_locale_and_quotes();
  errno = ENOSPC;
  translate_plural("%lu file", "%lu files", 2);
  EXPECT_EQ(errno, ENOSPC);
}

}  // namespace
}  // namespace vorn
