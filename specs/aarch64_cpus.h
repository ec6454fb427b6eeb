// AArch64 architectures, architecture extensions and CPUs: the constant
// tables behind "native" CPU detection and the -mcpu to -march rewriting
// done for the assembler.
#ifndef VORN_SPECS_AARCH64_CPUS_H
#define VORN_SPECS_AARCH64_CPUS_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vorn::aarch64 {

// Feature flags: bits 0-35 are extensions, bits 36-49 architecture levels.
using FeatureFlags = std::uint64_t;

inline constexpr FeatureFlags kArmv8RBit = FeatureFlags{1} << 45;
inline constexpr FeatureFlags kCrcBit = 0x4;
// What a host that matches no CPU row is assumed to be ("armv8-a").
inline constexpr FeatureFlags kBaseArchFlags = 0x1000000003;

// Names are held in the rows themselves rather than pointed to, so that
// the tables need no relocation when the driver is loaded.
struct Architecture {
  char name[12];
  FeatureFlags flags;
};

struct Extension {
  char name[16];
  FeatureFlags bit;
  FeatureFlags on_set;   // the bit plus everything it implies
  FeatureFlags off_set;  // the bit plus everything that depends on it
  // The words of the host CPU description that must all be present; empty
  // when the host cannot report the extension.
  char host_words[20];
};

inline constexpr int kAnyVariant = -1;

struct Cpu {
  char name[24];
  char architecture[12];
  unsigned implementer;
  // For a big.LITTLE pair, (first part << 12) | second part.
  unsigned part;
  int variant;  // kAnyVariant or the variant required
  FeatureFlags flags;
};

std::span<const Extension> extensions();
// The CPUs a host can be detected as, in search order ("generic" is not
// among them).
std::span<const Cpu> cpus();

const Architecture* find_architecture(std::string_view name);
// The CPU called NAME for -mcpu=, including "generic"; null when unknown.
const Cpu* find_cpu(std::string_view name);

// The "+EXT" and "+noEXT" items that turn DEFAULT_FLAGS into ISA_FLAGS.
std::string extension_suffix(FeatureFlags isa_flags, FeatureFlags default_flags);

// Applies a text of "+EXT" and "+noEXT" items to FLAGS.  Processing stops
// at the first malformed item or unknown name: the compiler proper is the
// one that reports those.
FeatureFlags apply_extension_modifiers(std::string_view modifiers, FeatureFlags flags);

}  // namespace vorn::aarch64

#endif  // VORN_SPECS_AARCH64_CPUS_H
