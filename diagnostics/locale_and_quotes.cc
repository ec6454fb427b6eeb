#include "diagnostics/locale_and_quotes.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <cstring>
#include <string>

#include "config.h"
#include "diagnostics/intl.h"

namespace vorn {
namespace {

const char* g_opening_mark = "'";
const char* g_closing_mark = "'";
bool g_utf8_locale = false;
// Set by init_locale_and_quotes: the message locale, the catalogue and the
// marks are still to be set up, on first use.
bool g_messages_pending = false;
std::string g_locale_dir;

bool is_utf8_charset(const char* name) {
  return name != nullptr && (strcasecmp(name, "utf-8") == 0 || strcasecmp(name, "utf8") == 0);
}

}  // namespace

// Character classification is taken at once (the spec reader classifies
// characters long before any message); the message locale, binding the
// catalogue and choosing the marks wait for the first text that needs them:
// most runs print nothing at all.
void init_locale_and_quotes(const char* locale_dir) {
  setlocale(LC_CTYPE, "");
  g_locale_dir = locale_dir != nullptr ? locale_dir : config::kLocaleDir;
  g_messages_pending = true;
}

void ensure_message_locale() {
  if (!g_messages_pending) return;
  g_messages_pending = false;
  setlocale(LC_MESSAGES, "");
  bindtextdomain("vorn", g_locale_dir.c_str());
  textdomain("vorn");

  // A catalogue may translate the two ASCII marks into its language's own.
  g_opening_mark = ::gettext("`");
  g_closing_mark = ::gettext("'");
  g_utf8_locale = is_utf8_charset(nl_langinfo(CODESET));

  if (std::strcmp(g_opening_mark, "`") == 0 && std::strcmp(g_closing_mark, "'") == 0) {
    g_opening_mark = "'";
    if (g_utf8_locale) {
      g_opening_mark = "\xe2\x80\x98";
      g_closing_mark = "\xe2\x80\x99";
    }
  }
}

char* translate(const char* msgid) {
  ensure_message_locale();
  return ::gettext(msgid);
}

char* translate_plural(const char* singular, const char* plural, unsigned long n) {
  ensure_message_locale();
  return ::ngettext(singular, plural, n);
}

const char* opening_mark() {
  ensure_message_locale();
  return g_opening_mark;
}
const char* closing_mark() {
  ensure_message_locale();
  return g_closing_mark;
}
bool utf8_locale() {
  ensure_message_locale();
  return g_utf8_locale;
}

}  // namespace vorn
