#include "diagnostics/locale_and_quotes.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config.h"
#include "diagnostics/intl.h"
#include "diagnostics/run_diagnostics.h"
#include "support/char_class.h"

namespace vorn {
namespace {

MessageLocale& state() {
  return run_diagnostics().message_locale;
}

// NAME is nl_langinfo's answer, never null.
bool is_utf8_charset(const char* name) {
  return strcasecmp(name, "utf-8") == 0 || strcasecmp(name, "utf8") == 0;
}

// The message locale's name as setlocale takes it from the environment.
const char* message_locale_name() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

bool catalogue_exists(const std::string& locale) {
  std::string path = state().locale_dir + "/" + locale + "/LC_MESSAGES/vorn.mo";
  return access(path.c_str(), F_OK) == 0;
}

// A codeset name as the catalogue search writes it: letters in lower case
// and digits, the rest dropped, "iso" before an all-digit name.
std::string normalized_codeset(const char* codeset) {
  std::string result;
  bool only_digits = true;
  for (const char* p = codeset; *p != '\0'; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      result.push_back(c);
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      result.push_back(static_cast<char>(c | 0x20));
      only_digits = false;
    }
  }
  return only_digits ? "iso" + result : result;
}

// True when every text would come back as written, so that neither the
// message locale nor the catalogue needs setting up.  That holds in the
// "C" and "POSIX" locales, where the catalogue search ignores LANGUAGE; and
// in a "C.<codeset>" locale when LANGUAGE is unset and the catalogue
// directory has nothing for any name the search would try.  Anything else
// takes the full set-up.
bool catalogue_cannot_translate() {
  const char* name = message_locale_name();
  if (std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0) return true;
  if (name[0] != 'C' || name[1] != '.' || name[2] == '\0') return false;
  for (const char* p = name + 2; *p != '\0'; ++p) {
    const char c = *p;
    bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                 c == '-' || c == '_';
    if (!plain) return false;
  }
  const char* language = std::getenv("LANGUAGE");
  if (language != nullptr && *language != '\0') return false;
  return !catalogue_exists(name) && !catalogue_exists("C." + normalized_codeset(name + 2)) &&
         !catalogue_exists("C");
}

bool untranslated() {
  using Untranslated = MessageLocale::Untranslated;
  MessageLocale& locale = state();
  if (!locale.messages_pending) return false;
  if (locale.untranslated == Untranslated::kUnknown) {
    locale.untranslated = catalogue_cannot_translate() ? Untranslated::kYes : Untranslated::kNo;
  }
  return locale.untranslated == Untranslated::kYes;
}

// An untranslated "`" and "'" become the apostrophe on both sides, or
// U+2018 and U+2019 in a UTF-8 locale.
void choose_marks(const char* opening, const char* closing) {
  MessageLocale& locale = state();
  locale.marks_pending = false;
  locale.opening_mark = opening;
  locale.closing_mark = closing;
  locale.utf8 = is_utf8_charset(nl_langinfo(CODESET));
  if (std::strcmp(opening, "`") == 0 && std::strcmp(closing, "'") == 0) {
    locale.opening_mark = "'";
    if (locale.utf8) {
      locale.opening_mark = "\xe2\x80\x98";
      locale.closing_mark = "\xe2\x80\x99";
    }
  }
}

void ensure_marks() {
  if (!state().marks_pending) return;
  if (untranslated()) {
    ensure_ctype_locale();
    choose_marks("`", "'");
  } else {
    ensure_message_locale();
  }
}

}  // namespace

// Nothing is set up here: character classification waits for the first byte
// outside ASCII, and the message locale, the catalogue and the marks for the
// first text that needs them; most runs print nothing at all.
void init_locale_and_quotes(const char* locale_dir) {
  defer_ctype_locale();
  MessageLocale& locale = state();
  locale.locale_dir = locale_dir != nullptr ? locale_dir : config::kLocaleDir;
  locale.messages_pending = true;
  locale.marks_pending = true;
  locale.untranslated = MessageLocale::Untranslated::kUnknown;
}

void ensure_message_locale() {
  MessageLocale& locale = state();
  if (!locale.messages_pending) return;
  locale.messages_pending = false;
  // Catalogue texts are converted to the character set of LC_CTYPE.
  ensure_ctype_locale();
  setlocale(LC_MESSAGES, "");
  bindtextdomain("vorn", locale.locale_dir.c_str());
  textdomain("vorn");
  // A catalogue may translate the two ASCII marks into its language's own.
  choose_marks(::gettext("`"), ::gettext("'"));
}

// Texts are translated at the point of the report, often right after the
// failing call whose errno a "%m" in the text names; the first text's set-up
// of the locale and the catalogue must leave that errno as it found it.
char* translate(const char* msgid) {
  const int saved_errno = errno;
  char* text = const_cast<char*>(msgid);
  if (!untranslated()) {
    ensure_message_locale();
    text = ::gettext(msgid);
  }
  errno = saved_errno;
  return text;
}

char* translate_plural(const char* singular, const char* plural, unsigned long n) {
  const int saved_errno = errno;
  char* text = const_cast<char*>(n == 1 ? singular : plural);
  if (!untranslated()) {
    ensure_message_locale();
    text = ::ngettext(singular, plural, n);
  }
  errno = saved_errno;
  return text;
}

const char* opening_mark() {
  ensure_marks();
  return state().opening_mark;
}
const char* closing_mark() {
  ensure_marks();
  return state().closing_mark;
}
bool utf8_locale() {
  ensure_marks();
  return state().utf8;
}

}  // namespace vorn
