// Locale set-up, the message catalogue and the quotation marks.
#ifndef VORN_DIAGNOSTICS_LOCALE_AND_QUOTES_H
#define VORN_DIAGNOSTICS_LOCALE_AND_QUOTES_H

#include <string>

namespace vorn {

// What the layer has decided for a run's messages: the marks in force and
// what of the set-up init_locale_and_quotes deferred is still to come.  The
// C library's locale and catalogue binding that the set-up makes are the
// process's.
struct MessageLocale {
  const char* opening_mark = "'";
  const char* closing_mark = "'";
  bool utf8 = false;
  // Set by init_locale_and_quotes: the message locale and the catalogue are
  // still to be set up, and the marks still to be chosen, on first use.
  bool messages_pending = false;
  bool marks_pending = false;
  // Whether the catalogue cannot translate anything: decided on the first
  // translated text, while the messages are still pending.
  enum class Untranslated : unsigned char { kUnknown, kYes, kNo };
  Untranslated untranslated = Untranslated::kUnknown;
  std::string locale_dir;
};

// Takes character classification and messages from the environment (numbers
// stay in the C locale), binds the catalogue domain "vorn" to LOCALE_DIR (the
// configured locale directory when null) and chooses the quotation marks;
// all but the classification happen on the first translated text or mark.
// Call it first thing.
void init_locale_and_quotes(const char* locale_dir = nullptr);

// The marks around quoted text: U+2018/U+2019 in an untranslated UTF-8
// locale, apostrophes in any other untranslated locale, or the catalogue's
// translations of "`" and "'".  Apostrophes until init_locale_and_quotes.
// Sets up the message locale, the catalogue and the marks if
// init_locale_and_quotes deferred them and nothing has needed them yet;
// _() and the marks call it.  Without init_locale_and_quotes it does
// nothing.
void ensure_message_locale();

const char* opening_mark();
const char* closing_mark();

// Whether the locale's character set is UTF-8.
bool utf8_locale();

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_LOCALE_AND_QUOTES_H
