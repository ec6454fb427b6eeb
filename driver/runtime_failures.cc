// The C++ library's own failures end the driver the way its other failures
// do: a container asked to grow beyond what it can hold is memory exhausted,
// and an argument that no library function accepts (a null string, a
// position past the end) is an internal error with a backtrace.  The
// programs link the C++ runtime statically, and defining these few entry
// points here keeps the library's exception-throwing helpers out of the
// program, with the exception classes, their tables and the dynamic
// relocations of those tables.  Nothing in the driver catches an
// exception, so the only difference is the report.
#include <cstdarg>
#include <string>

#include "diagnostics/diagnostic.h"
#include "support/memory.h"

namespace std {

void __throw_bad_alloc() {
  vorn::memory_exhausted();
}

void __throw_bad_array_new_length() {
  vorn::memory_exhausted();
}

void __throw_length_error(const char*) {
  vorn::memory_exhausted();
}

void __throw_logic_error(const char* what) {
  vorn::internal_error("%s", what);
}

void __throw_out_of_range_fmt(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  vorn::internal_error_vprintf(format, arguments);
}

}  // namespace std
