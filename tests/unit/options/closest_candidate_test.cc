// The closest-candidate search over a list grouped by length skips the
// lengths and candidates it can prove too far.  It must choose exactly what
// computing every distance in list order chooses: the same candidate, the
// same winner among ties, the same cutoff.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "options/edit_distance.h"
#include "options/suggestion_candidates.h"
#include "options/suggestions.h"

namespace vorn {
namespace {

// The distance computed in full: the whole table, no bound.
EditDistance plain_distance(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  const std::size_t width = a.size() + 1;
  std::vector<EditDistance> d((b.size() + 1) * width);
  auto at = [&](std::size_t i, std::size_t j) -> EditDistance& { return d[i * width + j]; };
  for (std::size_t j = 0; j <= a.size(); ++j) at(0, j) = static_cast<EditDistance>(2 * j);
  for (std::size_t i = 1; i <= b.size(); ++i) {
    at(i, 0) = static_cast<EditDistance>(2 * i);
    for (std::size_t j = 1; j <= a.size(); ++j) {
      const char x = a[j - 1];
      const char y = b[i - 1];
      const EditDistance cost = x == y ? 0 : lower(x) == lower(y) ? 1 : 2;
      at(i, j) = std::min({at(i, j - 1) + 2, at(i - 1, j) + 2, at(i - 1, j - 1) + cost});
      if (i > 1 && j > 1 && x == b[i - 2] && a[j - 2] == y) {
        at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 2);
      }
    }
  }
  return at(b.size(), a.size());
}

// Every candidate in order, with the two length pre-tests only.
const char* full_scan(const std::string& goal, const std::vector<const char*>& candidates) {
  const bool goal_has_equals = !goal.empty() && goal.back() == '=';
  EditDistance best_distance = ~EditDistance{0};
  const char* best = nullptr;
  for (const char* text : candidates) {
    const std::string_view candidate = text;
    const std::size_t d0 =
        std::max(candidate.size(), goal.size()) - std::min(candidate.size(), goal.size());
    if (d0 >= best_distance || d0 > get_edit_distance_cutoff(goal.size(), candidate.size())) {
      continue;
    }
    const EditDistance d = plain_distance(goal, candidate);
    if (d < best_distance ||
        (d == best_distance && !candidate.empty() && candidate.back() == '=' && !goal_has_equals)) {
      best_distance = d;
      best = text;
    }
  }
  if (best == nullptr || best_distance == 0) return nullptr;
  return best_distance > get_edit_distance_cutoff(goal.size(), std::strlen(best)) ? nullptr : best;
}

// The answers compared as positions in the list, so that equal texts at
// different places (the option list has some) still tell the winner apart.
class Comparison {
 public:
  explicit Comparison(const std::vector<const char*>& texts)
      : texts_(texts), store_(texts), list_(store_.list()) {}

  long position(const char* answer) const {
    if (answer == nullptr) return -1;
    for (std::size_t i = 0; i < texts_.size(); ++i) {
      if (answer == texts_[i] || answer == list_.text(i)) return static_cast<long>(i);
    }
    return -2;
  }

  void expect_same(const std::string& goal) const {
    EXPECT_EQ(position(find_closest_candidate(goal.c_str(), list_)),
              position(full_scan(goal, texts_)))
        << '"' << goal << '"';
  }

  const CandidateList& list() const { return list_; }

 private:
  const std::vector<const char*>& texts_;
  CandidateStore store_;
  CandidateList list_;
};

std::string random_text(std::mt19937& random, std::size_t length, const std::string& alphabet) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
  return text;
}

// The four single edits of TEXT at a random place, with a character from
// ALPHABET.
std::vector<std::string> single_edits(std::mt19937& random, const std::string& text,
                                      const std::string& alphabet) {
  std::vector<std::string> edits;
  const char c = alphabet[random() % alphabet.size()];
  edits.push_back(std::string(text).insert(random() % (text.size() + 1), 1, c));
  if (text.empty()) return edits;
  const std::size_t at = random() % text.size();
  edits.push_back(std::string(text).erase(at, 1));
  std::string substituted = text;
  substituted[at] = c;
  edits.push_back(substituted);
  if (text.size() > 1) {
    std::string swapped = text;
    const std::size_t first = random() % (text.size() - 1);
    std::swap(swapped[first], swapped[first + 1]);
    edits.push_back(swapped);
  }
  return edits;
}

// Lists over a few characters are full of ties, case-only differences,
// texts ending in "=", duplicates and the empty text.
TEST(ClosestCandidate, SmallAlphabetListsAgreeWithAFullScan) {
  std::mt19937 random(20261209);
  const std::string alphabet = "abA=-";
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> owned;
    const std::size_t count = 1 + random() % 60;
    for (std::size_t i = 0; i < count; ++i) {
      owned.push_back(random_text(random, random() % 9, alphabet));
    }
    if (round % 4 == 0) owned.push_back(owned[random() % owned.size()]);
    std::vector<const char*> texts;
    for (const std::string& text : owned) texts.push_back(text.c_str());
    const Comparison comparison(texts);
    comparison.expect_same("");
    for (int goal = 0; goal < 60; ++goal) {
      comparison.expect_same(random_text(random, random() % 11, alphabet));
    }
    for (const std::string& text : owned) {
      comparison.expect_same(text);
      for (const std::string& edited : single_edits(random, text, alphabet)) {
        comparison.expect_same(edited);
      }
    }
  }
}

TEST(ClosestCandidate, EmptyListAndLongGoals) {
  const std::vector<const char*> none;
  const Comparison empty(none);
  EXPECT_EQ(find_closest_candidate("Wall", empty.list()), nullptr);
  EXPECT_EQ(find_closest_candidate("", empty.list()), nullptr);
  // Goals longer than every candidate, and longer than the letter counts
  // of the search can hold.
  const std::vector<const char*> texts{"fsanitize=address", "fsanitize=", "W"};
  const Comparison comparison(texts);
  comparison.expect_same(std::string(300, 'f'));
  comparison.expect_same("fsanitize=addresssss");
  comparison.expect_same("fsanitize=address" + std::string(280, 's'));
}

TEST(ClosestCandidate, OptionListAgreesWithAFullScan) {
  OptionSuggester suggester;
  const std::vector<const char*>& texts = suggester.candidates();
  const Comparison comparison(texts);
  const CandidateList constant = option_suggestion_candidates();
  // A goal that is a candidate is never offered back.
  for (std::size_t i = 0; i < constant.count; ++i) {
    ASSERT_EQ(find_closest_candidate(constant.text(i), constant), nullptr) << constant.text(i);
  }
  std::mt19937 random(6937);
  const std::string alphabet = "abcdefgilmnoprstuwxzAW-=,+0123 ";
  comparison.expect_same("");
  // The full scan is slow: a spread of the list, each with its four edits.
  for (std::size_t i = 0; i < texts.size(); i += 97) {
    comparison.expect_same(texts[i]);
    for (const std::string& edited : single_edits(random, texts[i], alphabet)) {
      comparison.expect_same(edited);
    }
  }
  for (std::size_t length = 0; length <= 40; ++length) {
    comparison.expect_same(random_text(random, length, alphabet));
  }
  for (const char* goal : {"fbogus-thing", "Wunused-paramter", "Wal", "fno-exeptions",
                           "ftrivial-auto-var-init", "-param=inline-unit", "WALL", "O"}) {
    comparison.expect_same(goal);
  }
}

}  // namespace
}  // namespace vorn
