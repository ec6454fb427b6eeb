// What the driver does with options of the common class: the debug
// information settings of the "-g" family, the sanitizer sets, the
// diagnostics settings it shares with the compilers proper, and help
// requests.  The values land in the driver's OptionsRecord, where spec
// functions read them.
#ifndef VORN_OPTIONS_COMMON_OPTIONS_H
#define VORN_OPTIONS_COMMON_OPTIONS_H

#include <cstdint>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "options/decoded_option.h"
#include "options/option_handlers.h"
#include "options/option_table.h"

namespace vorn {

// Debug-information formats, a bit set (0: none).
inline constexpr int kDebugNone = 0;
inline constexpr int kDebugDwarf = 0x2;
inline constexpr int kDebugVms = 0x4;
inline constexpr int kDebugCtf = 0x8;
inline constexpr int kDebugBtf = 0x10;

// The DWARF version a run starts with.
inline constexpr int kDefaultDwarfVersion = 5;

// What the common-class handler remembers between the options of one run.
struct CommonOptionState {
  // The arguments of every "--help=" given, in order.
  std::vector<const char*> help_requests;
  // The DWARF version last accepted, put back when "-gdwarf-" names an
  // unsupported one (decoding has stored that value already).
  int accepted_dwarf_version = kDefaultDwarfVersion;
};

// The handler of the common class bit.
bool common_handle_option(OptionsRecord* options, OptionsRecord* explicitly_set,
                          const DecodedOption* decoded, std::uint32_t language_mask,
                          DiagnosticKind kind, SourceLocation location,
                          const OptionHandlers* handlers, DiagnosticContext* diagnostics,
                          TargetOverrideHook target_override);

// The handler of the target class bit; no driver row has that bit.
bool target_handle_option(OptionsRecord* options, OptionsRecord* explicitly_set,
                          const DecodedOption* decoded, std::uint32_t language_mask,
                          DiagnosticKind kind, SourceLocation location,
                          const OptionHandlers* handlers, DiagnosticContext* diagnostics,
                          TargetOverrideHook target_override);

// Selects FORMAT (kDebugNone for "-g" and "-ggdb") at the level LEVEL_TEXT
// ("" for the default).
void set_debug_level(int format, const char* level_text, OptionsRecord* options,
                     OptionsRecord* explicitly_set, SourceLocation location);

// The position of the one format in BIT among "none", "dwarf-2", "vms",
// "ctf", "btf" (0 for no format).
int debug_set_to_format(int bit);
// The name of the one format in BIT, as messages show it.
const char* debug_format_name(int bit);

// The initial values of every option variable, before decoding.
void init_options_struct(OptionsRecord* options, OptionsRecord* explicitly_set);

// The arguments of every "--help=" given, in order.
const std::vector<const char*>& help_requests();

}  // namespace vorn

#endif  // VORN_OPTIONS_COMMON_OPTIONS_H
