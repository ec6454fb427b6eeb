// The spec set-up phase: command-line processing, then the specs, the
// compilers table, the search prefixes and the self specs, in a fixed
// order.
#ifndef VORN_DRIVER_SPEC_SETUP_H
#define VORN_DRIVER_SPEC_SETUP_H

#include <cstddef>

#include "options/decoded_option.h"
#include "specs/switches.h"

namespace vorn {

// Runs the whole phase once over the COUNT decoded OPTIONS.
void prepare_specs(std::size_t count, const DecodedOption* options);

// Expands SPEC and applies the words it produces as driver options.  A
// word that is not an option is fatal.  -o and the compare-debug options
// are only recorded, without changing this run.
void expand_self_spec(const char* spec);

// The switch table of the second compilation under -fcompare-debug (empty
// otherwise).
SwitchTable& compare_debug_switches();

}  // namespace vorn

#endif  // VORN_DRIVER_SPEC_SETUP_H
