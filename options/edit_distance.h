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
// null character, located by offset, with their lengths.
struct CandidateList {
  const char* pool;
  const std::uint32_t* offsets;
  const std::uint16_t* lengths;
  std::size_t count;

  const char* text(std::size_t i) const { return pool + offsets[i]; }
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
