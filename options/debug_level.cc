// The "-g" family: which debug-information formats are selected and at
// what level.
#include <bit>
#include <cerrno>

#include "diagnostics/intl.h"
#include "options/common_options.h"
#include "options/integer_argument.h"
#include "options/options_record.h"

namespace vorn {
namespace {

constexpr char kDebugFormatNames[][8] = {"none", "dwarf-2", "vms", "ctf", "btf"};

// DWARF can be combined with CTF or with BTF, never with VMS.
bool within(int formats, int allowed) {
  return formats != 0 && (formats & ~allowed) == 0;
}

void select_format(int format, OptionsRecord* options, OptionsRecord* explicitly_set,
                   SourceLocation location) {
  int& formats = options->x_debug_formats;
  int& chosen = explicitly_set->x_debug_formats;
  if (format == kDebugNone) {
    if (formats == kDebugNone) {
      formats = kDebugDwarf;
    } else if ((formats & (kDebugCtf | kDebugBtf)) != 0) {
      formats |= kDebugDwarf;
      chosen |= kDebugDwarf;
    }
    return;
  }
  const bool dwarf_or_ctf = format == kDebugDwarf || format == kDebugCtf;
  const bool dwarf_or_btf = format == kDebugDwarf || format == kDebugBtf;
  if ((dwarf_or_ctf && within(formats, kDebugDwarf | kDebugCtf)) ||
      (dwarf_or_btf && within(formats, kDebugDwarf | kDebugBtf))) {
    formats |= format;
    chosen |= format;
    return;
  }
  if (chosen != 0 && formats != 0 && formats != format) {
    error_at(location, _("debug format %qs conflicts with prior selection"),
             debug_format_name(format));
  }
  formats = format;
  chosen = format;
}

void set_level(int format, const char* text, OptionsRecord* options, SourceLocation location) {
  if (format == kDebugBtf) {
    if (text[0] != '\0') error_at(location, _("unrecognized btf debug output level %qs"), text);
    return;
  }
  if (text[0] == '\0') {
    if (format == kDebugCtf) {
      options->x_ctf_level = 2;
    } else if (options->x_debug_level < 2) {
      options->x_debug_level = 2;
    }
    return;
  }
  int error = 0;
  std::int64_t level = integer_argument(text, &error, false);
  if (error != 0 || level < 0) {
    error_at(location, _("unrecognized debug output level %qs"), text);
  } else if (level > 3) {
    error_at(location, _("debug output level %qs is too high"), text);
  } else if (format == kDebugCtf) {
    options->x_ctf_level = static_cast<int>(level);
  } else {
    options->x_debug_level = static_cast<int>(level);
  }
}

}  // namespace

void set_debug_level(int format, const char* level_text, OptionsRecord* options,
                     OptionsRecord* explicitly_set, SourceLocation location) {
  select_format(format, options, explicitly_set, location);
  set_level(format, level_text != nullptr ? level_text : "", options, location);
}

int debug_set_to_format(int bit) {
  if (bit == 0) return 0;
  if (!std::has_single_bit(static_cast<unsigned>(bit)) || bit > kDebugBtf || bit == 1) {
    internal_error("more than one debug format in %d", bit);
  }
  return std::countr_zero(static_cast<unsigned>(bit));
}

const char* debug_format_name(int bit) {
  return kDebugFormatNames[debug_set_to_format(bit)];
}

}  // namespace vorn
