#include "support/whole_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vorn {
namespace {

std::size_t limit_in_force = kWholeFileLimit;

}  // namespace

void set_whole_file_limit_for_testing(std::size_t limit) {
  limit_in_force = limit;
}

WholeFileStatus read_whole_descriptor(int fd, std::string* contents) {
  contents->clear();
  const std::size_t limit = limit_in_force;
  // A regular file says how much is coming; for anything else the buffer
  // grows as the data arrives.
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    contents->reserve(std::min(static_cast<std::size_t>(info.st_size), limit));
  }
  char chunk[65536];
  for (;;) {
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got == 0) return WholeFileStatus::kRead;
    if (got < 0) {
      if (errno == EINTR) continue;
      return WholeFileStatus::kReadError;
    }
    // Checked before appending, so that the buffer never outgrows the bound.
    if (static_cast<std::size_t>(got) > limit - contents->size()) return WholeFileStatus::kTooLarge;
    contents->append(chunk, static_cast<std::size_t>(got));
  }
}

}  // namespace vorn
