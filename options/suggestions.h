// "Did you mean" hints for unknown options and the answers to
// "--completion=": both search one list of every option spelling.
#ifndef VORN_OPTIONS_SUGGESTIONS_H
#define VORN_OPTIONS_SUGGESTIONS_H

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "options/edit_distance.h"
#include "options/option_table.h"

namespace vorn {

class OptionSuggester {
 public:
  // With CONSTANT (the list generated at build time), nothing is built: a
  // hint or a completion costs only the search.
  OptionSuggester() = default;
  explicit OptionSuggester(const CandidateList& constant)
      : constant_(constant), has_constant_(true) {}

  // The option closest to BAD (both without their leading "-"), or null.
  // The result lives as long as the suggester.
  const char* suggest_option(const char* bad);

  // Every option text, with its "-", that starts with PREFIX (one leading
  // "-" of PREFIX is optional), in table order; nothing for an empty or
  // null PREFIX.
  std::vector<std::string> get_completions(const char* prefix);

  // Prints the completions of PREFIX to OUT, one per line.
  void print_completions(const char* prefix, std::FILE* out);

  // The candidate list, built on first use (for tests and measurements).
  const std::vector<const char*>& candidates();

 private:
  // Fills the list once; PREFIX would narrow the target's own argument
  // values, of which this target has none.
  void build_option_suggestions(const char* prefix);
  // The spellings of TEXT (an option text with its "-") for ROW.
  // The candidates, without "-", that complete PREFIX.
  std::vector<const char*> matching_candidates(const char* prefix);
  void add_misspelling_candidates(const OptionDescriptor& row, std::string_view text,
                                  bool no_negative_form);
  // Adds HEAD followed by TAIL as one candidate.
  void add(std::string_view head, std::string_view tail = {});
  // Adds TEXT, which lives as long as the program, without copying it.
  void add_constant(const char* text);

  CandidateList constant_{};
  bool has_constant_ = false;
  bool built_ = false;
  // The candidates that are not texts of the option table, each ended by a
  // null character, in one block: the list has thousands of short strings
  // and is built in one go.
  std::string storage_;
  // Each candidate while the list is built: a constant text, or (when
  // null) the next offset of offsets_.
  std::vector<const char*> order_;
  std::vector<std::size_t> offsets_;
  std::vector<const char*> candidates_;
};

}  // namespace vorn

#endif  // VORN_OPTIONS_SUGGESTIONS_H
