// What one run of the stand-in was asked to do and what it saw.
#ifndef VORN_TESTKIT_INVOCATION_H
#define VORN_TESTKIT_INVOCATION_H

#include <string>
#include <vector>

namespace vorn::testkit {

struct Invocation {
  std::string tool;               // the personality: the basename of argv[0]
  std::string argv0;              // argv[0] as given
  std::vector<std::string> args;  // argv[1] onwards
  long stdin_bytes = -1;          // bytes read from standard input; -1 when not read
};

// Reads all of standard input (once; later calls return the same text) and
// counts it in INV.
const std::string& read_standard_input(Invocation& inv);

// Reads a whole file; false when it cannot be opened or read.
bool read_file(const std::string& path, std::string& contents);

// Writes TEXT to PATH ("-" means standard output), replacing the file; prints
// the failure and returns false when that is not possible.
bool write_output(const Invocation& inv, const std::string& path, const std::string& text,
                  bool executable = false);

// The stand-in's own diagnostics: "TOOL: MESSAGE" on standard error.
void complain(const Invocation& inv, const std::string& message);

}  // namespace vorn::testkit

#endif  // VORN_TESTKIT_INVOCATION_H
