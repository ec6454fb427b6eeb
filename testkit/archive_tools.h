// The archive tools: ar, nm and ranlib on a small text archive format.
#ifndef VORN_TESTKIT_ARCHIVE_TOOLS_H
#define VORN_TESTKIT_ARCHIVE_TOOLS_H

#include "testkit/invocation.h"

namespace vorn::testkit {

// Each returns the exit status of the run.
int run_ar(Invocation& inv);
int run_nm(Invocation& inv);
int run_ranlib(Invocation& inv);

}  // namespace vorn::testkit

#endif  // VORN_TESTKIT_ARCHIVE_TOOLS_H
