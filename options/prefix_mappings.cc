#include "options/prefix_mappings.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vorn {
namespace {

struct MappingSource {
  std::string_view prefix;
  std::string_view second_prefix;  // default-constructed: none
  std::string_view replacement;
  bool needs_more;
  bool negated;
};

constexpr std::string_view kNone{};

// Tried in this order; the first whose rewritten text names a row wins.
consteval std::array<MappingSource, kPrefixMappingCount> mapping_sources() {
  return {{
      {"-Wno-", kNone, "-W", false, true},
      {"-fno-", kNone, "-f", false, true},
      {"-gno-", kNone, "-g", false, true},
      {"-mno-", kNone, "-m", false, true},
      {"--debug=", kNone, "-g", false, false},
      {"--machine-", kNone, "-m", true, false},
      {"--machine-no-", kNone, "-m", false, true},
      {"--machine=", kNone, "-m", false, false},
      {"--machine=no-", kNone, "-m", false, true},
      {"--machine", "", "-m", false, false},
      {"--machine", "no-", "-m", false, true},
      {"--optimize=", kNone, "-O", false, false},
      {"--std=", kNone, "-std=", false, false},
      {"--std", "", "-std=", false, false},
      {"--warn-", kNone, "-W", true, false},
      {"--warn-no-", kNone, "-W", false, true},
      {"--", kNone, "-f", true, false},
      {"--no-", kNone, "-f", false, true},
  }};
}

// The prefixes, the second prefixes, then the replacements.
constexpr auto kPool = make_text_pool<std::uint8_t>([] {
  std::array<std::string_view, 3 * kPrefixMappingCount> texts{};
  constexpr auto sources = mapping_sources();
  for (std::size_t i = 0; i < kPrefixMappingCount; ++i) {
    texts[i] = sources[i].prefix;
    texts[kPrefixMappingCount + i] = sources[i].second_prefix;
    texts[2 * kPrefixMappingCount + i] = sources[i].replacement;
  }
  return texts;
});

constexpr auto kFlags = [] {
  std::array<std::uint8_t, kPrefixMappingCount> flags{};
  constexpr auto sources = mapping_sources();
  for (std::size_t i = 0; i < kPrefixMappingCount; ++i) {
    flags[i] =
        static_cast<std::uint8_t>((sources[i].needs_more ? 1 : 0) | (sources[i].negated ? 2 : 0));
  }
  return flags;
}();

}  // namespace

PrefixMapping prefix_mapping_at(std::size_t index) {
  return {kPool.text(index), kPool.text(kPrefixMappingCount + index),
          kPool.text(2 * kPrefixMappingCount + index), (kFlags[index] & 1) != 0,
          (kFlags[index] & 2) != 0};
}

}  // namespace vorn
