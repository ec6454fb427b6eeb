// The candidate list generated at build time against the one the suggester
// builds from the table: the same texts in the same order, and the same
// answers from either.
#include "options/suggestion_candidates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/suggestions.h"

namespace vorn {
namespace {

TEST(SuggestionCandidates, TheConstantListIsTheBuiltOne) {
  OptionSuggester built;
  const std::vector<const char*>& expected = built.candidates();
  const CandidateList constant = option_suggestion_candidates();
  ASSERT_EQ(constant.count, expected.size());
  for (std::size_t i = 0; i < constant.count; ++i) {
    ASSERT_STREQ(constant.text(i), expected[i]) << i;
    ASSERT_EQ(constant.lengths[i], std::string(expected[i]).size()) << expected[i];
  }
  // The grouping by length is the one made from the built list.
  const CandidateStore store(expected);
  ASSERT_EQ(constant.max_length + 2, store.length_starts.size());
  for (std::size_t l = 0; l < store.length_starts.size(); ++l) {
    ASSERT_EQ(constant.length_starts[l], store.length_starts[l]) << l;
  }
  for (std::size_t k = 0; k < constant.count; ++k) {
    ASSERT_EQ(constant.by_length[k], store.by_length[k]) << k;
    ASSERT_EQ(constant.signatures[k], store.signatures[k]) << k;
  }
}

TEST(SuggestionCandidates, HintsAndCompletionsAgree) {
  OptionSuggester built;
  OptionSuggester constant(option_suggestion_candidates());
  for (const char* bad :
       {"Wunused-paramter", "fbogus-thing", "fsanitize=adress", "-param inline-unit",
        "fno-exeptions", "x", "qqqqqqqqqqqq", "mcpu=cortex-a5"}) {
    const char* a = built.suggest_option(bad);
    const char* b = constant.suggest_option(bad);
    EXPECT_EQ(a == nullptr, b == nullptr) << bad;
    if (a != nullptr && b != nullptr) {
      EXPECT_STREQ(a, b) << bad;
    }
  }
  for (const char* prefix : {"-f", "-Wunused", "fsanitize=", "-", "--param", "zzz"}) {
    EXPECT_EQ(built.get_completions(prefix), constant.get_completions(prefix)) << prefix;
  }
}

}  // namespace
}  // namespace vorn
