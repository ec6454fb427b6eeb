// The AArch64 tables, transcribed in their search order.
#include "specs/aarch64_cpus.h"

namespace vorn::aarch64 {
namespace {

constexpr Architecture kArchitectures[] = {
    {"armv8-a", 0x1000000003},      {"armv8.1-a", 0x300000004f},    {"armv8.2-a", 0x700000004f},
    {"armv8.3-a", 0xf10000006f},    {"armv8.4-a", 0x1f1800020ef},   {"armv8.5-a", 0x3f1801c20ef},
    {"armv8.6-a", 0x7f1c81c20ef},   {"armv8.7-a", 0xff3c81c20ef},   {"armv8.8-a", 0x1ff7c81c20ef},
    {"armv8-r", 0x21f1800020ef},    {"armv9-a", 0x43f1803c60ff},    {"armv9.1-a", 0xc7f1c83c60ff},
    {"armv9.2-a", 0x1cff3c83c60ff}, {"armv9.3-a", 0x3dff7c83c60ff},
};

constexpr Extension kExtensions[] = {
    {"fp", 0x1, 0x1, 0x7be05f93, "fp"},
    {"simd", 0x2, 0x3, 0x3be05f82, "asimd"},
    {"crc", 0x4, 0x4, 0x4, "crc32"},
    {"lse", 0x8, 0x8, 0x8, "atomics"},
    {"fp16", 0x10, 0x11, 0x33e06010, "fphp asimdhp"},
    {"rcpc", 0x20, 0x20, 0x20, "lrcpc"},
    {"rdma", 0x40, 0x43, 0x40, "asimdrdm"},
    {"dotprod", 0x80, 0x83, 0x80, "asimddp"},
    {"aes", 0x100, 0x103, 0x800500, "aes"},
    {"sha2", 0x200, 0x203, 0x1000e00, "sha1 sha2"},
    {"crypto", 0x400, 0x703, 0x1c01f00, "aes pmull sha1 sha2"},
    {"sha3", 0x800, 0xa03, 0x1000800, "sha3 sha512"},
    {"sm4", 0x1000, 0x1003, 0x401000, "sm3 sm4"},
    {"fp16fml", 0x2000, 0x2011, 0x2000, "asimdfhm"},
    {"sve", 0x4000, 0x4013, 0x33e04000, "sve"},
    {"profile", 0x8000, 0x8000, 0x8000, ""},
    {"rng", 0x10000, 0x10000, 0x10000, "rng"},
    {"memtag", 0x20000, 0x20000, 0x20000, ""},
    {"sb", 0x40000, 0x40000, 0x40000, "sb"},
    {"ssbs", 0x80000, 0x80000, 0x80000, "ssbs"},
    {"predres", 0x100000, 0x100000, 0x100000, ""},
    {"sve2", 0x200000, 0x204013, 0x3e00000, "sve2"},
    {"sve2-sm4", 0x400000, 0x605013, 0x400000, "svesm4"},
    {"sve2-aes", 0x800000, 0xa04113, 0x800000, "sveaes"},
    {"sve2-sha3", 0x1000000, 0x1204a13, 0x1000000, "svesha3"},
    {"sve2-bitperm", 0x2000000, 0x2204013, 0x2000000, "svebitperm"},
    {"tme", 0x4000000, 0x4000000, 0x4000000, ""},
    {"i8mm", 0x8000000, 0x8000003, 0x8000000, "i8mm"},
    {"f32mm", 0x10000000, 0x10004013, 0x10000000, "f32mm"},
    {"f64mm", 0x20000000, 0x20004013, 0x20000000, "f64mm"},
    {"bf16", 0x40000000, 0x40000003, 0x40000000, "bf16"},
    {"flagm", 0x80000000, 0x80000000, 0x80000000, "flagm"},
    {"pauth", 0x100000000, 0x100000000, 0x100000000, "paca pacg"},
    {"ls64", 0x200000000, 0x200000000, 0x200000000, ""},
    {"mops", 0x400000000, 0x400000000, 0x400000000, ""},
    {"cssc", 0x800000000, 0x800000000, 0x800000000, "cssc"},
};
static_assert(std::size(kExtensions) == 36);

constexpr int kAny = kAnyVariant;

// "generic" comes last and has an implementer no host reports, so host
// detection, which walks only the rows before it, can never pick it.
constexpr Cpu kCpus[] = {
    {"cortex-a34", "armv8-a", 0x41, 0xd02, kAny, 0x1000000007},
    {"cortex-a35", "armv8-a", 0x41, 0xd04, kAny, 0x1000000007},
    {"cortex-a53", "armv8-a", 0x41, 0xd03, kAny, 0x1000000007},
    {"cortex-a57", "armv8-a", 0x41, 0xd07, kAny, 0x1000000007},
    {"cortex-a72", "armv8-a", 0x41, 0xd08, kAny, 0x1000000007},
    {"cortex-a73", "armv8-a", 0x41, 0xd09, kAny, 0x1000000007},
    {"thunderx", "armv8-a", 0x43, 0xa0, kAny, 0x1000000707},
    {"thunderxt88p1", "armv8-a", 0x43, 0xa1, 0x0, 0x1000000707},
    {"thunderxt88", "armv8-a", 0x43, 0xa1, kAny, 0x1000000707},
    {"octeontx", "armv8-a", 0x43, 0xa0, kAny, 0x1000000707},
    {"octeontx81", "armv8-a", 0x43, 0xa2, kAny, 0x1000000707},
    {"octeontx83", "armv8-a", 0x43, 0xa3, kAny, 0x1000000707},
    {"thunderxt81", "armv8-a", 0x43, 0xa2, kAny, 0x1000000707},
    {"thunderxt83", "armv8-a", 0x43, 0xa3, kAny, 0x1000000707},
    {"ampere1", "armv8.6-a", 0xc0, 0xac3, kAny, 0x7f1c81d2bff},
    {"ampere1a", "armv8.6-a", 0xc0, 0xac4, kAny, 0x7f1c81f3bff},
    {"emag", "armv8-a", 0x50, 0x0, 0x3, 0x1000000707},
    {"xgene1", "armv8-a", 0x50, 0x0, kAny, 0x1000000003},
    {"falkor", "armv8-a", 0x51, 0xc00, kAny, 0x1000000747},
    {"qdf24xx", "armv8-a", 0x51, 0xc00, kAny, 0x1000000747},
    {"exynos-m1", "armv8-a", 0x53, 0x1, kAny, 0x1000000707},
    {"phecda", "armv8-a", 0x68, 0x0, kAny, 0x1000000707},
    {"thunderx2t99p1", "armv8.1-a", 0x42, 0x516, kAny, 0x300000074f},
    {"vulcan", "armv8.1-a", 0x42, 0x516, kAny, 0x300000074f},
    {"thunderx2t99", "armv8.1-a", 0x43, 0xaf, kAny, 0x300000074f},
    {"cortex-a55", "armv8.2-a", 0x41, 0xd05, kAny, 0x70000000ff},
    {"cortex-a75", "armv8.2-a", 0x41, 0xd0a, kAny, 0x70000000ff},
    {"cortex-a76", "armv8.2-a", 0x41, 0xd0b, kAny, 0x70000000ff},
    {"cortex-a76ae", "armv8.2-a", 0x41, 0xd0e, kAny, 0x70000800ff},
    {"cortex-a77", "armv8.2-a", 0x41, 0xd0d, kAny, 0x70000800ff},
    {"cortex-a78", "armv8.2-a", 0x41, 0xd41, kAny, 0x70000880ff},
    {"cortex-a78ae", "armv8.2-a", 0x41, 0xd42, kAny, 0x70000880ff},
    {"cortex-a78c", "armv8.2-a", 0x41, 0xd4b, kAny, 0x71800880ff},
    {"cortex-a65", "armv8.2-a", 0x41, 0xd06, kAny, 0x70000800ff},
    {"cortex-a65ae", "armv8.2-a", 0x41, 0xd43, kAny, 0x70000800ff},
    {"cortex-x1", "armv8.2-a", 0x41, 0xd44, kAny, 0x70000880ff},
    {"cortex-x1c", "armv8.2-a", 0x41, 0xd4c, kAny, 0x71000880ff},
    {"ares", "armv8.2-a", 0x41, 0xd0c, kAny, 0x70000080ff},
    {"neoverse-n1", "armv8.2-a", 0x41, 0xd0c, kAny, 0x70000080ff},
    {"neoverse-e1", "armv8.2-a", 0x41, 0xd4a, kAny, 0x70000800ff},
    {"octeontx2", "armv8.2-a", 0x43, 0xb0, kAny, 0x700000874f},
    {"octeontx2t98", "armv8.2-a", 0x43, 0xb1, kAny, 0x700000874f},
    {"octeontx2t96", "armv8.2-a", 0x43, 0xb2, kAny, 0x700000874f},
    {"octeontx2t93", "armv8.2-a", 0x43, 0xb2, kAny, 0x700000874f},
    {"octeontx2f95", "armv8.2-a", 0x43, 0xb3, kAny, 0x700000874f},
    {"octeontx2f95n", "armv8.2-a", 0x43, 0xb4, kAny, 0x700000874f},
    {"octeontx2f95mm", "armv8.2-a", 0x43, 0xb5, kAny, 0x700000874f},
    {"a64fx", "armv8.2-a", 0x46, 0x1, kAny, 0x700000405f},
    {"tsv110", "armv8.2-a", 0x48, 0xd01, kAny, 0x700000075f},
    {"thunderx3t110", "armv8.3-a", 0x43, 0xb8, 0xa, 0xf100003f6f},
    {"zeus", "armv8.4-a", 0x41, 0xd40, kAny, 0x1f1c809e0ff},
    {"neoverse-v1", "armv8.4-a", 0x41, 0xd40, kAny, 0x1f1c809e0ff},
    {"neoverse-512tvb", "armv8.4-a", 0xff, 0xffffffff, kAny, 0x1f1c809e0ff},
    {"saphira", "armv8.4-a", 0x51, 0xc01, kAny, 0x1f1800027ef},
    {"cortex-a57.cortex-a53", "armv8-a", 0x41, 0xd07d03, kAny, 0x1000000007},
    {"cortex-a72.cortex-a53", "armv8-a", 0x41, 0xd08d03, kAny, 0x1000000007},
    {"cortex-a73.cortex-a35", "armv8-a", 0x41, 0xd09d04, kAny, 0x1000000007},
    {"cortex-a73.cortex-a53", "armv8-a", 0x41, 0xd09d03, kAny, 0x1000000007},
    {"cortex-a75.cortex-a55", "armv8.2-a", 0x41, 0xd0ad05, kAny, 0x70000000ff},
    {"cortex-a76.cortex-a55", "armv8.2-a", 0x41, 0xd0bd05, kAny, 0x70000000ff},
    {"cortex-r82", "armv8-r", 0x41, 0xd15, kAny, 0x21f1800020ef},
    {"cortex-a510", "armv9-a", 0x41, 0xd46, kAny, 0x43f1ca3e60ff},
    {"cortex-a710", "armv9-a", 0x41, 0xd47, kAny, 0x43f1ca3e60ff},
    {"cortex-a715", "armv9-a", 0x41, 0xd4d, kAny, 0x43f1ca3e60ff},
    {"cortex-x2", "armv9-a", 0x41, 0xd48, kAny, 0x43f1ca3e60ff},
    {"cortex-x3", "armv9-a", 0x41, 0xd4e, kAny, 0x43f1ca3e60ff},
    {"neoverse-n2", "armv9-a", 0x41, 0xd49, kAny, 0x43f1ca3fe0ff},
    {"demeter", "armv9-a", 0x41, 0xd4f, kAny, 0x43f1ca3fe0ff},
    {"neoverse-v2", "armv9-a", 0x41, 0xd4f, kAny, 0x43f1ca3fe0ff},
    {"generic", "armv8-a", 0x0, 0x0, kAny, kBaseArchFlags},
};
constexpr std::size_t kDetectableCpus = std::size(kCpus) - 1;
static_assert(kDetectableCpus == 69);

}  // namespace

std::span<const Extension> extensions() {
  return kExtensions;
}
std::span<const Cpu> cpus() {
  return std::span<const Cpu>(kCpus, kDetectableCpus);
}

const Architecture* find_architecture(std::string_view name) {
  for (const Architecture& arch : kArchitectures) {
    if (name == arch.name) return &arch;
  }
  return nullptr;
}

const Cpu* find_cpu(std::string_view name) {
  for (const Cpu& cpu : kCpus) {
    if (name == cpu.name) return &cpu;
  }
  return nullptr;
}

}  // namespace vorn::aarch64
