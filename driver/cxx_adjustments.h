// The C++ flavour of the driver: before any option takes effect, C sources
// and headers named on the command line are turned into C++ ones, and a
// command that links C++ code gets the C++ standard library, the maths
// library and the shared support library, in that order.
#ifndef VORN_DRIVER_CXX_ADJUSTMENTS_H
#define VORN_DRIVER_CXX_ADJUSTMENTS_H

#include <cstddef>

#include "options/decoded_option.h"

namespace vorn {

// Rewrites the decoded-option array *OPTIONS of *COUNT entries (entry 0 is
// the program name) and adds the number of libraries it appended to
// *ADDED_LIBRARIES, so that a command line holding only those libraries
// still has no inputs.  The new array lives in the run's state until the
// next call; the old one stays with its owner.
void lang_specific_driver(const DecodedOption** options, std::size_t* count, int* added_libraries);

}  // namespace vorn

#endif  // VORN_DRIVER_CXX_ADJUSTMENTS_H
