#include "options/edit_distance.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "options/option_errors.h"

namespace vorn {
namespace {

char ascii_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

EditDistance substitution_cost(char x, char y) {
  if (x == y) return 0;
  return ascii_lower(x) == ascii_lower(y) ? 1 : 2;
}

}  // namespace

// The restricted Damerau-Levenshtein distance (optimal string alignment),
// keeping three rows.
EditDistance option_edit_distance(const char* a, std::size_t la, const char* b, std::size_t lb) {
  if (la == 0) return static_cast<EditDistance>(2 * lb);
  if (lb == 0) return static_cast<EditDistance>(2 * la);
  std::vector<EditDistance> two_ago(la + 1), one_ago(la + 1), next(la + 1);
  for (std::size_t j = 0; j <= la; ++j) one_ago[j] = static_cast<EditDistance>(2 * j);
  for (std::size_t i = 0; i < lb; ++i) {
    next[0] = static_cast<EditDistance>(2 * (i + 1));
    for (std::size_t j = 0; j < la; ++j) {
      EditDistance best =
          std::min({next[j] + 2, one_ago[j + 1] + 2, one_ago[j] + substitution_cost(a[j], b[i])});
      if (i > 0 && j > 0 && a[j] == b[i - 1] && a[j - 1] == b[i]) {
        best = std::min(best, two_ago[j - 1] + 2);
      }
      next[j + 1] = best;
    }
    std::swap(two_ago, one_ago);
    std::swap(one_ago, next);
  }
  return one_ago[la];
}

EditDistance get_edit_distance_cutoff(std::size_t goal_length, std::size_t candidate_length) {
  std::size_t longer = std::max(goal_length, candidate_length);
  std::size_t shorter = std::min(goal_length, candidate_length);
  if (longer <= 1) return 0;
  if (longer - shorter <= 1) return static_cast<EditDistance>(longer <= 5 ? 2 : 2 * (longer / 3));
  return static_cast<EditDistance>((2 * (longer + 2)) / 3);
}

const char* find_closest_string(const char* goal, const std::vector<const char*>& candidates) {
  std::size_t goal_length = std::strlen(goal);
  EditDistance best_distance = std::numeric_limits<EditDistance>::max();
  const char* best = nullptr;
  std::size_t best_length = 0;
  bool goal_ends_with_equals = goal_length > 0 && goal[goal_length - 1] == '=';
  for (const char* candidate : candidates) {
    if (candidate == nullptr) option_internal_error("missing candidate in a suggestion list");
    std::size_t length = std::strlen(candidate);
    // Two cheap tests on the lengths spare most distance computations.
    std::size_t d0 = length > goal_length ? length - goal_length : goal_length - length;
    if (d0 >= best_distance || d0 > get_edit_distance_cutoff(goal_length, length)) continue;
    EditDistance d = option_edit_distance(goal, goal_length, candidate, length);
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
