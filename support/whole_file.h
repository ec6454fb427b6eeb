// Reading a whole file that the user named (an argument file, a specs
// file) into memory.  Whatever the file's kind, it is read to its end: a
// pipe or a FIFO gives its words as a regular file does.  A file that
// never ends (a device such as /dev/zero) or is absurdly large is refused
// at a bound, before memory runs out.
#ifndef VORN_SUPPORT_WHOLE_FILE_H
#define VORN_SUPPORT_WHOLE_FILE_H

#include <cstddef>
#include <string>

namespace vorn {

// Far beyond any real argument or specs file (those of 30 MB must work).
inline constexpr std::size_t kWholeFileLimit = std::size_t{256} << 20;

enum class WholeFileStatus { kRead, kTooLarge, kReadError };

// Reads FD to its end into *CONTENTS.  kTooLarge as soon as more than the
// bound in force arrives (the rest is not read); kReadError when a read
// fails (errno tells why).
WholeFileStatus read_whole_descriptor(int fd, std::string* contents);

// Lowers the bound in force (kWholeFileLimit) for a test.
void set_whole_file_limit_for_testing(std::size_t limit);

}  // namespace vorn

#endif  // VORN_SUPPORT_WHOLE_FILE_H
