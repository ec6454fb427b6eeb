// An index from switch text to the position of its last occurrence, for
// the rule that a later switch cancels an earlier one.  One flat
// open-addressing table of positions (no node per switch), so that
// building it and asking it stay cheap and linear for command lines of
// tens of thousands of switches.  Internal to specs/.
#ifndef VORN_SPECS_SWITCH_INDEX_H
#define VORN_SPECS_SWITCH_INDEX_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "specs/switches.h"

namespace vorn {

// A text given in up to three pieces, so that "f" + "no-" + "x" can be
// looked up without building the string.
struct TextPieces {
  std::string_view first;
  std::string_view second;
  std::string_view third;
};

class SwitchTextIndex {
 public:
  // Indexes TABLE unless it is unchanged since the last call.
  void update(const SwitchTable& table);

  // The position of the last switch whose text is TEXT, or -1.
  std::ptrdiff_t last_position(const TextPieces& text) const;

  // The position of the last switch starting with "O", or -1.
  std::ptrdiff_t last_optimization() const { return last_optimization_; }

 private:
  struct Slot {
    std::uint32_t hash;
    std::uint32_t position_plus_one;  // 0: empty
  };

  const SwitchTable* table_ = nullptr;
  std::uint64_t revision_ = 0;
  std::vector<Slot> slots_;  // a power of two, at most half full
  std::ptrdiff_t last_optimization_ = -1;
};

}  // namespace vorn

#endif  // VORN_SPECS_SWITCH_INDEX_H
