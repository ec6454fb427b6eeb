// Turning command-line arguments into DecodedOption records.
#ifndef VORN_OPTIONS_DECODE_H
#define VORN_OPTIONS_DECODE_H

#include <cstddef>
#include <cstdint>

#include "options/decoded_option.h"

namespace vorn {

// Decodes the option at ARGV[0] (ARGV is a null-terminated run of elements)
// into *OUT and returns the number of elements it used, 1 to 5.
std::size_t decode_cmdline_option(const char* const* argv, std::uint32_t language_mask,
                                  DecodedOption* out);

// Decodes a whole argument vector: entry 0 is the program name, inputs
// become INPUT_FILE_ENTRY entries, and the result is pruned.  *OPTIONS is
// allocated with xmalloc and owned by the caller (release it with free).
void decode_options_to_array(std::size_t argc, const char* const* argv, std::uint32_t language_mask,
                             DecodedOption** options, std::size_t* count);

// An option the program itself creates, as if decoded.
void generate_option(std::size_t index, const char* argument, std::int64_t value,
                     std::uint32_t language_mask, DecodedOption* out);

// An input-file entry for TEXT.
void generate_input_file_entry(const char* text, DecodedOption* out);

}  // namespace vorn

#endif  // VORN_OPTIONS_DECODE_H
