// Terminal hyperlinks (OSC 8): whether and in which form to emit them.
#ifndef VORN_DIAGNOSTICS_URLS_H
#define VORN_DIAGNOSTICS_URLS_H

#include "diagnostics/colours.h"  // the modes

namespace vorn {

// The link styles of a printer.
enum LinkStyle : int {
  kLinksNone = 0,
  kLinksEndWithSt = 1,   // ESC "]8;;" URL ESC "\"
  kLinksEndWithBel = 2,  // ESC "]8;;" URL BEL; what terminals expect by default
};

// The link style for a mode (see colours.h) and the environment.
int decide_link_style(int mode);

// The link style that "VORN_URLS", else "TERM_URLS", asks for.
int link_style_from_environment();

// The texts before and after the link text for STYLE.
const char* url_start_prefix(int style);
const char* url_start_suffix(int style);
const char* url_end(int style);

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_URLS_H
