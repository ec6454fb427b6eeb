// Reading back the quoted option list the driver exports to its children in
// COLLECT_VORN_OPTIONS: elements in single quotes, separated by spaces, a
// quote inside an element written '\''.
#ifndef VORN_OPTIONS_COLLECT_OPTIONS_READER_H
#define VORN_OPTIONS_COLLECT_OPTIONS_READER_H

#include <string>
#include <vector>

namespace vorn {

// Splits TEXT into its elements.  False when an element has no closing
// quote; *ELEMENTS then holds the elements before it.
bool split_collected_options(const char* text, std::vector<std::string>* elements);

// The elements as a null-terminated argument vector (strings and array
// allocated for the rest of the run).  An unterminated element is the fatal
// error "malformed COLLECT_VORN_OPTIONS".
char** read_collected_options(const char* text);

}  // namespace vorn

#endif  // VORN_OPTIONS_COLLECT_OPTIONS_READER_H
