// Finding the row that an option text names.
#ifndef VORN_OPTIONS_LOOKUP_H
#define VORN_OPTIONS_LOOKUP_H

#include <cstddef>
#include <cstdint>

namespace vorn {

// TEXT is the argument without its leading "-".  The result is the row that
// matches (preferring rows valid for LANGUAGE_MASK, then the first row that
// matches for another language), an unambiguous abbreviation of a long
// option, or UNKNOWN_OPTION.
std::size_t find_option(const char* text, std::uint32_t language_mask);

// Whether a row with FLAGS may be used under LANGUAGE_MASK.  A target option
// that also names languages or the driver needs a bit of the mask besides the
// common and target bits.
bool option_ok_for_language_mask(std::uint32_t flags, std::uint32_t language_mask);

}  // namespace vorn

#endif  // VORN_OPTIONS_LOOKUP_H
