#include "options/prune.h"

#include <cstdlib>
#include <vector>

#include "options/option_codes.h"
#include "options/option_table.h"
#include "support/memory.h"

namespace vorn {
namespace {

bool is_plain_option(const DecodedOption& d) {
  return (d.errors & ~ERR_WRONG_LANGUAGE) == 0 && d.index < OPTION_COUNT;
}

// A joined option is part of the cancelling only when it is self-negating
// without a "no-" form ("-march=" and the like: the last one wins).
bool joined_but_cancellable(const OptionDescriptor& row, std::size_t index) {
  return option_has(row, kAttrNoNegativeForm) && row.negation_link == static_cast<long>(index);
}

bool takes_part_in_cancelling(const DecodedOption& d) {
  if (!is_plain_option(d)) return false;
  const OptionDescriptor& row = kOptionTable[d.index];
  if (row.negation_link < 0) return false;
  return !(row.flags & kFlagJoined) || joined_but_cancellable(row, d.index);
}

// Marks every row a use of ROW cancels: the rows met following the
// negation links until the walk comes back to ROW (itself included, so a
// later use cancels an earlier use of the same option).
void mark_cancelled(std::size_t row, std::vector<bool>* cancelled) {
  std::size_t next = static_cast<std::size_t>(kOptionTable[row].negation_link);
  // A link into a ring need not lead back; the ring is at most the table.
  for (std::size_t steps = 0; steps < OPTION_COUNT; ++steps) {
    (*cancelled)[next] = true;
    if (next == row) return;
    long link = kOptionTable[next].negation_link;
    if (link < 0) return;
    next = static_cast<std::size_t>(link);
  }
}

bool moves_to_front(const DecodedOption& d) {
  return d.index == OPT_fdiagnostics_color_ || d.index == OPT_Wcomplain_wrong_lang;
}

}  // namespace

void prune_options(DecodedOption** options, std::size_t* count) {
  DecodedOption* old = *options;
  std::size_t n = *count;
  // Walking backwards, each entry is tested against every row that a later
  // entry cancels, which keeps the whole pass linear.
  std::vector<bool> cancelled(OPTION_COUNT, false);
  std::vector<bool> drop(n, false);
  std::size_t last_color = 0, last_complain = 0;
  for (std::size_t i = n; i-- > 1;) {
    const DecodedOption& d = old[i];
    if (is_plain_option(d) && moves_to_front(d)) {
      drop[i] = true;
      if (d.index == OPT_fdiagnostics_color_ && last_color == 0) last_color = i;
      if (d.index == OPT_Wcomplain_wrong_lang && last_complain == 0) last_complain = i;
    } else if (takes_part_in_cancelling(d) && cancelled[d.index]) {
      drop[i] = true;
    }
    if (takes_part_in_cancelling(d)) mark_cancelled(d.index, &cancelled);
  }
  if (last_complain == 0 && last_color == 0) {
    // Nothing moves to the front: the kept entries close up in place.
    std::size_t k = n > 0 ? 1 : 0;
    for (std::size_t i = 1; i < n; ++i) {
      if (drop[i]) continue;
      if (k != i) old[k] = old[i];
      ++k;
    }
    *options = static_cast<DecodedOption*>(xrealloc(old, (k > 0 ? k : 1) * sizeof(DecodedOption)));
    *count = k;
    return;
  }
  DecodedOption* kept =
      static_cast<DecodedOption*>(xmalloc((n > 0 ? n : 1) * sizeof(DecodedOption)));
  std::size_t k = 0;
  if (n > 0) kept[k++] = old[0];
  if (last_complain != 0) kept[k++] = old[last_complain];
  if (last_color != 0) kept[k++] = old[last_color];
  for (std::size_t i = 1; i < n; ++i) {
    if (!drop[i]) kept[k++] = old[i];
  }
  std::free(old);
  *options = static_cast<DecodedOption*>(xrealloc(kept, (k > 0 ? k : 1) * sizeof(DecodedOption)));
  *count = k;
}

}  // namespace vorn
