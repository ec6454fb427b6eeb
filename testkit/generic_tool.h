// The behaviour shared by the compilers proper, the assembler, the linkers,
// objcopy and lto-runner: write the requested output, naming the inputs.
#ifndef VORN_TESTKIT_GENERIC_TOOL_H
#define VORN_TESTKIT_GENERIC_TOOL_H

#include "testkit/invocation.h"

namespace vorn::testkit {

// Returns the exit status of the run.
int run_generic_tool(Invocation& inv);

}  // namespace vorn::testkit

#endif  // VORN_TESTKIT_GENERIC_TOOL_H
