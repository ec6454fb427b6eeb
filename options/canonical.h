// The canonical form of a decoded option: the argv elements that express it
// unambiguously, whatever form the user wrote.
#ifndef VORN_OPTIONS_CANONICAL_H
#define VORN_OPTIONS_CANONICAL_H

#include <cstddef>
#include <cstdint>

#include "options/decoded_option.h"

namespace vorn {

// Fills canonical and canonical_count of DECODED for row INDEX with ARGUMENT
// (or null) and VALUE (0 asks for the "no-" form where the row has one).
void generate_canonical_option(std::size_t index, const char* argument, std::int64_t value,
                               DecodedOption* decoded);

}  // namespace vorn

#endif  // VORN_OPTIONS_CANONICAL_H
