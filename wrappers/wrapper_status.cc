#include "wrappers/wrapper_status.h"

#include <string.h>

namespace vorn {

namespace {

// Wait-status layout: the low seven bits hold the terminating signal (0 for
// a normal exit, 0x7f for a stopped child), bit 0x80 says a core was dumped
// and the next byte holds the exit status.  19 is the status the process
// runner reports for a child that was continued.
constexpr int kSignalMask = 0x7f;
constexpr int kStoppedSignal = 0x7f;
constexpr int kCoreDumpBit = 0x80;
constexpr int kContinuedStatus = 19;

}  // namespace

WrapperOutcome interpret_tool_status(std::string_view tool_path, int wait_status) {
  int signal_number = wait_status & kSignalMask;
  if (wait_status == 0) return {0, ""};
  if (signal_number == 0) return {(wait_status >> 8) & 0xff, ""};
  if (signal_number == kStoppedSignal || wait_status == kContinuedStatus) return {1, ""};
  std::string message(tool_path);
  message += " terminated with signal " + std::to_string(signal_number) + " [";
  message += strsignal(signal_number);
  message += "]";
  if (wait_status & kCoreDumpBit) message += ", core dumped";
  message += "\n";
  return {1, message};
}

}  // namespace vorn
