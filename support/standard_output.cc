#include "support/standard_output.h"

#include <cerrno>
#include <cstdio>

namespace vorn {
namespace {

int first_errno = 0;

}  // namespace

bool flush_standard_output() {
  // A write that failed while the stream filled its buffer left its reason
  // in errno; called right after printing, nothing has overwritten it yet.
  if (std::ferror(stdout) != 0 && first_errno == 0) first_errno = errno;
  errno = 0;
  if (std::fflush(stdout) != 0) {
    if (first_errno == 0) first_errno = errno;
    return false;
  }
  return std::ferror(stdout) == 0;
}

int standard_output_errno() {
  return first_errno;
}

}  // namespace vorn
