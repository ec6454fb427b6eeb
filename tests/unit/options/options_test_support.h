// Helpers shared by the option machinery tests.
#ifndef VORN_TESTS_UNIT_OPTIONS_OPTIONS_TEST_SUPPORT_H
#define VORN_TESTS_UNIT_OPTIONS_OPTIONS_TEST_SUPPORT_H

#include <cstdlib>
#include <string>
#include <vector>

#include "options/options.h"

namespace vorn::testing {

// The mask the compilers proper of every language would use.
inline constexpr std::uint32_t kAllLanguages = kFlagLanguageMaskBits;

// Decodes the option at the start of ARGS; *CONSUMED gets the element count.
inline DecodedOption decode(std::vector<const char*> args, std::uint32_t mask = kFlagDriver,
                            std::size_t* consumed = nullptr) {
  args.push_back(nullptr);
  DecodedOption d{};
  std::size_t n = decode_cmdline_option(args.data(), mask, &d);
  if (consumed) *consumed = n;
  return d;
}

inline std::vector<std::string> canonical(const DecodedOption& d) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < d.canonical_count && i < kMaxCanonicalElements; ++i) {
    out.push_back(d.canonical[i] ? d.canonical[i] : "(null)");
  }
  return out;
}

// Decodes a whole command line (program name first) and returns the
// entries' written texts.
inline std::vector<std::string> decode_all(std::vector<const char*> args,
                                           std::uint32_t mask = kFlagDriver) {
  DecodedOption* options = nullptr;
  std::size_t count = 0;
  decode_options_to_array(args.size(), args.data(), mask, &options, &count);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(options[i].written_text);
  std::free(options);
  return out;
}

}  // namespace vorn::testing

#endif  // VORN_TESTS_UNIT_OPTIONS_OPTIONS_TEST_SUPPORT_H
