// Message-catalogue markers.  Every text shown to the user is written as
// _("...") where it is used, or N_("...") where it sits in a table and is
// translated later; xgettext collects both (see po/CMakeLists.txt).
// Include this header only from .cc files: the one-letter macro must not leak
// into code that includes the public headers.
#ifndef VORN_DIAGNOSTICS_INTL_H
#define VORN_DIAGNOSTICS_INTL_H

#include <libintl.h>

namespace vorn {
// gettext and ngettext once the message locale is set up (see
// ensure_message_locale in diagnostics/locale_and_quotes.h).
char* translate(const char* msgid);
char* translate_plural(const char* singular, const char* plural, unsigned long n);
}  // namespace vorn

#define _(msgid) ::vorn::translate(msgid)
#define N_(msgid) msgid

#endif  // VORN_DIAGNOSTICS_INTL_H
