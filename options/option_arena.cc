#include "options/option_arena.h"

#include <cstring>

#include "support/memory.h"

namespace vorn {
namespace {

// Blocks are chained only so that a leak checker sees them as reachable.
struct Block {
  Block* previous;
  std::size_t size;
  std::size_t used;
};

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kAlign = alignof(std::max_align_t);
constexpr std::size_t kHeader = (sizeof(Block) + kAlign - 1) & ~(kAlign - 1);

Block* current_block = nullptr;

char* block_data(Block* block) {
  return reinterpret_cast<char*>(block) + kHeader;
}

}  // namespace

void* arena_allocate(std::size_t length) {
  length = (length + kAlign - 1) & ~(kAlign - 1);
  if (length == 0) length = kAlign;
  if (current_block == nullptr || current_block->size - current_block->used < length) {
    // A request bigger than a block gets a block of its own.
    std::size_t size = length > kBlockSize ? length : kBlockSize;
    Block* block = static_cast<Block*>(xmalloc(kHeader + size));
    *block = Block{current_block, size, 0};
    current_block = block;
  }
  void* result = block_data(current_block) + current_block->used;
  current_block->used += length;
  return result;
}

const char* arena_strndup(const char* text, std::size_t length) {
  char* copy = static_cast<char*>(arena_allocate(length + 1));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

const char* arena_strdup(const char* text) {
  return arena_strndup(text, std::strlen(text));
}

const char* arena_concat(const char* a, const char* b) {
  std::size_t la = std::strlen(a);
  std::size_t lb = std::strlen(b);
  char* out = static_cast<char*>(arena_allocate(la + lb + 1));
  std::memcpy(out, a, la);
  std::memcpy(out + la, b, lb + 1);
  return out;
}

}  // namespace vorn
