// Coverage builds (VORN_COVERAGE) count how often each line and branch runs
// and write the counts when the process exits normally.  A process that ends
// by a signal or abort skips that step; these calls write the counts first.
// Other builds compile them to nothing.
#ifndef VORN_SUPPORT_COVERAGE_COUNTS_H
#define VORN_SUPPORT_COVERAGE_COUNTS_H

#include <cstdlib>

#ifdef VORN_COVERAGE
extern "C" void __gcov_dump(void);
#endif

namespace vorn {

inline void save_coverage_counts() {
#ifdef VORN_COVERAGE
  __gcov_dump();
#endif
}

// std::abort, with the counts written first in coverage builds.
[[noreturn]] inline void abort_process() {
  save_coverage_counts();
  std::abort();
}

}  // namespace vorn

#endif  // VORN_SUPPORT_COVERAGE_COUNTS_H
