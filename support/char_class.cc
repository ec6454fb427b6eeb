#include "support/char_class.h"

#include <locale.h>

#include <cctype>

namespace vorn {
namespace {

bool g_ctype_pending = false;

}  // namespace

void defer_ctype_locale() {
  g_ctype_pending = true;
}

void ensure_ctype_locale() {
  if (!g_ctype_pending) return;
  g_ctype_pending = false;
  setlocale(LC_CTYPE, "");
}

bool locale_isalnum(unsigned char c) {
  ensure_ctype_locale();
  return std::isalnum(c) != 0;
}

}  // namespace vorn
