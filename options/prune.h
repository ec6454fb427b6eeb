// Dropping options that later options cancel, and moving the diagnostics
// options that must act first to the front.
#ifndef VORN_OPTIONS_PRUNE_H
#define VORN_OPTIONS_PRUNE_H

#include <cstddef>

#include "options/decoded_option.h"

namespace vorn {

// Replaces *OPTIONS (xmalloc'ed, entry 0 the program name) by a pruned copy
// and releases the old array.  Linear in the number of entries.
void prune_options(DecodedOption** options, std::size_t* count);

}  // namespace vorn

#endif  // VORN_OPTIONS_PRUNE_H
