// The arena that holds the strings the option machinery builds (decoded
// arguments, canonical forms, written texts).  They live until the process
// ends, so the arena only grows; nothing in it is freed on its own.
#ifndef VORN_OPTIONS_OPTION_ARENA_H
#define VORN_OPTIONS_OPTION_ARENA_H

#include <cstddef>

namespace vorn {

// A copy of TEXT in the arena.
const char* arena_strdup(const char* text);
// A copy of the first LENGTH bytes of TEXT, terminated.
const char* arena_strndup(const char* text, std::size_t length);
// The concatenation of A and B.
const char* arena_concat(const char* a, const char* b);
// LENGTH bytes of uninitialised, suitably aligned storage.
void* arena_allocate(std::size_t length);

}  // namespace vorn

#endif  // VORN_OPTIONS_OPTION_ARENA_H
