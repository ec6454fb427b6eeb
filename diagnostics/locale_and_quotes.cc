#include "diagnostics/locale_and_quotes.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <cstring>

#include "config.h"
#include "diagnostics/intl.h"

namespace vorn {
namespace {

const char* g_opening_mark = "'";
const char* g_closing_mark = "'";
bool g_utf8_locale = false;

bool is_utf8_charset(const char* name) {
  return name != nullptr && (strcasecmp(name, "utf-8") == 0 || strcasecmp(name, "utf8") == 0);
}

}  // namespace

void init_locale_and_quotes(const char* locale_dir) {
  setlocale(LC_CTYPE, "");
  setlocale(LC_MESSAGES, "");
  bindtextdomain("vorn", locale_dir != nullptr ? locale_dir : config::kLocaleDir);
  textdomain("vorn");

  // A catalogue may translate the two ASCII marks into its language's own.
  g_opening_mark = _("`");
  g_closing_mark = _("'");
  g_utf8_locale = is_utf8_charset(nl_langinfo(CODESET));

  if (std::strcmp(g_opening_mark, "`") == 0 && std::strcmp(g_closing_mark, "'") == 0) {
    g_opening_mark = "'";
    if (g_utf8_locale) {
      g_opening_mark = "\xe2\x80\x98";
      g_closing_mark = "\xe2\x80\x99";
    }
  }
}

const char* opening_mark() {
  return g_opening_mark;
}
const char* closing_mark() {
  return g_closing_mark;
}
bool utf8_locale() {
  return g_utf8_locale;
}

}  // namespace vorn
