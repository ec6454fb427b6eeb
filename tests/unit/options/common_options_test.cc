// The common-class options as the driver applies them: debug formats and
// levels, sanitizer lists and the settings with effects beyond a variable.
#include "options/common_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "diagnostics/diagnostic_context.h"
#include "diagnostics/urls.h"
#include "options/sanitizers.h"
#include "options_test_support.h"

namespace vorn {
namespace {

using ::testing::ExitedWithCode;

bool accept_driver_option(OptionsRecord*, OptionsRecord*, const DecodedOption*, std::uint32_t,
                          DiagnosticKind, SourceLocation, const OptionHandlers*, DiagnosticContext*,
                          TargetOverrideHook) {
  return true;
}

class CommonOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    diagnostic_context_init(&diagnostic_context(), 10);
    diagnostic_context().program_name = "vorn-cxx";
    diagnostic_context().output_printer->store.flush_on_request = false;
    init_options_struct(&options_, &explicitly_set_);
    handlers_.handler_count = 2;
    handlers_.handlers[0] = {accept_driver_option, kFlagDriver};
    handlers_.handlers[1] = {common_handle_option, kFlagCommon};
  }

  // Applies each option in turn; returns every diagnostic printed.
  std::string apply(std::vector<const char*> options) {
    for (const char* text : options) {
      DecodedOption d = testing::decode({text});
      read_cmdline_option(&options_, &explicitly_set_, &d, current_location, kFlagDriver,
                          &handlers_, &diagnostic_context());
    }
    return diagnostic_context().output_printer->text();
  }

  OptionsRecord options_;
  OptionsRecord explicitly_set_;
  OptionHandlers handlers_{};
};

TEST_F(CommonOptions, DebugLevels) {
  EXPECT_EQ(apply({"-g"}), "");
  EXPECT_EQ(options_.x_debug_formats, kDebugDwarf);
  EXPECT_EQ(options_.x_debug_level, 2);
  EXPECT_EQ(apply({"-g3"}), "");
  EXPECT_EQ(options_.x_debug_level, 3);
  // A plain "-g" raises only levels below 2.
  EXPECT_EQ(apply({"-g"}), "");
  EXPECT_EQ(options_.x_debug_level, 3);
  EXPECT_EQ(apply({"-g1", "-g"}), "");
  EXPECT_EQ(options_.x_debug_level, 2);
  EXPECT_EQ(apply({"-g0"}), "");
  EXPECT_EQ(options_.x_debug_formats, kDebugDwarf);
  EXPECT_EQ(options_.x_debug_level, 0);
}

TEST_F(CommonOptions, BadDebugLevels) {
  EXPECT_EQ(apply({"-g4"}), "vorn-cxx: error: debug output level '4' is too high\n");
  EXPECT_EQ(options_.x_debug_formats, kDebugDwarf);
  EXPECT_EQ(options_.x_debug_level, 0);
  init_options_struct(&options_, &explicitly_set_);
  diagnostic_context().output_printer->store.text.clear();
  EXPECT_EQ(apply({"-gfoo"}), "vorn-cxx: error: unrecognized debug output level 'foo'\n");
  diagnostic_context().output_printer->store.text.clear();
  EXPECT_EQ(apply({"-gbtf1"}), "vorn-cxx: error: unrecognized btf debug output level '1'\n");
}

TEST_F(CommonOptions, FormatConflicts) {
  EXPECT_EQ(apply({"-gvms", "-gctf"}),
            "vorn-cxx: error: debug format 'ctf' conflicts with prior selection\n");
  EXPECT_EQ(options_.x_debug_formats, kDebugCtf);
  diagnostic_context().output_printer->store.text.clear();
  init_options_struct(&options_, &explicitly_set_);
  EXPECT_EQ(apply({"-gbtf", "-gctf"}),
            "vorn-cxx: error: debug format 'ctf' conflicts with prior selection\n");
}

TEST_F(CommonOptions, FormatsThatCombine) {
  EXPECT_EQ(apply({"-gctf", "-gdwarf"}), "");
  EXPECT_EQ(options_.x_debug_formats, kDebugCtf | kDebugDwarf);
  EXPECT_EQ(options_.x_debug_level, 2);
  EXPECT_EQ(options_.x_ctf_level, 2);
  init_options_struct(&options_, &explicitly_set_);
  EXPECT_EQ(apply({"-gbtf", "-g"}), "");
  EXPECT_EQ(options_.x_debug_formats, kDebugBtf | kDebugDwarf);
  EXPECT_EQ(explicitly_set_.x_debug_formats, kDebugBtf | kDebugDwarf);
}

// CTF without a level means CTF level 2, and any CTF level above 0 brings
// the debug level up to 2 (never down); BTF always does.
TEST_F(CommonOptions, CtfAndBtfImplyADebugLevel) {
  struct Case {
    std::vector<const char*> options;
    int ctf_level;
    int debug_level;
  };
  for (const Case& c : {Case{{"-gctf"}, 2, 2}, Case{{"-gctf1"}, 1, 2}, Case{{"-gctf0"}, 0, 0},
                        Case{{"-g3", "-gctf"}, 2, 3}, Case{{"-g1", "-gctf3"}, 3, 2},
                        Case{{"-gbtf"}, 0, 2}, Case{{"-g3", "-gbtf"}, 0, 3}}) {
    init_options_struct(&options_, &explicitly_set_);
    EXPECT_EQ(apply(c.options), "") << c.options.back();
    EXPECT_EQ(options_.x_ctf_level, c.ctf_level) << c.options.back();
    EXPECT_EQ(options_.x_debug_level, c.debug_level) << c.options.back();
  }
}

TEST_F(CommonOptions, DwarfVersions) {
  EXPECT_EQ(apply({"-gdwarf-4"}), "");
  EXPECT_EQ(options_.x_dwarf_version, 4);
  EXPECT_EQ(apply({"-gdwarf-6"}), "vorn-cxx: error: dwarf version 6 is not supported\n");
  // The unsupported version is not kept; DWARF at level 2 is still chosen.
  EXPECT_EQ(options_.x_dwarf_version, 4);
  EXPECT_EQ(options_.x_debug_formats, kDebugDwarf);
  EXPECT_EQ(options_.x_debug_level, 2);
  diagnostic_context().output_printer->store.text.clear();
  EXPECT_EQ(apply({"-gdwarf3"}),
            "vorn-cxx: error: '-gdwarf3' is ambiguous; use '-gdwarf-3' for DWARF version or "
            "'-gdwarf' '-g3' for debug level\n");
}

TEST_F(CommonOptions, SanitizerLists) {
  EXPECT_EQ(apply({"-fsanitize=address,undefined"}), "");
  EXPECT_EQ(options_.x_sanitize_flags, 0x3 | 0x37E7FE0);
  EXPECT_EQ(explicitly_set_.x_sanitize_flags, 1);
  EXPECT_EQ(apply({"-fno-sanitize=undefined"}), "");
  EXPECT_EQ(options_.x_sanitize_flags, 0x3);
  EXPECT_EQ(apply({"-fsanitize=kernel-address", "-fno-sanitize=kernel-address"}), "");
  // The user-space address sanitizer keeps the common address bit.
  EXPECT_EQ(options_.x_sanitize_flags, 0x3);
  EXPECT_EQ(apply({"-fsanitize=,,thread,", "-fno-sanitize=all"}), "");
  EXPECT_EQ(options_.x_sanitize_flags, 0);
}

TEST_F(CommonOptions, SanitizerErrors) {
  EXPECT_EQ(apply({"-fsanitize=all"}), "vorn-cxx: error: '-fsanitize=all' option is not valid\n");
  EXPECT_EQ(options_.x_sanitize_flags, 0);
  diagnostic_context().output_printer->store.text.clear();
  EXPECT_EQ(apply({"-fsanitize=adress"}),
            "vorn-cxx: error: unrecognized argument to '-fsanitize=' option: 'adress'; did you "
            "mean 'address'?\n");
  diagnostic_context().output_printer->store.text.clear();
  EXPECT_EQ(apply({"-fno-sanitize=xyzzy,null"}),
            "vorn-cxx: error: unrecognized argument to '-fno-sanitize=' option: 'xyzzy'\n");
  diagnostic_context().output_printer->store.text.clear();
  EXPECT_EQ(apply({"-fsanitize-trap=vptr,null"}),
            "vorn-cxx: error: '-fsanitize-trap=vptr' is not supported\n");
  EXPECT_EQ(options_.x_sanitize_trap_flags, 0x400);
  diagnostic_context().output_printer->store.text.clear();
  // Names the trap form refuses are not suggested for it.
  EXPECT_EQ(apply({"-fsanitize-trap=vpt"}),
            "vorn-cxx: error: unrecognized argument to '-fsanitize-trap=' option: 'vpt'\n");
}

TEST_F(CommonOptions, SanitizerTraps) {
  EXPECT_EQ(apply({"-fsanitize-trap=all"}), "");
  EXPECT_EQ(options_.x_sanitize_trap_flags, 0x3FFFFE0);
  EXPECT_EQ(apply({"-fno-sanitize-trap"}), "");
  EXPECT_EQ(options_.x_sanitize_trap_flags, 0);
  EXPECT_EQ(apply({"-fsanitize-undefined-trap-on-error"}), "");
  EXPECT_EQ(options_.x_sanitize_trap_flags, 0x3FFFFE0);
  // Names that are never offered as hints for the trap form still add
  // their bits; only "vptr" is refused.
  EXPECT_EQ(apply({"-fno-sanitize-trap", "-fsanitize-trap=address,thread,leak,shift"}), "");
  EXPECT_EQ(options_.x_sanitize_trap_flags, 0x7B);
}

// The whole trap column.  The trap form refuses "vptr" alone; every other
// name adds its bits, and the column only decides which names are offered
// as hints for the trap form.
TEST_F(CommonOptions, WhichSanitizersCanTrap) {
  std::string every;
  std::vector<std::string> never_hinted;
  for (const SanitizerName& sanitizer : sanitizer_names()) {
    if (std::string(sanitizer.name) != "all") every += std::string(sanitizer.name) + ",";
    if (!sanitizer.trap_allowed) never_hinted.emplace_back(sanitizer.name);
  }
  const std::string option = "-fsanitize-trap=" + every;
  EXPECT_EQ(apply({option.c_str()}), "vorn-cxx: error: '-fsanitize-trap=vptr' is not supported\n");
  // The bit of "vptr" comes in with "undefined".
  EXPECT_EQ(options_.x_sanitize_trap_flags, 0xFFFFFFFF);
  EXPECT_EQ(never_hinted,
            (std::vector<std::string>{"address", "hwaddress", "kernel-address", "kernel-hwaddress",
                                      "pointer-compare", "pointer-subtract", "thread", "leak",
                                      "vptr", "shadow-call-stack"}));
}

TEST(SanitizerNames, ClosestNameLeavesOutWhatTheOptionRefuses) {
  EXPECT_STREQ(closest_sanitizer_name("thred", 5, OPT_fsanitize_, true), "thread");
  EXPECT_EQ(closest_sanitizer_name("al", 2, OPT_fsanitize_, true), nullptr);
  EXPECT_STREQ(closest_sanitizer_name("al", 2, OPT_fsanitize_, false), "all");
  EXPECT_EQ(closest_sanitizer_name("thred", 5, OPT_fsanitize_trap_, true), nullptr);
}

TEST_F(CommonOptions, DiagnosticsSettings) {
  EXPECT_EQ(apply({"-fdiagnostics-color=always"}), "");
  EXPECT_TRUE(diagnostic_context().output_printer->colour_on);
  EXPECT_EQ(apply({"-fdiagnostics-color=never"}), "");
  EXPECT_FALSE(diagnostic_context().output_printer->colour_on);
  // "always" takes the link style the environment names, "never" has none.
  setenv("VORN_URLS", "st", 1);
  EXPECT_EQ(apply({"-fdiagnostics-urls=always"}), "");
  EXPECT_EQ(diagnostic_context().output_printer->link_style, kLinksEndWithSt);
  unsetenv("VORN_URLS");
  EXPECT_EQ(apply({"-fdiagnostics-urls=never"}), "");
  EXPECT_EQ(diagnostic_context().output_printer->link_style, kLinksNone);
  EXPECT_EQ(apply({"-freport-bug"}), "");
  EXPECT_TRUE(diagnostic_context().full_report_requested);
  EXPECT_EQ(apply({"--help=warnings", "--help=optimizers"}), "");
  EXPECT_EQ(options_.x_help_flag, 1);
  ASSERT_GE(help_requests().size(), 2u);
  EXPECT_STREQ(help_requests().back(), "optimizers");
}

// Every driver row of the common class can be applied without tripping
// the check for a row without a variable.
TEST_F(CommonOptions, EveryDriverCommonRowIsHandled) {
  for (std::size_t index = 0; index < OPTION_COUNT; ++index) {
    const OptionDescriptor& row = option_row(index);
    if ((row.flags & (kFlagDriver | kFlagCommon)) != (kFlagDriver | kFlagCommon)) continue;
    DecodedOption d{};
    d.index = index;
    d.argument = "2";
    d.written_text = row.text;
    d.canonical[0] = row.text;
    d.canonical_count = 1;
    d.value = 1;
    EXPECT_TRUE(common_handle_option(&options_, &explicitly_set_, &d, kFlagDriver,
                                     DiagnosticKind::kUnspecified, current_location, &handlers_,
                                     &diagnostic_context(), nullptr))
        << row.text;
  }
  set_color_mode(&diagnostic_context(), 0);
  set_url_mode(&diagnostic_context(), 0);
}

TEST_F(CommonOptions, InternalErrors) {
  DecodedOption d{};
  d.index = OPT_fsigned_char;  // a common row without a variable
  d.written_text = "-fsigned-char";
  EXPECT_EXIT(common_handle_option(&options_, &explicitly_set_, &d, kFlagDriver,
                                   DiagnosticKind::kUnspecified, current_location, &handlers_,
                                   &diagnostic_context(), nullptr),
              ExitedWithCode(4), "");
  d.index = OPT_g;
  d.canonical_count = 3;
  EXPECT_EXIT(common_handle_option(&options_, &explicitly_set_, &d, kFlagDriver,
                                   DiagnosticKind::kUnspecified, current_location, &handlers_,
                                   &diagnostic_context(), nullptr),
              ExitedWithCode(4), "");
  EXPECT_EXIT(debug_set_to_format(kDebugCtf | kDebugBtf), ExitedWithCode(4), "");
  EXPECT_EXIT(
      target_handle_option(&options_, &explicitly_set_, &d, kFlagDriver, DiagnosticKind::kError,
                           current_location, &handlers_, &diagnostic_context(), nullptr),
      ExitedWithCode(4), "");
}

}  // namespace
}  // namespace vorn
