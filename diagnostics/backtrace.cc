// The stack reader is the C library's backtrace() with dladdr() for symbol
// names, which needs no debugging information but names only the functions
// the program exports (link programs with ENABLE_EXPORTS so that they export
// theirs); file names and lines are therefore unknown.
#include "diagnostics/backtrace.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <cstdlib>
#include <cstring>

#include "support/base_name.h"

namespace vorn {
namespace {

constexpr int kMaxPrintedFrames = 20;
constexpr int kMaxReadFrames = 128;

// Where a backtrace stops: the program's entry and the outer loops of a
// compiler, beyond which frames tell nothing about the failure.  The C
// library's start-up code counts as the entry too, for programs that do not
// export main.
constexpr char kStopFunctions[][23] = {
    "main",   "toplev::main",      "execute_one_pass",       "compile_file",
    "_start", "__libc_start_main", "__libc_start_call_main",
};

// The functions of this layer that an internal error passes through before
// the stack reader runs; they are left out until the first frame of the
// program that reported the error.
constexpr char kLayerFunctions[][35] = {
    "vorn::check_failed(",
    "vorn::internal_error(",
    "vorn::internal_error_no_backtrace(",
    "vorn::report_with_kind(",
    "vorn::deliver_diagnostic(",
    "vorn::action_after_output(",
    "vorn::print_backtrace(",
    "vorn::internal_error_tail(",
};

// The layer's source files that an internal error passes through, for a
// reader that knows the file of each frame (base names, compared exactly).
constexpr char kLayerFiles[][16] = {
    "backtrace.cc", "check.cc", "delivery.cc", "entry_points.cc", "termination.cc",
};

bool starts_with(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool names_function(const std::string& function, const char* name) {
  std::size_t length = std::strlen(name);
  return function.compare(0, length, name) == 0 &&
         (function.size() == length || function[length] == '(');
}

bool is_layer_frame(const BacktraceFrame& frame) {
  if (!frame.file.empty()) {
    const char* file = base_name(frame.file.c_str());
    for (const char* name : kLayerFiles) {
      if (std::strcmp(file, name) == 0) return true;
    }
  }
  for (const char* name : kLayerFunctions) {
    if (starts_with(frame.function, name)) return true;
  }
  return false;
}

}  // namespace

std::string demangle_symbol(const char* name) {
  if (name == nullptr) return std::string();
  if (std::strncmp(name, "_Z", 2) != 0) return name;
  int status = 0;
  char* demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
  // A name that is not a valid mangled name comes back as null.
  if (demangled == nullptr) return name;
  std::string result = demangled;
  std::free(demangled);
  return result;
}

BacktraceFilter::Verdict BacktraceFilter::judge(const BacktraceFrame& frame) {
  if (frame.function.empty() && frame.file.empty()) return Verdict::kSkip;
  if (printed_ == 0 && is_layer_frame(frame)) return Verdict::kSkip;
  if (printed_ >= kMaxPrintedFrames) return Verdict::kStop;
  for (const char* name : kStopFunctions) {
    if (names_function(frame.function, name)) return Verdict::kStop;
  }
  ++printed_;
  return Verdict::kPrint;
}

void print_backtrace_frame(std::FILE* stream, const BacktraceFrame& frame) {
  std::fprintf(stream, "0x%lx %s\n\t%s:%d\n", static_cast<unsigned long>(frame.address),
               frame.function.empty() ? "???" : frame.function.c_str(),
               frame.file.empty() ? "???" : frame.file.c_str(), frame.line);
}

int print_backtrace(std::FILE* stream, int skip) {
  void* addresses[kMaxReadFrames];
  int count = backtrace(addresses, kMaxReadFrames);
  BacktraceFilter filter;
  // Frame 0 is this function.
  for (int i = 1 + skip; i < count; ++i) {
    BacktraceFrame frame;
    frame.address = reinterpret_cast<std::uintptr_t>(addresses[i]);
    // A return address points after its call, which for a call that does
    // not return can be the first byte of the next function: look up the
    // call itself.
    Dl_info info;
    if (dladdr(static_cast<char*>(addresses[i]) - 1, &info) != 0) {
      frame.function = demangle_symbol(info.dli_sname);
    }
    BacktraceFilter::Verdict verdict = filter.judge(frame);
    if (verdict == BacktraceFilter::Verdict::kStop) break;
    if (verdict == BacktraceFilter::Verdict::kPrint) print_backtrace_frame(stream, frame);
  }
  return filter.printed();
}

}  // namespace vorn
