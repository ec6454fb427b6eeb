// Turning feature-flag sets into "+EXT"/"+noEXT" text and back.
#include <string>

#include "specs/aarch64_cpus.h"

namespace vorn::aarch64 {
namespace {

// "crypto" is offered only when both of its parts are wanted; its own bit
// is never reported by a host on its own.
constexpr FeatureFlags kCryptoParts = 0x300;

FeatureFlags added_test_bits(const Extension& extension) {
  return std::string_view(extension.name) == "crypto" ? kCryptoParts : extension.bit;
}

const Extension* find_extension(std::string_view name) {
  for (const Extension& extension : extensions()) {
    if (name == extension.name) return &extension;
  }
  return nullptr;
}

}  // namespace

std::string extension_suffix(FeatureFlags isa_flags, FeatureFlags default_flags) {
  std::span<const Extension> table = extensions();
  FeatureFlags current = default_flags;
  // "+crc" is spelled out even when the architecture implies it, except
  // for Armv8-R, whose assemblers know it by default.
  FeatureFlags explicit_bits = (default_flags & kArmv8RBit) != 0 ? 0 : kCrcBit;
  std::uint64_t added = 0;  // one bit per table row
  // From the last row to the first, so that a group such as "crypto" is
  // chosen before the extensions it implies.
  for (std::size_t i = table.size(); i-- > 0;) {
    FeatureFlags wanted = added_test_bits(table[i]);
    if ((isa_flags & (explicit_bits | ~current) & wanted) == wanted) {
      current |= table[i].on_set;
      added |= std::uint64_t{1} << i;
    }
  }
  std::string suffix;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if ((added >> i) & 1) suffix.append("+").append(table[i].name);
  }
  for (const Extension& extension : table) {
    if (extension.host_words[0] == '\0') continue;
    if ((current & extension.bit) != 0 && (isa_flags & extension.bit) == 0) {
      suffix.append("+no").append(extension.name);
      current &= ~extension.off_set;
    }
  }
  return suffix;
}

FeatureFlags apply_extension_modifiers(std::string_view modifiers, FeatureFlags flags) {
  while (!modifiers.empty() && modifiers.front() == '+') {
    modifiers.remove_prefix(1);
    std::size_t end = modifiers.find('+');
    std::string_view item = modifiers.substr(0, end);
    modifiers = end == std::string_view::npos ? std::string_view() : modifiers.substr(end);
    bool disable = item.starts_with("no");
    if (disable) item.remove_prefix(2);
    if (item.empty()) break;
    const Extension* extension = find_extension(item);
    if (extension == nullptr) break;
    flags = disable ? flags & ~extension->off_set : flags | extension->on_set;
  }
  return flags;
}

}  // namespace vorn::aarch64
