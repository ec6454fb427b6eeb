// The option suggester's candidate list, generated at build time in its
// final order by suggestions_gen (options/gen/suggestions_gen.cc), which
// runs the suggester's own list builder.
#ifndef VORN_OPTIONS_SUGGESTION_CANDIDATES_H
#define VORN_OPTIONS_SUGGESTION_CANDIDATES_H

#include "options/edit_distance.h"

namespace vorn {

// Offsets and lengths only: the data needs no relocation at load time,
// and the list that locates it is made on the caller's stack.
CandidateList option_suggestion_candidates();

}  // namespace vorn

#endif  // VORN_OPTIONS_SUGGESTION_CANDIDATES_H
