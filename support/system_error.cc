#include "support/system_error.h"

#include <cstdio>
#include <cstring>

namespace vorn {

const char* system_error_description(int errnum) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
  return strerrordesc_np(errnum);
#else
  // Without a table lookup, strerror is the best there is; it makes up a
  // text for unknown numbers, so "none" cannot be told apart.
  return std::strerror(errnum);
#endif
}

const char* system_error_text(int errnum) {
  if (system_error_description(errnum) != nullptr) {
    // strerror rather than the description: it follows the message locale.
    return std::strerror(errnum);
  }
  static char undocumented[48];
  std::snprintf(undocumented, sizeof undocumented, "undocumented error #%d", errnum);
  return undocumented;
}

}  // namespace vorn
