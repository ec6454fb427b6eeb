// What the user sees: errors of decoded options, removed options, unknown
// options, and the variables applied options store.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "diagnostics/diagnostic.h"
#include "options_test_support.h"

namespace vorn {
namespace {

using testing::decode;
using testing::kAllLanguages;

int unknown_calls = 0;
int wrong_language_calls = 0;
int handler_calls = 0;
bool report_unknown = true;

bool on_unknown(const DecodedOption*) {
  ++unknown_calls;
  return report_unknown;
}
void on_wrong_language(const DecodedOption*, std::uint32_t) {
  ++wrong_language_calls;
}
bool driver_handler(OptionsRecord*, OptionsRecord*, const DecodedOption* d, std::uint32_t,
                    DiagnosticKind, SourceLocation, const OptionHandlers*, DiagnosticContext*,
                    TargetOverrideHook) {
  ++handler_calls;
  return d->index != OPT_Q;  // refuses one option
}

class Report : public ::testing::Test {
 protected:
  void SetUp() override {
    diagnostic_context_init(&diagnostic_context(), 10);
    diagnostic_context().program_name = "vorn-cxx";
    diagnostic_context().output_printer->store.flush_on_request = false;
    options_ = kInitialOptionsRecord;
    explicitly_set_ = OptionsRecord{};
    unknown_calls = wrong_language_calls = handler_calls = 0;
    report_unknown = true;
    handlers_.unknown_option_callback = on_unknown;
    handlers_.wrong_language_callback = on_wrong_language;
    handlers_.handler_count = 1;
    handlers_.handlers[0] = {driver_handler, kFlagDriver};
  }
  std::string output() { return diagnostic_context().output_printer->text(); }
  void clear() { diagnostic_context().output_printer->store.text.clear(); }

  std::string read(std::vector<const char*> args, std::uint32_t mask = kFlagDriver) {
    DecodedOption d = decode(std::move(args), mask);
    read_cmdline_option(&options_, &explicitly_set_, &d, current_location, mask, &handlers_,
                        &diagnostic_context());
    return output();
  }

  OptionsRecord options_;
  OptionsRecord explicitly_set_;
  OptionHandlers handlers_{};
};

TEST_F(Report, MissingArguments) {
  EXPECT_EQ(read({"-o"}), "vorn-cxx: error: missing filename after '-o'\n");
  EXPECT_EQ(read({"-specs="}),
            "vorn-cxx: error: missing filename after '-o'\n"
            "vorn-cxx: error: missing argument to '-specs='\n");
}

TEST_F(Report, IntegerErrors) {
  EXPECT_EQ(read({"-gdwarf-x"}),
            "vorn-cxx: error: argument to '-gdwarf-' should be a non-negative integer\n");
  clear();
  EXPECT_EQ(read({"-Wlarger-than=3x"}, kAllLanguages),
            "vorn-cxx: error: argument to '-Wlarger-than=' should be a non-negative integer "
            "optionally followed by a size unit\n");
  clear();
  EXPECT_EQ(read({"--param=align-threshold=0"}, kAllLanguages),
            "vorn-cxx: error: argument to '--param=align-threshold=' is not between 1 and 65536\n");
  clear();
  EXPECT_EQ(read({"-gdwarf-4294967296"}),
            "vorn-cxx: error: argument to '-gdwarf-' is bigger than 2147483647\n");
  EXPECT_EQ(options_.x_dwarf_version, 5);  // not stored
}

TEST_F(Report, EnumeratedErrorsListTheValues) {
  EXPECT_EQ(read({"-fdiagnostics-color=sometimes"}),
            "vorn-cxx: error: unrecognized argument in option '-fdiagnostics-color=sometimes'\n"
            "vorn-cxx: note: valid arguments to '-fdiagnostics-color=' are: always auto never\n");
  clear();
  EXPECT_EQ(read({"-fdiagnostics-color=alwas"}),
            "vorn-cxx: error: unrecognized argument in option '-fdiagnostics-color=alwas'\n"
            "vorn-cxx: note: valid arguments to '-fdiagnostics-color=' are: always auto never; "
            "did you mean 'always'?\n");
  clear();
  EXPECT_EQ(read({"-Wbidi-chars=any,bogus"}, kAllLanguages),
            "vorn-cxx: error: argument 'bogus' to '-Wbidi-chars' not recognized\n"
            "vorn-cxx: note: valid arguments to '-Wbidi-chars=' are: any none ucn unpaired\n");
}

TEST_F(Report, ValueSetConflicts) {
  EXPECT_EQ(read({"-Wbidi-chars=any,none"}, kAllLanguages),
            "vorn-cxx: error: invalid argument in option '-Wbidi-chars=any,none'\n"
            "vorn-cxx: note: 'any' is mutually exclusive with 'none' and cannot be specified "
            "together\n");
  clear();
  EXPECT_EQ(read({"-Wbidi-chars=ucn,any,ucn"}, kAllLanguages),
            "vorn-cxx: error: invalid argument in option '-Wbidi-chars=ucn,any,ucn'\n"
            "vorn-cxx: note: 'ucn' specified multiple times in the same option\n");
}

TEST_F(Report, DisabledRemovedAndUsageWarnings) {
  EXPECT_EQ(read({"-fkeep-inline-dllexport"}, kAllLanguages),
            "vorn-cxx: error: command-line option '-fkeep-inline-dllexport' is not supported by "
            "this configuration\n");
  clear();
  EXPECT_EQ(read({"-fmudflap"}), "vorn-cxx: warning: switch '-fmudflap' is no longer supported\n");
  clear();
  EXPECT_EQ(read({"-fno-mudflap"}), "");
  EXPECT_EQ(read({"-fhandle-exceptions"}, kAllLanguages),
            "vorn-cxx: warning: '-fhandle-exceptions' has been renamed '-fexceptions' (and is now "
            "on by default)\n");
}

TEST_F(Report, UnknownAndWrongLanguageGoToTheCallbacks) {
  EXPECT_EQ(read({"-foo"}), "vorn-cxx: error: unrecognized command-line option '-foo'\n");
  report_unknown = false;
  read({"-bar"});
  EXPECT_EQ(unknown_calls, 2);
  clear();
  EXPECT_EQ(read({"-Wall"}), "");
  EXPECT_EQ(wrong_language_calls, 1);
  EXPECT_EQ(handler_calls, 0);
  // A refusing handler makes the option unrecognized.
  EXPECT_EQ(read({"-Q"}), "vorn-cxx: error: unrecognized command-line option '-Q'\n");
}

TEST_F(Report, AppliedOptionsStoreTheirVariables) {
  read({"-o", "a.out"});
  EXPECT_STREQ(options_.x_output_file, "a.out");
  EXPECT_STREQ(explicitly_set_.x_output_file, "");
  read({"-gdwarf64"});
  EXPECT_EQ(options_.x_dwarf_offset_size, 8);
  read({"-gno-pubnames"});
  EXPECT_EQ(options_.x_debug_pubnames, 0);
  EXPECT_EQ(explicitly_set_.x_debug_pubnames, 1);
  read({"-fdiagnostics-color=auto"});
  EXPECT_EQ(options_.x_flag_diagnostics_color, 2);
  read({"-gvariable-location-views=incompat5"});
  EXPECT_EQ(options_.x_debug_variable_location_views, -1);
  read({"-fno-report-bug"});
  EXPECT_EQ(options_.x_flag_report_bug, 0);
  EXPECT_EQ(explicitly_set_.x_flag_report_bug, 1);
  EXPECT_EQ(handler_calls, 6);
  EXPECT_EQ(output(), "");
}

TEST(OptionVariable, NoneForRowsWithoutOne) {
  OptionsRecord record = kInitialOptionsRecord;
  EXPECT_EQ(option_variable(OPT_c, &record), nullptr);
  EXPECT_EQ(option_variable(OPT_v, &record), &record.x_verbose_flag);
}

}  // namespace
}  // namespace vorn
