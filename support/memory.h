// Allocation with the process-wide out-of-memory exit.  Every allocation of
// the system, C++ `new` included, ends in out_of_memory when it fails.
#ifndef VORN_SUPPORT_MEMORY_H
#define VORN_SUPPORT_MEMORY_H

#include <cstddef>

namespace vorn {

// The name printed in the out-of-memory message; empty until set.  NAME is
// kept, not copied (setting it must not allocate): pass argv[0] or another
// string that lives as long as the process.
void set_memory_program_name(const char* name);

// That name, for the other messages written on the way out.
const char* memory_program_name();

// Prints "\n<name>: out of memory allocating <size> bytes\n" (no ": " when
// the name is empty) on standard error and exits with status 1.
[[noreturn]] void out_of_memory(std::size_t size);

// Prints "memory exhausted" as a line and exits with status 1: the failure
// of the general string-building area.
[[noreturn]] void memory_exhausted();

// Never return null; a request for 0 bytes is served as one for 1 byte.
void* xmalloc(std::size_t size);
void* xcalloc(std::size_t count, std::size_t size);
void* xrealloc(void* ptr, std::size_t size);
char* xstrdup(const char* text);
char* xstrndup(const char* text, std::size_t length);

}  // namespace vorn

#endif  // VORN_SUPPORT_MEMORY_H
