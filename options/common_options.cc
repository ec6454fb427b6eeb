// The common-class handler as the driver runs it.  Most driver rows of the
// common class only need their variable, which decoding has already
// stored; the rows here have effects beyond it.
#include "options/common_options.h"

#include <cstdint>

#include "diagnostics/diagnostic_context.h"
#include "diagnostics/intl.h"
#include "options/option_codes.h"
#include "options/options_record.h"
#include "options/run_options.h"
#include "options/sanitizers.h"

namespace vorn {
namespace {

// The target's own defaults for the variables it owns.
constexpr std::int64_t kTargetDefaultFlags = 0;
constexpr int kTargetUnwindTablesDefault = 0;

CommonOptionState& state() {
  return run_options().common;
}

const char* argument_text(const DecodedOption* decoded) {
  return decoded->argument != nullptr ? decoded->argument : "";
}

void select_dwarf_version(std::int64_t version, OptionsRecord* options,
                          OptionsRecord* explicitly_set, SourceLocation location) {
  if (version < 2 || version > 5) {
    error_at(location, _("dwarf version %wu is not supported"),
             static_cast<std::uint64_t>(version));
    options->x_dwarf_version = state().accepted_dwarf_version;
  } else {
    options->x_dwarf_version = static_cast<int>(version);
    state().accepted_dwarf_version = options->x_dwarf_version;
  }
  set_debug_level(kDebugDwarf, "", options, explicitly_set, location);
}

// The "-g" rows; false when CODE is not one of them.
bool handle_debug_option(std::size_t code, const DecodedOption* decoded, OptionsRecord* options,
                         OptionsRecord* explicitly_set, SourceLocation location) {
  const char* argument = argument_text(decoded);
  switch (code) {
    case OPT_g:
    case OPT_ggdb:
      set_debug_level(kDebugNone, argument, options, explicitly_set, location);
      return true;
    case OPT_gbtf:
      set_debug_level(kDebugBtf, argument, options, explicitly_set, location);
      if (options->x_debug_level < 2) options->x_debug_level = 2;
      return true;
    case OPT_gctf:
      set_debug_level(kDebugCtf, argument, options, explicitly_set, location);
      if (options->x_debug_level < 2 && options->x_ctf_level > 0) options->x_debug_level = 2;
      return true;
    case OPT_gvms:
      set_debug_level(kDebugVms, argument, options, explicitly_set, location);
      return true;
    case OPT_gdwarf:
      if (argument[0] != '\0') {
        error_at(location,
                 _("%<-gdwarf%s%> is ambiguous; use %<-gdwarf-%s%> for DWARF version or "
                   "%<-gdwarf%> %<-g%s%> for debug level"),
                 argument, argument, argument);
      } else {
        select_dwarf_version(options->x_dwarf_version, options, explicitly_set, location);
      }
      return true;
    case OPT_gdwarf_dash:
      select_dwarf_version(decoded->value, options, explicitly_set, location);
      return true;
    default:
      return false;
  }
}

// The sanitizer rows; false when CODE is not one of them.
bool handle_sanitizer_option(std::size_t code, const DecodedOption* decoded, OptionsRecord* options,
                             OptionsRecord* explicitly_set, SourceLocation location) {
  const bool positive = decoded->value != 0;
  switch (code) {
    case OPT_fsanitize_:
      explicitly_set->x_sanitize_flags = 1;
      options->x_sanitize_flags = parse_sanitizer_list(argument_text(decoded), location, code,
                                                       options->x_sanitize_flags, positive, true);
      return true;
    case OPT_fsanitize_trap:
    case OPT_fsanitize_undefined_trap_on_error:
      if (positive) {
        options->x_sanitize_trap_flags |= kSanitizeUndefinedChecks;
      } else {
        options->x_sanitize_trap_flags &= ~kSanitizeUndefinedChecks;
      }
      return true;
    case OPT_fsanitize_trap_:
      options->x_sanitize_trap_flags = parse_sanitizer_list(
          argument_text(decoded), location, code, options->x_sanitize_trap_flags, positive, true);
      return true;
    case OPT_fsanitize_address_use_after_scope:
      options->x_sanitize_use_after_scope = positive ? 1 : 0;
      return true;
    default:
      return false;
  }
}

// Rows whose whole effect is their variable, or that have none to store.
bool needs_nothing_more(std::size_t code, std::uint32_t language_mask) {
  switch (code) {
    case OPT__help:
    case OPT__target_help:
    case OPT__version:
      // Help for the compilers proper is asked for through the specs.
      return language_mask == kFlagDriver;
    case OPT__completion_:
    case OPT_fmultiflags:
    case OPT_foffload_options_:
    case OPT_fuse_ld_eq_bfd:
    case OPT_fuse_ld_eq_gold:
    case OPT_fuse_ld_eq_lld:
    case OPT_fuse_ld_eq_mold:
    case OPT_gz:
    case OPT_gz_:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool common_handle_option(OptionsRecord* options, OptionsRecord* explicitly_set,
                          const DecodedOption* decoded, std::uint32_t language_mask, DiagnosticKind,
                          SourceLocation location, const OptionHandlers*,
                          DiagnosticContext* diagnostics, TargetOverrideHook) {
  if (decoded->canonical_count > 2) {
    internal_error("option %qs has more than two canonical elements", decoded->written_text);
  }
  const std::size_t code = decoded->index;
  if (needs_nothing_more(code, language_mask)) return true;
  if (handle_debug_option(code, decoded, options, explicitly_set, location)) return true;
  if (handle_sanitizer_option(code, decoded, options, explicitly_set, location)) return true;
  switch (code) {
    case OPT__help_:
      state().help_requests.push_back(decoded->argument);
      options->x_help_flag = 1;
      return true;
    case OPT_fdiagnostics_color_:
      set_color_mode(diagnostics, static_cast<int>(decoded->value));
      return true;
    case OPT_fdiagnostics_urls_:
      set_url_mode(diagnostics, static_cast<int>(decoded->value));
      return true;
    case OPT_freport_bug:
      diagnostics->full_report_requested = decoded->value != 0;
      return true;
    default:
      break;
  }
  if (code >= OPTION_COUNT || option_row(code).variable_offset == kNoVariable) {
    internal_error("common option %qs has no variable", decoded->written_text);
  }
  return true;
}

bool target_handle_option(OptionsRecord*, OptionsRecord*, const DecodedOption*, std::uint32_t,
                          DiagnosticKind kind, SourceLocation, const OptionHandlers*,
                          DiagnosticContext* diagnostics, TargetOverrideHook) {
  if (diagnostics != &diagnostic_context() || kind != DiagnosticKind::kUnspecified) {
    internal_error("target option handler called out of context");
  }
  // This target has no options of its own to act on.
  return true;
}

void init_options_struct(OptionsRecord* options, OptionsRecord* explicitly_set) {
  *options = kInitialOptionsRecord;
  if (explicitly_set != nullptr) *explicitly_set = OptionsRecord{};
  options->x_flag_short_enums = 2;  // decided by the compiler proper
  options->x_flag_signed_char = 0;  // plain characters are unsigned
  options->x_target_flags = kTargetDefaultFlags;
  options->x_flag_unwind_tables = kTargetUnwindTablesDefault;
  state().accepted_dwarf_version = options->x_dwarf_version;
}

const std::vector<const char*>& help_requests() {
  return state().help_requests;
}

}  // namespace vorn
