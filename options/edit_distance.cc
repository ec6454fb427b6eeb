#include "options/edit_distance.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

#include "options/option_errors.h"

namespace vorn {
namespace {

// ASCII case folding by table: the search folds every character of
// thousands of candidates.
constexpr std::array<unsigned char, 256> kFolded = [] {
  std::array<unsigned char, 256> folded{};
  for (unsigned c = 0; c < 256; ++c) {
    folded[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return folded;
}();

char ascii_lower(char c) {
  return static_cast<char>(kFolded[static_cast<unsigned char>(c)]);
}

EditDistance substitution_cost(char x, char y) {
  if (x == y) return 0;
  return ascii_lower(x) == ascii_lower(y) ? 1 : 2;
}

// The restricted Damerau-Levenshtein distance (optimal string alignment),
// keeping three rows.  The computation stops as soon as the result must
// exceed LIMIT, and then returns a value above LIMIT: no row's minimum can
// fall below the smaller minimum of the two rows before it.
EditDistance bounded_edit_distance(const char* a, std::size_t la, const char* b, std::size_t lb,
                                   EditDistance limit) {
  if (la == 0) return static_cast<EditDistance>(2 * lb);
  if (lb == 0) return static_cast<EditDistance>(2 * la);
  // Option texts are short: their rows fit on the stack.
  constexpr std::size_t kStackColumns = 256;
  EditDistance stack_rows[3 * (kStackColumns + 1)];
  std::vector<EditDistance> heap_rows;
  EditDistance* rows = stack_rows;
  if (la > kStackColumns) {
    heap_rows.resize(3 * (la + 1));
    rows = heap_rows.data();
  }
  EditDistance* two_ago = rows;
  EditDistance* one_ago = two_ago + la + 1;
  EditDistance* next = one_ago + la + 1;
  for (std::size_t j = 0; j <= la; ++j) one_ago[j] = static_cast<EditDistance>(2 * j);
  EditDistance previous_minimum = 0;
  for (std::size_t i = 0; i < lb; ++i) {
    next[0] = static_cast<EditDistance>(2 * (i + 1));
    EditDistance minimum = next[0];
    for (std::size_t j = 0; j < la; ++j) {
      EditDistance best =
          std::min({next[j] + 2, one_ago[j + 1] + 2, one_ago[j] + substitution_cost(a[j], b[i])});
      if (i > 0 && j > 0 && a[j] == b[i - 1] && a[j - 1] == b[i]) {
        best = std::min(best, two_ago[j - 1] + 2);
      }
      next[j + 1] = best;
      minimum = std::min(minimum, best);
    }
    if (std::min(minimum, previous_minimum) > limit) return std::min(minimum, previous_minimum);
    previous_minimum = minimum;
    EditDistance* oldest = two_ago;
    two_ago = one_ago;
    one_ago = next;
    next = oldest;
  }
  return one_ago[la];
}

}  // namespace

EditDistance option_edit_distance(const char* a, std::size_t la, const char* b, std::size_t lb) {
  return bounded_edit_distance(a, la, b, lb, std::numeric_limits<EditDistance>::max());
}

EditDistance get_edit_distance_cutoff(std::size_t goal_length, std::size_t candidate_length) {
  std::size_t longer = std::max(goal_length, candidate_length);
  std::size_t shorter = std::min(goal_length, candidate_length);
  if (longer <= 1) return 0;
  if (longer - shorter <= 1) return static_cast<EditDistance>(longer <= 5 ? 2 : 2 * (longer / 3));
  return static_cast<EditDistance>((2 * (longer + 2)) / 3);
}

namespace {

// Letter counts of the goal, case folded, for a quick lower bound of the
// distance to a candidate: every character of the longer text that finds
// no partner in the other needs an edit costing 2, whatever the order.
class LetterBag {
 public:
  LetterBag(const char* text, std::size_t length) : length_(length) {
    for (std::size_t i = 0; i < length; ++i) ++counts_[fold(text[i])];
  }

  // Whether the distance to TEXT must exceed LIMIT.  Every character of
  // TEXT takes from the counts (a count already used up goes below zero
  // and matches nothing), and what was taken is given back.  The count
  // stops as soon as the characters left unmatched decide it.
  bool exceeds(const char* text, std::size_t length, EditDistance limit) const {
    const std::size_t longer = std::max(length, length_);
    std::size_t unmatched = 0;
    std::size_t i = 0;
    bool over = false;
    for (; i < length; ++i) {
      if (counts_[fold(text[i])]-- <= 0 && 2 * (longer - length + ++unmatched) > limit) {
        over = true;
        ++i;
        break;
      }
    }
    for (std::size_t j = 0; j < i; ++j) ++counts_[fold(text[j])];
    return over || 2 * (longer - (length - unmatched)) > limit;
  }

 private:
  static unsigned char fold(char c) { return kFolded[static_cast<unsigned char>(c)]; }
  mutable std::int32_t counts_[256] = {};
  std::size_t length_;
};

}  // namespace

namespace {

struct Goal {
  const char* text;
  std::size_t length;
  LetterBag bag;
  bool use_bag;
};

// The distance from GOAL to CANDIDATE when it is at most LIMIT; otherwise
// some value above LIMIT.  Null when the length tests rule the candidate
// out.
bool within_reach(const Goal& goal, const char* candidate, std::size_t length, EditDistance limit,
                  EditDistance* distance) {
  std::size_t d0 = length > goal.length ? length - goal.length : goal.length - length;
  if (d0 >= limit || d0 > get_edit_distance_cutoff(goal.length, length)) return false;
  if (goal.use_bag && goal.bag.exceeds(candidate, length, limit)) return false;
  *distance = bounded_edit_distance(goal.text, goal.length, candidate, length, limit);
  return *distance <= limit;
}

// The two kinds of candidate list, read alike: null texts (an error) can
// only come from a vector; a constant list knows its lengths.
struct VectorCandidates {
  const std::vector<const char*>& texts;
  std::size_t size() const { return texts.size(); }
  const char* text(std::size_t i) const { return texts[i]; }
  std::size_t length(std::size_t i) const { return std::strlen(texts[i]); }
};

struct ConstantCandidates {
  const CandidateList& list;
  std::size_t size() const { return list.count; }
  const char* text(std::size_t i) const { return list.text(i); }
  std::size_t length(std::size_t i) const { return list.lengths[i]; }
};

// An upper bound of the smallest distance, from the candidates that start
// like the goal: the full scan can then skip, early, every candidate that
// is further away.
template <typename Candidates>
EditDistance seed_bound(const Goal& goal, const Candidates& candidates) {
  EditDistance bound = std::numeric_limits<EditDistance>::max();
  if (goal.length < 2) return bound;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const char* candidate = candidates.text(i);
    if (candidate == nullptr || candidate[0] != goal.text[0] || candidate[1] != goal.text[1]) {
      continue;
    }
    EditDistance d;
    if (within_reach(goal, candidate, candidates.length(i), bound, &d)) bound = d;
  }
  return bound;
}

// Candidates further from the goal than the best so far can never become
// the answer, so the scan skips them without knowing their exact distance;
// the choice among the nearest (the first, or a later one ending in "=")
// is the same as if every distance were computed.
template <typename Candidates>
const char* closest(const char* goal, const Candidates& candidates) {
  std::size_t goal_length = std::strlen(goal);
  // The counts would overflow for goals of more than 255 bytes.
  const bool use_bag = goal_length < 256;
  const Goal target{goal, goal_length, LetterBag(goal, use_bag ? goal_length : 0), use_bag};
  const EditDistance seed = seed_bound(target, candidates);
  EditDistance best_distance = std::numeric_limits<EditDistance>::max();
  const char* best = nullptr;
  std::size_t best_length = 0;
  bool goal_ends_with_equals = goal_length > 0 && goal[goal_length - 1] == '=';
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const char* candidate = candidates.text(i);
    if (candidate == nullptr) option_internal_error("missing candidate in a suggestion list");
    std::size_t length = candidates.length(i);
    EditDistance d;
    if (!within_reach(target, candidate, length, std::min(seed, best_distance), &d)) continue;
    bool prefer_equals =
        d == best_distance && length > 0 && candidate[length - 1] == '=' && !goal_ends_with_equals;
    if (d < best_distance || prefer_equals) {
      best_distance = d;
      best = candidate;
      best_length = length;
    }
  }
  if (best == nullptr || best_distance == 0) return nullptr;
  if (best_distance > get_edit_distance_cutoff(goal_length, best_length)) return nullptr;
  return best;
}

}  // namespace

const char* find_closest_string(const char* goal, const std::vector<const char*>& candidates) {
  return closest(goal, VectorCandidates{candidates});
}

const char* find_closest_candidate(const char* goal, const CandidateList& candidates) {
  return closest(goal, ConstantCandidates{candidates});
}

CandidatesAndHint candidates_list_and_hint(const char* text,
                                           const std::vector<const char*>& candidates) {
  if (candidates.empty()) option_internal_error("empty candidate list");
  CandidatesAndHint result{std::string(), nullptr};
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (i > 0) result.list += ' ';
    result.list += candidates[i];
  }
  result.hint = find_closest_string(text, candidates);
  return result;
}

}  // namespace vorn
