// Edit distance, cutoff and the closest-candidate search.
#include <string>

#include <gtest/gtest.h>

#include "options/edit_distance.h"

namespace vorn {
namespace {

EditDistance distance(const std::string& a, const std::string& b) {
  return option_edit_distance(a.data(), a.size(), b.data(), b.size());
}

TEST(EditDistance, HalfUnits) {
  EXPECT_EQ(distance("ab", "ba"), 2u);    // one transposition
  EXPECT_EQ(distance("abc", "ABC"), 3u);  // three case-only substitutions
  EXPECT_EQ(distance("", "abc"), 6u);
  EXPECT_EQ(distance("abc", ""), 6u);
  EXPECT_EQ(distance("Werror", "Werorr"), 2u);
  EXPECT_EQ(distance("kitten", "sitting"), 6u);
  EXPECT_EQ(distance("ca", "abc"), 6u);  // restricted: no edit of a transposed pair
}

TEST(EditDistance, Cutoff) {
  EXPECT_EQ(get_edit_distance_cutoff(4, 4), 2u);
  EXPECT_EQ(get_edit_distance_cutoff(9, 9), 6u);
  EXPECT_EQ(get_edit_distance_cutoff(5, 2), 4u);
  EXPECT_EQ(get_edit_distance_cutoff(10, 4), 8u);
  EXPECT_EQ(get_edit_distance_cutoff(1, 1), 0u);
  EXPECT_EQ(get_edit_distance_cutoff(0, 1), 0u);
  EXPECT_EQ(get_edit_distance_cutoff(6, 5), 4u);
}

TEST(FindClosestString, BestCandidateAndItsRules) {
  std::vector<const char*> options{"Wa,", "Wall", "Werror", "Wextra"};
  EXPECT_STREQ(find_closest_string("Wal", options), "Wa,");  // tie: the first wins
  EXPECT_STREQ(find_closest_string("Werorr", options), "Werror");
  EXPECT_EQ(find_closest_string("Wall", options), nullptr);  // the goal itself
  EXPECT_EQ(find_closest_string("x", {"y"}), nullptr);
  EXPECT_EQ(find_closest_string("qqqqqqqq", options), nullptr);
  // At equal distance a candidate ending in "=" is preferred.
  std::vector<const char*> init{"ftrivial-auto-var-inits", "ftrivial-auto-var-init="};
  EXPECT_STREQ(find_closest_string("ftrivial-auto-var-init", init), "ftrivial-auto-var-init=");
  EXPECT_EQ(find_closest_string("abc", {}), nullptr);
}

TEST(CandidatesListAndHint, JoinsWithSingleSpaces) {
  CandidatesAndHint r = candidates_list_and_hint("alwayz", {"always", "auto", "never"});
  EXPECT_EQ(r.list, "always auto never");
  EXPECT_STREQ(r.hint, "always");
  r = candidates_list_and_hint("zzzzzz", {"", "b"});
  EXPECT_EQ(r.list, " b");
  EXPECT_EQ(r.hint, nullptr);
}

}  // namespace
}  // namespace vorn
