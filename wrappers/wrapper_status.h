// How an archive-tool wrapper ends once the wrapped tool has ended.
#ifndef VORN_WRAPPERS_WRAPPER_STATUS_H
#define VORN_WRAPPERS_WRAPPER_STATUS_H

#include <string>
#include <string_view>

namespace vorn {

struct WrapperOutcome {
  int exit_status = 0;
  std::string message;  // for standard error; empty when there is nothing to say
};

// Turns the raw wait status of the tool at TOOL_PATH into the wrapper's exit
// status: a normal exit passes the tool's status through; death by a signal
// is reported and gives 1, as do the continued and stopped statuses (without
// a message).
WrapperOutcome interpret_tool_status(std::string_view tool_path, int wait_status);

}  // namespace vorn

#endif  // VORN_WRAPPERS_WRAPPER_STATUS_H
