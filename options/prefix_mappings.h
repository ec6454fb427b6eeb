// Rewritten prefixes tried when an argument names no row: "-Wno-x" is "-Wx"
// negated, "--warn-x" is "-Wx", "--machine" "no-x" is "-mx" negated, ...
#ifndef VORN_OPTIONS_PREFIX_MAPPINGS_H
#define VORN_OPTIONS_PREFIX_MAPPINGS_H

#include <cstddef>

#include "support/text_pool.h"

namespace vorn {

struct PrefixMapping {
  const char* prefix;
  // Null, or a prefix the next element must start with (possibly empty):
  // the option then continues in that element.
  const char* second_prefix;
  const char* replacement;
  bool needs_more;  // at least one character must follow the prefix
  bool negated;     // the form is a "no-" form
};

inline constexpr std::size_t kPrefixMappingCount = 18;
PrefixMapping prefix_mapping_at(std::size_t index);
inline constexpr TableView<prefix_mapping_at, kPrefixMappingCount> kPrefixMappings{};

}  // namespace vorn

#endif  // VORN_OPTIONS_PREFIX_MAPPINGS_H
