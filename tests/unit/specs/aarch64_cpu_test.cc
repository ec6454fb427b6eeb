// AArch64 CPU detection from host descriptions and -mcpu= rewriting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "scratch_dir.h"
#include "spec_test_support.h"
#include "specs/aarch64_cpus.h"
#include "specs/cpu_detect.h"

namespace vorn::testing {
namespace {

using ::testing::ExitedWithCode;
using namespace aarch64;

std::string core(const char* part, const char* variant = "0x0", const char* implementer = "0x41") {
  return std::string("processor\t: 0\nCPU implementer\t: ") + implementer +
         "\nCPU architecture: 8\nCPU variant\t: " + variant + "\nCPU part\t: " + part +
         "\nCPU revision\t: 4\n\n";
}

class CpuDetectTest : public SpecTest {
 protected:
  // Expands the "native" call for MODE with the host described by TEXT.
  Words detect(const std::string& text, const char* mode) {
    hooks_.environment = {{"VORN_CPUINFO", scratch_.write("cpuinfo", text)}};
    return expand((std::string("%:local_cpu_detect(") + mode + ")").c_str());
  }
  ScratchDir scratch_;
};

const std::string kA53Features = "Features\t: fp asimd evtstrm crc32 cpuid\n";

TEST_F(CpuDetectTest, SingleCoreNamesTheCpuWithItsExtensions) {
  std::string host = kA53Features + core("0xd03") + core("0xd03");
  EXPECT_EQ(detect(host, "cpu"), (Words{"-mcpu=cortex-a53+crc"}));
  EXPECT_EQ(detect(host, "tune"), (Words{"-mtune=cortex-a53"}));
  EXPECT_EQ(detect(host, "arch"), (Words{"-march=armv8-a+crc"}));
  // Without a "Features" line nothing is detected, so the defaults go.
  EXPECT_EQ(detect(core("0xd03"), "cpu"), (Words{"-mcpu=cortex-a53+nofp+nocrc"}));
}

TEST_F(CpuDetectTest, BigLittlePairsMatchInEitherOrder) {
  std::string big_first = kA53Features + core("0xd08") + core("0xd03");
  std::string little_first = kA53Features + core("0xd03") + core("0xd08");
  EXPECT_EQ(detect(big_first, "cpu"), (Words{"-mcpu=cortex-a72.cortex-a53+crc"}));
  EXPECT_EQ(detect(little_first, "tune"), (Words{"-mtune=cortex-a72.cortex-a53"}));
  // "arch" looks only at the first part.
  EXPECT_EQ(detect(little_first, "arch"), (Words{"-march=armv8-a+crc"}));
  // A pair the table does not know gives nothing.
  EXPECT_EQ(detect(core("0xd03") + core("0xd05"), "cpu"), Words{});
}

TEST_F(CpuDetectTest, UnusableDescriptionsGiveNothing) {
  EXPECT_EQ(detect(core("0xd03") + core("0xd08") + core("0xd07"), "cpu"), Words{});
  EXPECT_EQ(detect(core("0xd03", "0x0") + core("0xd03", "0x1"), "cpu"), Words{});
  EXPECT_EQ(detect(core("0xd03") + core("0xd03", "0x0", "0x42"), "cpu"), Words{});
  EXPECT_EQ(detect(core("0xd03", "0x0", "0xff"), "cpu"), Words{});
  EXPECT_EQ(detect("CPU part\t: 0xd03\nCPU variant\t: 0\n", "cpu"), Words{});
  EXPECT_EQ(detect(core("0xd03"), "bogus"), Words{});
  hooks_.environment = {{"VORN_CPUINFO", scratch_ / "missing"}};
  EXPECT_EQ(expand("%:local_cpu_detect(cpu)"), Words{});
  EXPECT_EXIT(expand_spec("%:local_cpu_detect()", nullptr), ExitedWithCode(4), "");
  EXPECT_EXIT(expand_spec("%:rewrite_mcpu()", nullptr), ExitedWithCode(4), "");
}

// A stream that gives TEXT and then fails to read: what a read error part
// of the way through the description looks like.
std::FILE* failing_after(const std::string& text) {
  struct Source {
    std::string text;
    std::size_t at = 0;
  };
  cookie_io_functions_t io{};
  io.read = [](void* cookie, char* buffer, std::size_t size) -> ssize_t {
    Source* source = static_cast<Source*>(cookie);
    if (source->at == source->text.size()) {
      errno = EIO;
      return -1;
    }
    std::size_t n = std::min(size, source->text.size() - source->at);
    source->text.copy(buffer, n, source->at);
    source->at += n;
    return static_cast<ssize_t>(n);
  };
  io.close = [](void* cookie) {
    delete static_cast<Source*>(cookie);
    return 0;
  };
  return fopencookie(new Source{text}, "r", io);
}

// Whatever was read before the failure would make a good description: it
// is still not taken for the whole one.
TEST(CpuDetectReadError, DescriptionCutShortByAReadErrorGivesNothing) {
  std::FILE* file = failing_after(kA53Features + core("0xd03"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(detect_host_cpu(file, "cpu"), std::nullopt);
  std::fclose(file);
}

TEST_F(CpuDetectTest, LinesWithoutValuesAndRepeatedFeatureLines) {
  // A value-less implementer line is skipped before the first one and
  // spoils the description after it; a later "Features" line is ignored,
  // and runs of blanks between feature words lose none of them.
  std::string host =
      "CPU implementer\t:\nFeatures\t: fp  asimd crc32\n" + core("0xd03") + "Features\t: fp\n";
  EXPECT_EQ(detect(host, "cpu"), (Words{"-mcpu=cortex-a53+crc"}));
  EXPECT_EQ(detect(core("0xd03") + "CPU implementer\n", "cpu"), Words{});
  // A variant without a number is a variant of its own: one core cannot
  // have two.
  EXPECT_EQ(detect(core("0xd03") + "CPU variant\t: x\n", "cpu"), Words{});
  // Two cores without any variant line still name the architecture of the
  // first part.
  EXPECT_EQ(detect("CPU implementer\t: 0x41\nCPU part\t: 0xd08\nCPU part\t: 0xd03\n", "arch"),
            (Words{"-march=armv8-a+nofp"}));
}

TEST_F(CpuDetectTest, UnknownImplementerFallsBackToTheBaseArchitecture) {
  std::string host = kA53Features + core("0x123", "0x0", "0x99");
  EXPECT_EQ(detect(host, "cpu"), (Words{"-march=armv8-a+crc"}));
  EXPECT_EQ(detect(host, "tune"), (Words{"-march=armv8-a"}));
}

TEST_F(CpuDetectTest, VariantSelectsTheRow) {
  EXPECT_EQ(detect(core("0xa1", "0x0", "0x43"), "tune"), (Words{"-mtune=thunderxt88p1"}));
  EXPECT_EQ(detect(core("0xa1", "0x1", "0x43"), "tune"), (Words{"-mtune=thunderxt88"}));
}

TEST_F(CpuDetectTest, CryptoNeedsAllItsWords) {
  std::string crypto = "Features\t: fp asimd crc32 aes pmull sha1 sha2\n" + core("0xd03");
  EXPECT_EQ(detect(crypto, "cpu"), (Words{"-mcpu=cortex-a53+crc+crypto"}));
  std::string partial = "Features\t: fp asimd crc32 aes sha1\n" + core("0xd03");
  EXPECT_EQ(detect(partial, "cpu"), (Words{"-mcpu=cortex-a53+crc+aes"}));
}

TEST_F(CpuDetectTest, LongLinesAreReadWhole) {
  std::string features = "Features\t: " + std::string(10000, 'x') + " fp asimd crc32\n";
  EXPECT_EQ(detect(features + core("0xd03"), "cpu"), (Words{"-mcpu=cortex-a53+crc"}));
}

TEST_F(CpuDetectTest, McpuIsRewrittenForTheAssembler) {
  add_switch("-mcpu=cortex-a53");
  EXPECT_EQ(expand("%{mcpu=*:-march=%:rewrite_mcpu(%{mcpu=*:%*})}"), (Words{"-march=armv8-a+crc"}));
}

TEST(McpuRewrite, ModifiersAndUnknownNames) {
  EXPECT_EQ(rewrite_mcpu_value("cortex-a53+nofp"), "armv8-a+crc+nofp");
  EXPECT_EQ(rewrite_mcpu_value("generic"), "armv8-a");
  EXPECT_EQ(rewrite_mcpu_value("cortex-a55+crypto"), "armv8.2-a+crc+fp16+rcpc+dotprod+crypto");
  // The assembler of Armv8-R needs no "+crc".
  EXPECT_EQ(rewrite_mcpu_value("cortex-r82"), "armv8-r");
  // Unknown extensions stop the modifiers; the compiler proper reports them.
  EXPECT_EQ(rewrite_mcpu_value("cortex-a53+bogus+nofp"), "armv8-a+crc");
  EXPECT_EXIT(rewrite_mcpu_value("bogus"), ExitedWithCode(1), "unknown value 'bogus' for '-mcpu'");
  EXPECT_EXIT(rewrite_mcpu_value("bogus+crc"), ExitedWithCode(1), "'bogus\\+crc'");
}

TEST(ExtensionModifiers, DisablingRemovesDependents) {
  FeatureFlags flags = find_cpu("cortex-a53")->flags;
  EXPECT_EQ(apply_extension_modifiers("+nofp", flags), flags & ~FeatureFlags{0x7be05f93});
  EXPECT_EQ(apply_extension_modifiers("+sve2", 0), FeatureFlags{0x204013});
  EXPECT_EQ(apply_extension_modifiers("+crc++sve", 0), kCrcBit);
  EXPECT_EQ(apply_extension_modifiers("+no+crc", 0), FeatureFlags{0});
}

}  // namespace
}  // namespace vorn::testing
