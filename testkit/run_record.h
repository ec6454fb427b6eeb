// The record of one run that the stand-in appends to the file named by
// STANDIN_LOG, so that a test can check exactly what a program was given.
#ifndef VORN_TESTKIT_RUN_RECORD_H
#define VORN_TESTKIT_RUN_RECORD_H

#include <string>

#include "testkit/invocation.h"

namespace vorn::testkit {

// How the run ends: an exit status, or a signal when SIGNAL_NUMBER is not 0.
struct RunEnd {
  int exit_status = 0;
  int signal_number = 0;
};

// The record text, every line starting with "TOOL: " (format in README.md).
std::string format_record(const Invocation& inv, RunEnd end);

// Appends TEXT to the file LOG_PATH in one write, so that the records of
// concurrent pipeline stages never interleave.  Complains and returns false
// on failure.
bool append_record(const Invocation& inv, const char* log_path, const std::string& text);

}  // namespace vorn::testkit

#endif  // VORN_TESTKIT_RUN_RECORD_H
