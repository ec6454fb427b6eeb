// Recognising the host CPU from its description ("/proc/cpuinfo" format).
#ifndef VORN_SPECS_CPU_DETECT_H
#define VORN_SPECS_CPU_DETECT_H

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vorn::aarch64 {

// The option that describes the host read from DESCRIPTION in MODE
// ("arch", "cpu" or "tune"), for example "-mcpu=cortex-a53+crc"; nothing
// when the description is not understood or matches no usable row.
std::optional<std::string> detect_host_cpu(std::FILE* description, std::string_view mode);

// The -march= value equivalent to the -mcpu= VALUE ("cortex-a53+nofp");
// an unknown CPU is a fatal error.
std::string rewrite_mcpu_value(std::string_view value);

}  // namespace vorn::aarch64

#endif  // VORN_SPECS_CPU_DETECT_H
