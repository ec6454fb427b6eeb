// Parsing of integer option arguments, with optional byte-size units.
#ifndef VORN_OPTIONS_INTEGER_ARGUMENT_H
#define VORN_OPTIONS_INTEGER_ARGUMENT_H

#include <cstdint>

namespace vorn {

// The value of TEXT, or -1 with *ERROR set to a system error number (EINVAL
// when the text is not a number).  *ERROR is 0 on success.  Decimal digits
// saturate at the largest 64-bit value; a text with more than digits is read
// again as a C integer (0x... hexadecimal, 0... octal) unless ALLOW_UNITS,
// when the rest must be a byte-size unit ("kB", "MiB", ...).
std::int64_t integer_argument(const char* text, int* error, bool allow_units);

}  // namespace vorn

#endif  // VORN_OPTIONS_INTEGER_ARGUMENT_H
