// The option suggester: hints for unknown options and completions.
#include "options/suggestions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "options/edit_distance.h"

namespace vorn {
namespace {

using Lines = std::vector<std::string>;

std::string suggestion(OptionSuggester& suggester, const char* bad) {
  const char* hint = suggester.suggest_option(bad);
  return hint != nullptr ? hint : "(none)";
}

TEST(OptionSuggester, SuggestsTheClosestOptionInTableOrder) {
  OptionSuggester suggester;
  // "Wa," and "Wall" are both one edit away; "-Wa," comes first.
  EXPECT_EQ(suggestion(suggester, "Wal"), "Wa,");
  EXPECT_EQ(suggestion(suggester, "Werorr"), "Werror");
  EXPECT_EQ(suggestion(suggester, "fsanitize=adress"), "fsanitize=address");
  EXPECT_EQ(suggestion(suggester, "x"), "(none)");
  EXPECT_EQ(suggestion(suggester, "Q"), "(none)");
  // A known spelling is not offered back.
  EXPECT_EQ(suggestion(suggester, "Wall"), "(none)");
}

TEST(OptionSuggester, ListHoldsDerivedSpellings) {
  OptionSuggester suggester;
  const std::vector<const char*>& list = suggester.candidates();
  auto has = [&](const char* text) {
    return std::any_of(list.begin(), list.end(),
                       [&](const char* c) { return text == std::string(c); });
  };
  EXPECT_TRUE(has("Wno-all"));
  EXPECT_TRUE(has("-warn-all"));
  EXPECT_TRUE(has("-warn-no-all"));
  EXPECT_TRUE(has("fno-pic"));
  EXPECT_TRUE(has("-no-pic"));
  EXPECT_TRUE(has("fno-sanitize=all"));
  EXPECT_FALSE(has("fsanitize=all"));
  EXPECT_TRUE(has("fsanitize-recover=all"));
  // Enumerated values come before the bare option.
  auto position = [&](const char* text) {
    return std::find_if(list.begin(), list.end(),
                        [&](const char* c) { return text == std::string(c); }) -
           list.begin();
  };
  EXPECT_LT(position("fdiagnostics-color=never"), position("fdiagnostics-color="));
  // The remapping row "-gno-" is no option of its own.
  EXPECT_FALSE(has("gno-"));
  // The list is built once: a second request sees the same strings.
  EXPECT_EQ(&suggester.candidates(), &list);
  EXPECT_EQ(suggester.candidates().data(), list.data());
}

TEST(OptionSuggester, ParamsAlsoHaveTheirSpacedSpelling) {
  OptionSuggester suggester;
  Lines params = suggester.get_completions("--param max-debug-marker");
  EXPECT_EQ(params, Lines{"--param max-debug-marker-count="});
}

TEST(OptionSuggester, Completions) {
  OptionSuggester suggester;
  EXPECT_EQ(suggester.get_completions("-fsanitize=add"), Lines{"-fsanitize=address"});
  EXPECT_EQ(suggester.get_completions("--verb"), (Lines{"--verbose", "--verbose-asm"}));
  EXPECT_EQ(suggester.get_completions(""), Lines{});
  EXPECT_EQ(suggester.get_completions(nullptr), Lines{});
  // The leading "-" is optional.
  EXPECT_EQ(suggester.get_completions("fsanitize=add"), Lines{"-fsanitize=address"});
}

TEST(OptionSuggester, NegativeCompletionsFollowTableOrder) {
  OptionSuggester suggester;
  Lines lines = suggester.get_completions("-Wno-al");
  auto at = [&](const char* text) {
    return std::find(lines.begin(), lines.end(), text) - lines.begin();
  };
  ASSERT_LT(at("-Wno-all"), static_cast<long>(lines.size()));
  ASSERT_LT(at("-Wno-alloc-size-larger-than"), static_cast<long>(lines.size()));
  // "-Wall" sorts before "-Wno-alloc-size-larger-than" in the table.
  EXPECT_LT(at("-Wno-all"), at("-Wno-alloc-size-larger-than"));
  for (const std::string& line : lines) EXPECT_TRUE(line.starts_with("-Wno-al")) << line;
}

// The search skips candidates it can prove are too far; it must still
// choose exactly what computing every distance would.
const char* closest_by_full_scan(const char* goal, const std::vector<const char*>& candidates) {
  const std::size_t goal_length = std::strlen(goal);
  const bool goal_has_equals = goal_length > 0 && goal[goal_length - 1] == '=';
  EditDistance best_distance = ~EditDistance{0};
  const char* best = nullptr;
  for (const char* candidate : candidates) {
    const std::size_t length = std::strlen(candidate);
    const std::size_t d0 = length > goal_length ? length - goal_length : goal_length - length;
    if (d0 >= best_distance || d0 > get_edit_distance_cutoff(goal_length, length)) continue;
    EditDistance d = option_edit_distance(goal, goal_length, candidate, length);
    if (d < best_distance ||
        (d == best_distance && candidate[length - 1] == '=' && !goal_has_equals)) {
      best_distance = d;
      best = candidate;
    }
  }
  if (best == nullptr || best_distance == 0) return nullptr;
  return best_distance > get_edit_distance_cutoff(goal_length, std::strlen(best)) ? nullptr : best;
}

TEST(OptionSuggester, PruningChoosesWhatAFullScanChooses) {
  OptionSuggester suggester;
  const std::vector<const char*>& list = suggester.candidates();
  std::mt19937 random(8);
  const std::string alphabet = "abcdefgilmnoprstuwAW-=,0";
  for (int round = 0; round < 400; ++round) {
    std::string goal = list[random() % list.size()];
    for (int edit = random() % 5; edit > 0; --edit) {
      std::size_t at = random() % (goal.size() + 1);
      char c = alphabet[random() % alphabet.size()];
      switch (random() % 4) {
        case 0:
          goal.insert(goal.begin() + at, c);
          break;
        case 1:
          if (at < goal.size()) goal.erase(at, 1);
          break;
        case 2:
          if (at < goal.size()) goal[at] = c;
          break;
        default:
          if (at + 1 < goal.size()) std::swap(goal[at], goal[at + 1]);
          break;
      }
    }
    EXPECT_EQ(find_closest_string(goal.c_str(), list), closest_by_full_scan(goal.c_str(), list))
        << goal;
  }
}

TEST(OptionSuggester, PrintsOneCompletionPerLine) {
  OptionSuggester suggester;
  std::FILE* out = std::tmpfile();
  suggester.print_completions("-fsanitize=add", out);
  std::rewind(out);
  char buffer[128] = {};
  std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
  std::fclose(out);
  EXPECT_EQ(std::string(buffer, n), "-fsanitize=address\n");
}

}  // namespace
}  // namespace vorn
