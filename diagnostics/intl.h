// Message-catalogue markers.  Every text shown to the user is written as
// _("...") where it is used, or N_("...") where it sits in a table and is
// translated later; xgettext collects both (see po/CMakeLists.txt).
// Include this header only from .cc files: the one-letter macro must not leak
// into code that includes the public headers.
#ifndef VORN_DIAGNOSTICS_INTL_H
#define VORN_DIAGNOSTICS_INTL_H

#include <libintl.h>

#define _(msgid) ::gettext(msgid)
#define N_(msgid) msgid

#endif  // VORN_DIAGNOSTICS_INTL_H
