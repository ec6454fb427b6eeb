// Coverage builds (VORN_COVERAGE) count how often each line and branch runs
// and write the counts when the process exits normally.  A process that ends
// by a signal, an abort or _exit skips that step; this call writes the
// counts first.  Other builds compile it to nothing.
#ifndef VORN_SUPPORT_COVERAGE_COUNTS_H
#define VORN_SUPPORT_COVERAGE_COUNTS_H

#ifdef VORN_COVERAGE
extern "C" void __gcov_dump(void);
#endif

namespace vorn {

inline void save_coverage_counts() {
#ifdef VORN_COVERAGE
  __gcov_dump();
#endif
}

}  // namespace vorn

#endif  // VORN_SUPPORT_COVERAGE_COUNTS_H
