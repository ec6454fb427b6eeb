// The bits of a row's flags word and attributes.  One definition, read both
// by the table generator, which writes them into the generated rows, and by
// the code that tests them.
#ifndef VORN_OPTIONS_OPTION_FLAGS_H
#define VORN_OPTIONS_OPTION_FLAGS_H

#include <cstdint>

namespace vorn {

// The flags word of a row.  Bits 0-13 are the languages, in the order of
// kOptionLanguageNames.
inline constexpr std::uint32_t kFlagLanguages = 0x3FFF;
inline constexpr std::uint32_t kFlagParams = 1u << 16;
inline constexpr std::uint32_t kFlagWarning = 1u << 17;
inline constexpr std::uint32_t kFlagOptimization = 1u << 18;
inline constexpr std::uint32_t kFlagDriver = 1u << 19;
inline constexpr std::uint32_t kFlagTarget = 1u << 20;
inline constexpr std::uint32_t kFlagCommon = 1u << 21;
inline constexpr std::uint32_t kFlagJoined = 1u << 22;
inline constexpr std::uint32_t kFlagSeparate = 1u << 23;
inline constexpr std::uint32_t kFlagUndocumented = 1u << 24;
inline constexpr std::uint32_t kFlagNoDebugRecord = 1u << 25;

// The bits a language mask is tested against.
inline constexpr std::uint32_t kFlagLanguageMaskBits =
    kFlagLanguages | kFlagDriver | kFlagTarget | kFlagCommon;

// The attributes of a row.
inline constexpr std::uint16_t kAttrDisabled = 1u << 0;
inline constexpr std::uint16_t kAttrExtraSeparateArgsShift = 1;
inline constexpr std::uint16_t kAttrExtraSeparateArgs = 3u << 1;
inline constexpr std::uint16_t kAttrSeparateAlias = 1u << 3;
inline constexpr std::uint16_t kAttrNegativeAlias = 1u << 4;
inline constexpr std::uint16_t kAttrNoDriverArgument = 1u << 5;
inline constexpr std::uint16_t kAttrRejectedByDriver = 1u << 6;
inline constexpr std::uint16_t kAttrNoNegativeForm = 1u << 7;
inline constexpr std::uint16_t kAttrArgumentOptional = 1u << 8;
inline constexpr std::uint16_t kAttrUnsignedArgument = 1u << 9;
inline constexpr std::uint16_t kAttrWideInteger = 1u << 10;
inline constexpr std::uint16_t kAttrLowercaseArgument = 1u << 11;
inline constexpr std::uint16_t kAttrSizeArgument = 1u << 12;

}  // namespace vorn

#endif  // VORN_OPTIONS_OPTION_FLAGS_H
