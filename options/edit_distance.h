// Edit distances between option texts and the search for the closest
// candidate, behind every "did you mean" note.
#ifndef VORN_OPTIONS_EDIT_DISTANCE_H
#define VORN_OPTIONS_EDIT_DISTANCE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// Distances are in half-units: an insertion, deletion, substitution or
// transposition of neighbours costs 2, a substitution that only changes
// letter case costs 1.
using EditDistance = unsigned;

EditDistance option_edit_distance(const char* a, std::size_t length_a, const char* b,
                                  std::size_t length_b);

// The largest distance at which a candidate is still worth suggesting.
EditDistance get_edit_distance_cutoff(std::size_t goal_length, std::size_t candidate_length);

// The candidate closest to GOAL, or null when none is close enough or the
// closest is GOAL itself.  The candidates stay owned by the caller.
const char* find_closest_string(const char* goal, const std::vector<const char*>& candidates);

// Candidates kept as constant data: texts in one block, each ended by a
// null character, located by offset, with their lengths.  The same
// candidates are also grouped by length for the closest-candidate search:
// by_length[length_starts[L]] up to by_length[length_starts[L + 1]] are the
// indices of the candidates of length L (for L up to max_length), in list
// order, and signatures[k] is the character signature of candidate
// by_length[k].
struct CandidateList {
  const char* pool;
  const std::uint32_t* offsets;
  const std::uint16_t* lengths;
  std::size_t count;
  const std::uint16_t* by_length;
  const std::uint32_t* length_starts;  // max_length + 2 entries
  std::size_t max_length;
  const std::uint64_t* signatures;

  const char* text(std::size_t i) const { return pool + offsets[i]; }
};

// Bit K set when TEXT has a character of class K: the letters (in either
// case) and the digits have a class each, the other characters share the
// remaining ones.
std::uint64_t candidate_signature(const char* text, std::size_t length);

// The arrays of a CandidateList, built at run time from TEXTS: the
// generator writes them out as constant data, tests search lists of their
// own.
struct CandidateStore {
  explicit CandidateStore(const std::vector<const char*>& texts);
  CandidateList list() const;

  std::string pool;
  std::vector<std::uint32_t> offsets;
  std::vector<std::uint16_t> lengths;
  std::vector<std::uint16_t> by_length;
  std::vector<std::uint32_t> length_starts;
  std::vector<std::uint64_t> signatures;
};

// find_closest_string over CANDIDATES: the same choice.
const char* find_closest_candidate(const char* goal, const CandidateList& candidates);

// All candidates joined by single spaces, and the closest to TEXT (or null).
struct CandidatesAndHint {
  std::string list;
  const char* hint;
};
CandidatesAndHint candidates_list_and_hint(const char* text,
                                           const std::vector<const char*>& candidates);

}  // namespace vorn

#endif  // VORN_OPTIONS_EDIT_DISTANCE_H
