// The switch-text index behind cancellation.
#include "specs/switch_index.h"

#include <cstring>

namespace vorn {
namespace {

// FNV-1a, fed piece by piece.
constexpr std::uint32_t kHashStart = 2166136261u;

std::uint32_t hash_more(std::uint32_t hash, std::string_view text) {
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

std::uint32_t hash_pieces(const TextPieces& text) {
  return hash_more(hash_more(hash_more(kHashStart, text.first), text.second), text.third);
}

bool equals(const char* stored, const TextPieces& text) {
  // Pieces come from C strings, so they hold no NUL: strncmp stops at the
  // end of STORED only by finding a difference.
  for (std::string_view piece : {text.first, text.second, text.third}) {
    if (piece.empty()) continue;
    if (std::strncmp(stored, piece.data(), piece.size()) != 0) return false;
    stored += piece.size();
  }
  return *stored == '\0';
}

}  // namespace

void SwitchTextIndex::update(const SwitchTable& table) {
  if (table_ == &table && revision_ == table.revision()) return;
  table_ = &table;
  revision_ = table.revision();
  std::size_t capacity = 16;
  while (capacity < 2 * table.size()) capacity *= 2;
  slots_.assign(capacity, Slot{0, 0});
  last_optimization_ = -1;
  std::size_t mask = capacity - 1;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const char* text = table[i].text;
    if (text[0] == 'O') last_optimization_ = static_cast<std::ptrdiff_t>(i);
    TextPieces pieces{text, {}, {}};
    std::uint32_t hash = hash_pieces(pieces);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      Slot& entry = slots_[slot];
      if (entry.position_plus_one == 0) {
        entry = Slot{hash, static_cast<std::uint32_t>(i + 1)};
        break;
      }
      if (entry.hash == hash && std::strcmp(table[entry.position_plus_one - 1].text, text) == 0) {
        entry.position_plus_one = static_cast<std::uint32_t>(i + 1);
        break;
      }
    }
  }
}

std::ptrdiff_t SwitchTextIndex::last_position(const TextPieces& text) const {
  if (table_ == nullptr) return -1;  // never updated; an update leaves slots
  std::uint32_t hash = hash_pieces(text);
  std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const Slot& entry = slots_[slot];
    if (entry.position_plus_one == 0) return -1;
    std::size_t position = entry.position_plus_one - 1;
    if (entry.hash == hash && equals((*table_)[position].text, text)) {
      return static_cast<std::ptrdiff_t>(position);
    }
  }
}

}  // namespace vorn
