// Places in the source that a diagnostic can refer to.
#ifndef VORN_DIAGNOSTICS_SOURCE_LOCATION_H
#define VORN_DIAGNOSTICS_SOURCE_LOCATION_H

#include <cstdint>

namespace vorn {

// 0 is "no location", 1 is "built-in"; larger values come from line maps,
// which the driver has none of: everything it reports is at location 0.
using SourceLocation = std::uint32_t;

inline constexpr SourceLocation kNoLocation = 0;
inline constexpr SourceLocation kBuiltinLocation = 1;

// A location taken apart.  file is null for 0 and 1; line and column are 0
// when unknown.
struct ExpandedLocation {
  const char* file = nullptr;
  int line = 0;
  int column = 0;
  bool in_system_header = false;
};

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_SOURCE_LOCATION_H
