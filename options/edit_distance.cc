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

// A candidate vector; a null text is an error.
struct VectorCandidates {
  const std::vector<const char*>& texts;
  std::size_t size() const { return texts.size(); }
  const char* text(std::size_t i) const { return texts[i]; }
  std::size_t length(std::size_t i) const { return std::strlen(texts[i]); }
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

namespace {

// Letters fold to one class per letter, digits have one each, every other
// character shares one of the remaining 20 classes.  Bits 56 to 63 of a
// signature hold the number of its classes.
constexpr unsigned kClassCount = 56;
constexpr std::uint64_t kClassBits = (std::uint64_t{1} << kClassCount) - 1;

constexpr std::array<unsigned char, 256> kCharClass = [] {
  std::array<unsigned char, 256> classes{};
  for (unsigned c = 0; c < 256; ++c) {
    unsigned folded = kFolded[c];
    if (folded >= 'a' && folded <= 'z') {
      classes[c] = static_cast<unsigned char>(folded - 'a');
    } else if (c >= '0' && c <= '9') {
      classes[c] = static_cast<unsigned char>(26 + c - '0');
    } else {
      classes[c] = static_cast<unsigned char>(36 + c % (kClassCount - 36));
    }
  }
  return classes;
}();

// std::popcount without the processor's instruction would be a library
// call for each candidate.
std::size_t count_bits(std::uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555u;
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<std::size_t>((x * 0x0101010101010101u) >> 56);
}

// A lower bound of the distance between a goal of length GOAL_LENGTH and a
// candidate of length LENGTH from their signatures.  A class present in
// one text only leaves at least one of its characters without a partner in
// the other; the longer text has LENGTH - GOAL_LENGTH (or the reverse) more
// unpartnered characters than the shorter, and each costs an edit of 2.
std::size_t signature_bound(std::uint64_t goal, std::size_t goal_length, std::uint64_t candidate,
                            std::size_t length) {
  const std::size_t shared = count_bits(candidate & goal & kClassBits);
  const std::size_t only_candidate = (candidate >> kClassCount) - shared;
  const std::size_t only_goal = (goal >> kClassCount) - shared;
  const std::size_t unmatched = length >= goal_length
                                    ? std::max(only_candidate, only_goal + (length - goal_length))
                                    : std::max(only_goal, only_candidate + (goal_length - length));
  return 2 * unmatched;
}

constexpr EditDistance kFar = std::numeric_limits<EditDistance>::max();
constexpr std::size_t kNoCandidate = std::numeric_limits<std::size_t>::max();
constexpr EditDistance kFewEdits = 4;

// The search over a list grouped by length.  The answer only depends on
// the smallest distance m among the candidates that pass the length
// pre-test and on which of those at m come first or end in "=", so any
// candidate proven further than what is still wanted can be skipped:
//   1. The smallest distance g among the "good" candidates, those within
//      the cutoff for their own length.  Without one the answer is none:
//      the chosen candidate would fail the final cutoff.
//   2. With m <= g known, only candidates at distance g or less count: the
//      search of every candidate done exactly, restricted to them.
// Step 1 may stop at any good candidate's distance: step 2 only needs a
// bound of m; a smaller one makes it cheaper.
class LengthSearch {
 public:
  LengthSearch(const char* goal, const CandidateList& list)
      : list_(list),
        length_(std::strlen(goal)),
        // The counts would overflow for goals of more than 255 bytes.
        goal_{goal, length_, LetterBag(goal, length_ < 256 ? length_ : 0), length_ < 256},
        signature_(candidate_signature(goal, length_)),
        first_delta_(length_ > list.max_length ? length_ - list.max_length : 0) {}

  const char* closest() const {
    // Most misspellings are an edit or two away: a search of the nearest
    // lengths for those alone rules out nearly every candidate cheaply.
    EditDistance good = smallest_good_distance_within(kFewEdits);
    if (good == kFar) good = smallest_good_distance();
    // The goal itself is a candidate, or none is good: no answer.
    if (good == 0 || good == kFar) return nullptr;
    return choose_among_nearest(good);
  }

 private:
  // Calls VISIT (length, delta) for the lengths in the list, by their
  // difference DELTA from the goal's, nearest first, while 2 * DELTA is at
  // most REACH (which VISIT may lower).
  template <typename Visit>
  void outward(const EditDistance& reach, Visit visit) const {
    for (std::size_t delta = first_delta_; 2 * delta <= reach; ++delta) {
      const bool below = delta <= length_;
      const bool above = delta > 0 && length_ + delta <= list_.max_length;
      if (!below && !above) return;
      if (below) visit(length_ - delta, delta);
      if (above) visit(length_ + delta, delta);
    }
  }

  std::size_t bound(std::size_t k, std::size_t length) const {
    return signature_bound(signature_, length_, list_.signatures[k], length);
  }

  // The distance to TEXT when it is at most LIMIT, otherwise some value
  // above LIMIT.
  EditDistance distance(const char* text, std::size_t length, EditDistance limit) const {
    if (goal_.use_bag && goal_.bag.exceeds(text, length, limit)) return kFar;
    return bounded_edit_distance(goal_.text, length_, text, length, limit);
  }

  // The smallest distance, at most CAP, among the good candidates, or
  // kFar when there is none.
  EditDistance smallest_good_distance_within(EditDistance cap) const {
    EditDistance good = kFar;
    // Candidates at distance good or more change nothing.
    EditDistance reach = cap;
    outward(reach, [&](std::size_t length, std::size_t delta) {
      const EditDistance cutoff = get_edit_distance_cutoff(length_, length);
      EditDistance limit = std::min(cutoff, reach);
      for (std::uint32_t k = list_.length_starts[length]; k < list_.length_starts[length + 1];
           ++k) {
        if (2 * delta > limit) return;
        if (bound(k, length) > limit) continue;
        const EditDistance d = distance(list_.text(list_.by_length[k]), length, limit);
        if (d > limit) continue;
        good = d;
        reach = d == 0 ? 0 : d - 1;
        limit = std::min(cutoff, reach);
      }
    });
    return good;
  }

  // The smallest distance among all the good candidates, or kFar.  They
  // are tried in the order of their signature bounds, smallest first: a
  // close candidate, when there is one, is found early, and what it leaves
  // to beat rules out the rest without a distance.
  EditDistance smallest_good_distance() const {
    // Half the bound above position K in the length groups, and K.
    std::vector<std::uint32_t> found;
    std::size_t most = 0;
    outward(kFar, [&](std::size_t length, std::size_t delta) {
      const EditDistance cutoff = get_edit_distance_cutoff(length_, length);
      if (2 * delta > cutoff) return;
      for (std::uint32_t k = list_.length_starts[length]; k < list_.length_starts[length + 1];
           ++k) {
        const std::size_t half = bound(k, length) / 2;
        if (2 * half > cutoff) continue;
        found.push_back(static_cast<std::uint32_t>(half << 16 | k));
        most = std::max(most, half);
      }
    });
    if (found.empty()) return kFar;
    // A counting sort by bound.
    std::vector<std::uint32_t> starts(most + 2, 0);
    for (std::uint32_t entry : found) ++starts[(entry >> 16) + 1];
    for (std::size_t h = 1; h < starts.size(); ++h) starts[h] += starts[h - 1];
    std::vector<std::uint32_t> sorted(found.size());
    for (std::uint32_t entry : found) sorted[starts[entry >> 16]++] = entry;

    EditDistance good = kFar;
    // Candidates at distance good or more change nothing.
    EditDistance reach = kFar;
    for (std::uint32_t entry : sorted) {
      if (2 * (entry >> 16) > reach) break;
      const std::size_t index = list_.by_length[entry & 0xFFFF];
      const std::size_t length = list_.lengths[index];
      const EditDistance limit = std::min(get_edit_distance_cutoff(length_, length), reach);
      if (2 * (entry >> 16) > limit) continue;
      const EditDistance d = distance(list_.text(index), length, limit);
      if (d > limit) continue;
      if (d == 0) return 0;
      good = d;
      reach = d - 1;
    }
    return good;
  }

  const char* choose_among_nearest(EditDistance good) const {
    const bool goal_ends_with_equals = length_ > 0 && goal_.text[length_ - 1] == '=';
    EditDistance best = good;
    std::size_t first = kNoCandidate;             // the first candidate at best
    std::size_t last_with_equals = kNoCandidate;  // the last one ending in "="
    outward(best, [&](std::size_t length, std::size_t delta) {
      if (delta > get_edit_distance_cutoff(length_, length)) return;
      for (std::uint32_t k = list_.length_starts[length]; k < list_.length_starts[length + 1];
           ++k) {
        const std::size_t index = list_.by_length[k];
        const char* text = list_.text(index);
        const bool ends_with_equals =
            !goal_ends_with_equals && length > 0 && text[length - 1] == '=';
        // At distance best the candidate only matters when it would be
        // chosen over the ones already found there.
        const bool wins_tie =
            index < first ||
            (ends_with_equals && (last_with_equals == kNoCandidate || index > last_with_equals));
        const EditDistance limit = wins_tie ? best : best - 1;
        if (bound(k, length) > limit) continue;
        const EditDistance d = distance(text, length, limit);
        if (d > limit) continue;
        if (d < best) {
          best = d;
          first = index;
          last_with_equals = ends_with_equals ? index : kNoCandidate;
          continue;
        }
        first = std::min(first, index);
        if (ends_with_equals && (last_with_equals == kNoCandidate || index > last_with_equals)) {
          last_with_equals = index;
        }
      }
    });
    const std::size_t chosen = last_with_equals != kNoCandidate ? last_with_equals : first;
    if (best > get_edit_distance_cutoff(length_, list_.lengths[chosen])) return nullptr;
    return list_.text(chosen);
  }

  const CandidateList& list_;
  const std::size_t length_;
  const Goal goal_;
  const std::uint64_t signature_;
  const std::size_t first_delta_;
};

}  // namespace

std::uint64_t candidate_signature(const char* text, std::size_t length) {
  std::uint64_t classes = 0;
  for (std::size_t i = 0; i < length; ++i) {
    classes |= std::uint64_t{1} << kCharClass[static_cast<unsigned char>(text[i])];
  }
  return classes | static_cast<std::uint64_t>(count_bits(classes)) << kClassCount;
}

CandidateStore::CandidateStore(const std::vector<const char*>& texts) {
  if (texts.size() > 0xFFFF) option_internal_error("too many suggestion candidates");
  std::size_t max_length = 0;
  for (const char* text : texts) {
    if (text == nullptr) option_internal_error("missing candidate in a suggestion list");
    const std::size_t length = std::strlen(text);
    if (length > 0xFFFF || pool.size() + length >= 0xFFFFFFFF) {
      option_internal_error("suggestion candidate too long");
    }
    offsets.push_back(static_cast<std::uint32_t>(pool.size()));
    lengths.push_back(static_cast<std::uint16_t>(length));
    pool.append(text, length + 1);
    max_length = std::max(max_length, length);
  }
  // A counting sort keeps the list order within each length.
  length_starts.assign(max_length + 2, 0);
  for (std::uint16_t length : lengths) ++length_starts[length + 1];
  for (std::size_t l = 1; l < length_starts.size(); ++l) length_starts[l] += length_starts[l - 1];
  by_length.resize(texts.size());
  signatures.resize(texts.size());
  std::vector<std::uint32_t> next(length_starts.begin(), length_starts.end() - 1);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::uint32_t k = next[lengths[i]]++;
    by_length[k] = static_cast<std::uint16_t>(i);
    signatures[k] = candidate_signature(texts[i], lengths[i]);
  }
}

CandidateList CandidateStore::list() const {
  return {pool.data(),      offsets.data(),       lengths.data(),           offsets.size(),
          by_length.data(), length_starts.data(), length_starts.size() - 2, signatures.data()};
}

const char* find_closest_candidate(const char* goal, const CandidateList& candidates) {
  return LengthSearch(goal, candidates).closest();
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
