// The variables of options inside an OptionsRecord, and how a use of an
// option changes its variable.
#ifndef VORN_OPTIONS_OPTION_VARIABLES_H
#define VORN_OPTIONS_OPTION_VARIABLES_H

#include <cstddef>
#include <cstdint>

#include "diagnostics/source_location.h"
#include "options/option_table.h"

namespace vorn {

// The address of row INDEX's variable inside OPTIONS, or null when the row
// has none.
void* option_variable(std::size_t index, OptionsRecord* options);

// Stores one use of ROW (table row INDEX) into VARIABLE, of the row's kind,
// and marks it in EXPLICIT_VARIABLE when that is not null.  The table's
// rows use only some of the kinds; the others (SetBits, ClearBits,
// Deferred) are part of the table format all the same.
void store_option_use(const OptionDescriptor& row, std::size_t index, void* variable,
                      void* explicit_variable, std::int64_t value, const char* argument,
                      SourceLocation location, std::int64_t mask);

// Stores one use of row INDEX into OPTIONS and marks it in EXPLICITLY_SET
// (which may be null).  MASK is the decoded mask of an enumerated list.  An
// Integer value too big for a 32-bit variable is reported at LOCATION and
// not stored.
void set_option_variable(OptionsRecord* options, OptionsRecord* explicitly_set, std::size_t index,
                         std::int64_t value, const char* argument, SourceLocation location,
                         std::int64_t mask);

}  // namespace vorn

#endif  // VORN_OPTIONS_OPTION_VARIABLES_H
