#include "diagnostics/urls.h"

#include <cstdlib>
#include <cstring>

#include "diagnostics/check.h"
#include "diagnostics/colours.h"

namespace vorn {
namespace {

bool equals(const char* value, const char* text) {
  return value != nullptr && std::strcmp(value, text) == 0;
}

}  // namespace

int link_style_from_environment() {
  const char* value = std::getenv("VORN_URLS");
  // A set but empty VORN_URLS is an answer of its own ("no links").
  if (value == nullptr) value = std::getenv("TERM_URLS");
  if (value == nullptr) return kLinksEndWithBel;
  if (*value == '\0' || equals(value, "no")) return kLinksNone;
  if (equals(value, "st")) return kLinksEndWithSt;
  return kLinksEndWithBel;
}

int decide_link_style(int mode) {
  if (mode < 0) mode = kModeAuto;
  switch (mode) {
    case kModeNever:
      return kLinksNone;
    case kModeAlways:
      return link_style_from_environment();
    case kModeAuto: {
      if (!stderr_is_terminal_session()) return kLinksNone;
      // These terminals print the escape sequences instead of using them.
      const char* colorterm = std::getenv("COLORTERM");
      if (equals(colorterm, "xfce4-terminal") || equals(colorterm, "gnome-terminal")) {
        return kLinksNone;
      }
      if (std::getenv("VORN_URLS") != nullptr || std::getenv("TERM_URLS") != nullptr) {
        return link_style_from_environment();
      }
      const char* term = std::getenv("TERM");
      if (colorterm == nullptr && (equals(term, "xterm") || equals(term, "linux"))) {
        return kLinksNone;
      }
      return link_style_from_environment();
    }
    default:
      VORN_CHECK_FAILED("determine_url_format");
  }
}

const char* url_start_prefix(int style) {
  switch (style) {
    case kLinksNone:
      return "";
    case kLinksEndWithSt:
    case kLinksEndWithBel:
      return "\033]8;;";
    default:
      VORN_CHECK_FAILED("pp_begin_url");
  }
}

const char* url_start_suffix(int style) {
  switch (style) {
    case kLinksNone:
      return "";
    case kLinksEndWithSt:
      return "\033\\";
    case kLinksEndWithBel:
      return "\a";
    default:
      VORN_CHECK_FAILED("pp_begin_url");
  }
}

const char* url_end(int style) {
  switch (style) {
    case kLinksNone:
      return "";
    case kLinksEndWithSt:
      return "\033]8;;\033\\";
    case kLinksEndWithBel:
      return "\033]8;;\a";
    default:
      VORN_CHECK_FAILED("get_end_url_string");
  }
}

}  // namespace vorn
