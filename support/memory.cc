#include "support/memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "support/process_exit.h"

namespace vorn {
namespace {

// The name is usually argv[0], which lives as long as the process.  Keeping
// the pointer instead of a copy means setting it cannot itself allocate.
const char* program_name = "";

// Formats VALUE in decimal into the end of BUFFER (no allocation, no stdio)
// and returns where the digits start.
char* format_decimal(unsigned long value, char* buffer_end) {
  char* digits = buffer_end;
  *--digits = '\0';
  do {
    *--digits = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace

void set_memory_program_name(const char* name) {
  program_name = name ? name : "";
}

const char* memory_program_name() {
  return program_name;
}

void out_of_memory(std::size_t size) {
  // The heap is exhausted, so neither stdio buffers nor formatted strings
  // can be relied upon: the pieces go out with one raw write.
  char number[32];
  const char* pieces[] = {"\n",
                          program_name,
                          program_name[0] != '\0' ? ": " : nullptr,
                          "out of memory allocating ",
                          format_decimal(static_cast<unsigned long>(size), number + sizeof number),
                          " bytes\n"};
  write_exit_message(pieces, static_cast<int>(sizeof pieces / sizeof pieces[0]));
  exit_process(1);
}

void memory_exhausted() {
  const char* pieces[] = {"memory exhausted\n"};
  write_exit_message(pieces, 1);
  exit_process(1);
}

void* xmalloc(std::size_t size) {
  if (size == 0) size = 1;
  void* memory = std::malloc(size);
  if (memory == nullptr) out_of_memory(size);
  return memory;
}

void* xcalloc(std::size_t count, std::size_t size) {
  if (count == 0 || size == 0) count = size = 1;
  void* memory = std::calloc(count, size);
  if (memory == nullptr) {
    // A product too big for size_t is reported as the largest size rather
    // than as its wrapped-around remainder.
    std::size_t total;
    if (__builtin_mul_overflow(count, size, &total)) total = static_cast<std::size_t>(-1);
    out_of_memory(total);
  }
  return memory;
}

void* xrealloc(void* ptr, std::size_t size) {
  if (size == 0) size = 1;
  void* memory = ptr ? std::realloc(ptr, size) : std::malloc(size);
  if (memory == nullptr) out_of_memory(size);
  return memory;
}

char* xstrdup(const char* text) {
  std::size_t length = std::strlen(text);
  char* copy = static_cast<char*>(xmalloc(length + 1));
  std::memcpy(copy, text, length + 1);
  return copy;
}

char* xstrndup(const char* text, std::size_t length) {
  length = strnlen(text, length);
  char* copy = static_cast<char*>(xmalloc(length + 1));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

}  // namespace vorn

// Replacements of the global allocation functions.  The out-of-memory message
// must name the size that could not be allocated, and a std::new_handler is
// called without it; so `new` allocates with malloc itself and takes the same
// exit as xmalloc.  The nothrow forms keep their contract and return null.
// Defining them here, beside xmalloc, links them into every program that
// links the support library.  The whole family is replaced, deletes
// included, even the forms no code names: the compiler calls them for
// over-aligned and sized objects, and a runtime that checks allocations
// (the address sanitizer's) reports memory from these news released by its
// own deletes.

namespace {

void* allocate_or_null(std::size_t size) {
  return std::malloc(size == 0 ? 1 : size);
}

void* allocate(std::size_t size) {
  void* memory = allocate_or_null(size);
  if (memory == nullptr) vorn::out_of_memory(size == 0 ? 1 : size);
  return memory;
}

// aligned_alloc wants a size that is a multiple of the alignment, and an
// alignment of at least a pointer's size is accepted everywhere.
void* allocate_aligned_or_null(std::size_t size, std::align_val_t align) {
  std::size_t alignment = static_cast<std::size_t>(align);
  if (alignment < sizeof(void*)) alignment = sizeof(void*);
  std::size_t rounded = size == 0 ? alignment : (size + alignment - 1) / alignment * alignment;
  if (rounded < size) return nullptr;  // the rounding overflowed
  return std::aligned_alloc(alignment, rounded);
}

void* allocate_aligned(std::size_t size, std::align_val_t align) {
  void* memory = allocate_aligned_or_null(size, align);
  if (memory == nullptr) vorn::out_of_memory(size == 0 ? 1 : size);
  return memory;
}

}  // namespace

void* operator new(std::size_t size) {
  return allocate(size);
}
void* operator new[](std::size_t size) {
  return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocate_or_null(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocate_or_null(size);
}
void* operator new(std::size_t size, std::align_val_t align) {
  return allocate_aligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
  return allocate_aligned(size, align);
}
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  return allocate_aligned_or_null(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
  return allocate_aligned_or_null(size, align);
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(memory);
}
