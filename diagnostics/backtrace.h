// Backtraces for internal errors.
#ifndef VORN_DIAGNOSTICS_BACKTRACE_H
#define VORN_DIAGNOSTICS_BACKTRACE_H

#include <cstdint>
#include <cstdio>
#include <string>

namespace vorn {

// One frame as the stack reader delivers it; empty strings for unknowns.
struct BacktraceFrame {
  std::uintptr_t address = 0;
  std::string function;  // demangled
  std::string file;
  int line = 0;
};

// Decides frame by frame what a backtrace shows; kept apart from reading the
// stack so that the rules can be tested on made-up frames.
class BacktraceFilter {
 public:
  enum class Verdict { kSkip, kPrint, kStop };
  Verdict judge(const BacktraceFrame& frame);
  int printed() const { return printed_; }

 private:
  int printed_ = 0;
};

// Writes "0x<address> <function>\n\t<file>:<line>\n" ("???" for unknowns).
void print_backtrace_frame(std::FILE* stream, const BacktraceFrame& frame);

// Prints the backtrace of the calling program to STREAM, leaving out the
// SKIP innermost frames; returns the number of frames printed.
int print_backtrace(std::FILE* stream, int skip);

// Demangles a C++ symbol name (with parameter types); other names unchanged.
std::string demangle_symbol(const char* name);

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_BACKTRACE_H
