// "@file" arguments: a file whose contents stand for more arguments.
#ifndef VORN_DRIVER_ARGUMENT_FILES_H
#define VORN_DRIVER_ARGUMENT_FILES_H

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// Splits the contents of an argument file into arguments: blanks separate
// arguments outside quotes, a backslash makes the next character literal
// (inside quotes too), single quotes quote up to the next single quote
// unless inside double quotes, double quotes toggle a quoted run.  Quote
// characters and escaping backslashes are dropped.
std::vector<std::string> split_argument_file_text(std::string_view text);

// What reading an argument file gave.  kUnreadable: it cannot be opened or
// a read failed (errno tells why); the file's arguments would be lost, or
// only some of them used, so it is an error.  A NUL byte would cut a word
// and drop the rest without a word, so it is an error too, as is a file
// beyond the bound of support/whole_file.h.
enum class ArgumentFileRead { kRead, kUnreadable, kNulByte, kTooLarge };

// Reads the file PATH to its end, whatever its kind (a pipe or FIFO too).
ArgumentFileRead read_argument_file(const char* path, std::string* contents);

// Replaces every "@FILE" argument of *ARGV from index 1 by the arguments
// read from FILE, expanding "@" arguments that come from files in turn.
// An "@" argument whose file does not exist stays as it is.  When
// something was replaced, *ARGV (and *ARGC) point to a new vector that
// lives for the process, and the result is true.  The words read from one
// file share one block, which starts with the first of them.  A directory,
// a file that cannot be opened or read, one holding a NUL byte or one that
// is too large, or the 2000th "@" argument, prints a message and exits with
// status 1.
bool expand_argument_files(int* argc, char*** argv);

}  // namespace vorn

#endif  // VORN_DRIVER_ARGUMENT_FILES_H
