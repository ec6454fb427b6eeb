// The errors decoding found, as the user sees them.
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "options/edit_distance.h"
#include "options/enum_args.h"
#include "options/option_handlers.h"

namespace vorn {
namespace {

// The unknown-value error, then a note listing the accepted names with a
// suggestion for CULPRIT when one is close.
void report_bad_enum(SourceLocation location, const OptionDescriptor& row, const char* written_text,
                     const char* culprit, std::uint32_t language_mask) {
  const OptionEnumTable& table = kOptionEnumTables[row.enum_index];
  if (table.unknown_value_message) {
    error_at(location, _(table.unknown_value_message), culprit);
  } else {
    error_at(location, _("unrecognized argument in option %qs"), written_text);
  }
  std::vector<const char*> names;
  for (const OptionEnumValue* v = table.values; v->name; ++v) {
    if (!(v->flags & kEnumDriverOnly) || (language_mask & kFlagDriver)) names.push_back(v->name);
  }
  CandidatesAndHint list = candidates_list_and_hint(culprit, names);
  if (list.hint) {
    inform(location, _("valid arguments to %qs are: %s; did you mean %qs?"), row.text.c_str(),
           list.list.c_str(), list.hint);
  } else {
    inform(location, _("valid arguments to %qs are: %s"), row.text.c_str(), list.list.c_str());
  }
}

void report_bad_enum_set(SourceLocation location, const OptionDescriptor& row,
                         const char* written_text, const char* argument,
                         std::uint32_t language_mask) {
  const OptionEnumTable& table = kOptionEnumTables[row.enum_index];
  EnumListFault fault =
      find_enum_list_fault(table, argument, static_cast<int>(row.variable_value), language_mask);
  if (fault.kind == EnumListFault::kRepeatedSet) {
    std::string first(fault.first), second(fault.second);
    error_at(location, _("invalid argument in option %qs"), written_text);
    if (first == second) {
      inform(location, _("%qs specified multiple times in the same option"), first.c_str());
    } else {
      inform(location, _("%qs is mutually exclusive with %qs and cannot be specified together"),
             first.c_str(), second.c_str());
    }
    return;
  }
  std::string culprit(fault.culprit);
  report_bad_enum(location, row, written_text, culprit.c_str(), language_mask);
}

}  // namespace

bool report_option_error(SourceLocation location, std::size_t index, const char* written_text,
                         const char* argument, int errors, std::uint32_t language_mask) {
  const OptionDescriptor& row = kOptionTable[index];
  if (errors & ERR_DISABLED) {
    error_at(location, _("command-line option %qs is not supported by this configuration"),
             written_text);
  } else if (errors & ERR_MISSING_ARGUMENT) {
    const char* message = row.missing_argument_message ? _(row.missing_argument_message)
                                                       : _("missing argument to %qs");
    error_at(location, message, written_text);
  } else if (errors & ERR_NOT_UNSIGNED) {
    if (option_has(row, kAttrSizeArgument)) {
      error_at(location,
               _("argument to %qs should be a non-negative integer optionally followed by a "
                 "size unit"),
               row.text.c_str());
    } else {
      error_at(location, _("argument to %qs should be a non-negative integer"), row.text.c_str());
    }
  } else if (errors & ERR_OUT_OF_RANGE) {
    error_at(location, _("argument to %qs is not between %d and %d"), row.text.c_str(),
             row.range_min, row.range_max);
  } else if (errors & ERR_BAD_ENUM_SET) {
    report_bad_enum_set(location, row, written_text, argument, language_mask);
  } else if (errors & ERR_BAD_ENUM) {
    report_bad_enum(location, row, written_text, argument, language_mask);
  } else {
    return false;
  }
  return true;
}

}  // namespace vorn
