// Delivery of diagnostics that do not end the process, captured from the
// process-wide context's printer.
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "diagnostics/diagnostic.h"
#include "test_support.h"

namespace vorn {
namespace {

using testing::ScopedEnv;

class Delivery : public ::testing::Test {
 protected:
  void SetUp() override {
    diagnostic_context_init(&diagnostic_context(), 10);
    diagnostic_context().program_name = "vorn-cxx";
    // Keep the text in the printer instead of writing it to standard error.
    printer().store.flush_on_request = false;
  }
  PrettyPrinter& printer() { return *diagnostic_context().output_printer; }
  std::string output() { return printer().text(); }
  int count(DiagnosticKind kind) { return diagnostic_context().count(kind); }
};

TEST_F(Delivery, EachKindIsOneLineWithItsPrefixAndCounter) {
  report_error("unrecognized command-line option %<-%s%>", "foo");
  EXPECT_TRUE(report_warning(0, "%qs is ignored", "-bar"));
  inform(current_location, "note %d", 1);
  report_sorry("not %s", "yet");
  report_sorry_at(current_location, "nor %s", "here");
  EXPECT_EQ(output(),
            "vorn-cxx: error: unrecognized command-line option '-foo'\n"
            "vorn-cxx: warning: '-bar' is ignored\n"
            "vorn-cxx: note: note 1\n"
            "vorn-cxx: sorry, unimplemented: not yet\n"
            "vorn-cxx: sorry, unimplemented: nor here\n");
  EXPECT_EQ(count(DiagnosticKind::kError), 1);
  EXPECT_EQ(count(DiagnosticKind::kWarning), 1);
  EXPECT_EQ(count(DiagnosticKind::kNote), 1);
  EXPECT_EQ(count(DiagnosticKind::kSorry), 2);
}

TEST_F(Delivery, ColouredPrefix) {
  printer().colour_on = true;
  report_error("bad");
  EXPECT_EQ(output(),
            "\033[01m\033[Kvorn-cxx:\033[m\033[K \033[01;31m\033[Kerror: \033[m\033[Kbad\n");
}

TEST_F(Delivery, ErrnoIsTakenWhenTheDiagnosticIsMade) {
  errno = ENOENT;
  report_error("%s: %m", "a.cc");
  EXPECT_EQ(output(), std::string("vorn-cxx: error: a.cc: ") + std::strerror(ENOENT) + "\n");
}

TEST_F(Delivery, ErrorsSeenCountsErrorsAndSorriesOnly) {
  EXPECT_FALSE(errors_seen());
  diagnostic_context().warnings_are_errors = true;
  report_warning(0, "promoted");
  EXPECT_EQ(output(), "vorn-cxx: error: promoted\n");
  EXPECT_EQ(count(DiagnosticKind::kWarningAsError), 1);
  EXPECT_EQ(count(DiagnosticKind::kError), 0);
  EXPECT_FALSE(errors_seen());

  count_silent_error();
  EXPECT_TRUE(errors_seen());
  EXPECT_EQ(output(), "vorn-cxx: error: promoted\n");  // silent indeed

  // A "sorry" alone is an error seen too.
  diagnostic_context_init(&diagnostic_context(), 10);
  report_sorry("not yet");
  EXPECT_TRUE(errors_seen());
}

TEST_F(Delivery, SuppressedWarningsAndNotesAreDropped) {
  diagnostic_context().suppress_warnings = true;
  EXPECT_FALSE(report_warning(0, "hidden"));
  EXPECT_FALSE(pedwarn(current_location, 0, "hidden too"));
  diagnostic_context().suppress_notes = true;
  inform(current_location, "hidden note");
  EXPECT_EQ(output(), "");
  EXPECT_EQ(count(DiagnosticKind::kWarning), 0);
}

TEST_F(Delivery, PedwarnsAndPermerrorsResolveBeforeCounting) {
  pedwarn(current_location, 0, "p1");
  diagnostic_context().pedwarns_are_errors = true;
  pedwarn(current_location, 0, "p2");
  permerror(current_location, "p3");
  diagnostic_context().permerrors_are_warnings = true;
  permerror(current_location, "p4");
  EXPECT_EQ(output(),
            "vorn-cxx: warning: p1\nvorn-cxx: error: p2\nvorn-cxx: error: p3\n"
            "vorn-cxx: warning: p4\n");
  // A pedwarn made an error is a real error, not a promoted warning.
  EXPECT_EQ(count(DiagnosticKind::kError), 2);
  EXPECT_EQ(count(DiagnosticKind::kWarningAsError), 0);
  EXPECT_EQ(count(DiagnosticKind::kWarning), 2);
}

TEST_F(Delivery, ClassifiedOptionsChangeTheirWarnings) {
  EXPECT_EQ(classify_option(&diagnostic_context(), 3, DiagnosticKind::kError, kNoLocation),
            DiagnosticKind::kUnspecified);
  EXPECT_EQ(classify_option(&diagnostic_context(), 4, DiagnosticKind::kIgnored, kNoLocation),
            DiagnosticKind::kUnspecified);
  EXPECT_EQ(classify_option(&diagnostic_context(), 3, DiagnosticKind::kError, kNoLocation),
            DiagnosticKind::kError);
  // Out of range: nothing changes.
  EXPECT_EQ(classify_option(&diagnostic_context(), 10, DiagnosticKind::kError, kNoLocation),
            DiagnosticKind::kUnspecified);
  EXPECT_EQ(classify_option(&diagnostic_context(), 2, DiagnosticKind::kLastKind, kNoLocation),
            DiagnosticKind::kUnspecified);
  EXPECT_EQ(classify_option(&diagnostic_context(), -1, DiagnosticKind::kError, kNoLocation),
            DiagnosticKind::kUnspecified);
  EXPECT_EQ(classify_option(&diagnostic_context(), 2, static_cast<DiagnosticKind>(-1), kNoLocation),
            DiagnosticKind::kUnspecified);
  // An index outside the table counts as unclassified when reporting too.
  EXPECT_TRUE(report_warning(-1, "outside"));
  EXPECT_TRUE(report_warning(99, "outside"));
  EXPECT_EQ(output(), "vorn-cxx: warning: outside\nvorn-cxx: warning: outside\n");
  printer().store.text.clear();

  EXPECT_TRUE(report_warning(3, "made an error"));
  EXPECT_FALSE(report_warning(4, "ignored"));
  EXPECT_TRUE(report_warning(2, "still a warning"));
  EXPECT_EQ(output(), "vorn-cxx: error: made an error\nvorn-cxx: warning: still a warning\n");
  EXPECT_EQ(count(DiagnosticKind::kWarningAsError), 1);
  EXPECT_FALSE(errors_seen());
}

TEST_F(Delivery, ClassificationHistoryFollowsLocationsAndPops) {
  // Without a line map every location is "before" a larger one.
  classify_option(&diagnostic_context(), 5, DiagnosticKind::kError, 100);
  push_classifications(&diagnostic_context(), 200);
  classify_option(&diagnostic_context(), 5, DiagnosticKind::kIgnored, 300);
  pop_classifications(&diagnostic_context(), 400);
  // The table says ignored, but the history decides by location.
  EXPECT_TRUE(warning_at(150, 5, "error here"));
  EXPECT_FALSE(warning_at(350, 5, "ignored here"));
  EXPECT_TRUE(warning_at(450, 5, "error again after the pop"));
  EXPECT_EQ(output(), "vorn-cxx: error: error here\nvorn-cxx: error: error again after the pop\n");
}

TEST_F(Delivery, ClassificationHistoryOfOtherOptionsAndUnmatchedPops) {
  classify_option(&diagnostic_context(), 5, DiagnosticKind::kError, 100);
  classify_option(&diagnostic_context(), 6, DiagnosticKind::kIgnored, 200);
  // Option 6's change says nothing about option 5.
  EXPECT_TRUE(warning_at(250, 5, "still an error"));
  // A pop without its push forgets the whole history before it; the table
  // decides again.
  classify_option(&diagnostic_context(), 5, DiagnosticKind::kWarning, kNoLocation);
  pop_classifications(&diagnostic_context(), 300);
  EXPECT_TRUE(warning_at(350, 5, "back to a warning"));
  // A change for option 0 decides for every option.
  classify_option(&diagnostic_context(), 0, DiagnosticKind::kIgnored, 400);
  EXPECT_FALSE(warning_at(450, 5, "ignored with all the others"));
  EXPECT_EQ(output(), "vorn-cxx: error: still an error\nvorn-cxx: warning: back to a warning\n");
}

bool option_off(int option, unsigned, void*) {
  return option != 7;
}

TEST_F(Delivery, OptionEnabledHookDropsDisabledWarnings) {
  diagnostic_context().option_enabled_hook = option_off;
  EXPECT_FALSE(report_warning(7, "off"));
  EXPECT_TRUE(report_warning(6, "on"));
  EXPECT_EQ(output(), "vorn-cxx: warning: on\n");
  // The permissive option is always enabled: a permerror is never lost.
  diagnostic_context().permissive_option = 7;
  EXPECT_TRUE(permerror(current_location, "permissive"));
  EXPECT_EQ(output(), "vorn-cxx: warning: on\nvorn-cxx: error: permissive\n");
}

std::string option_name(const DiagnosticContext&, int option, DiagnosticKind, DiagnosticKind) {
  return option == 1 ? "-Wthing" : "";
}
std::string option_url(const DiagnosticContext&, int) {
  return "https://vorn.invalid/Wthing";
}

TEST_F(Delivery, OptionAnnotationWithLink) {
  diagnostic_context().annotate_option = true;
  diagnostic_context().option_name_hook = option_name;
  diagnostic_context().option_url_hook = option_url;
  report_warning(1, "plain");
  report_warning(2, "no name");
  printer().link_style = 1;
  report_warning(1, "linked");
  EXPECT_EQ(output(),
            "vorn-cxx: warning: plain [-Wthing]\n"
            "vorn-cxx: warning: no name\n"
            "vorn-cxx: warning: linked [\033]8;;https://vorn.invalid/Wthing\033\\-Wthing"
            "\033]8;;\033\\]\n");
  printer().store.text.clear();
  // Without a URL for it the name is not linked; without names, nothing.
  diagnostic_context().option_url_hook = nullptr;
  report_warning(1, "unlinked");
  diagnostic_context().option_name_hook = nullptr;
  report_warning(1, "unnamed");
  EXPECT_EQ(output(), "vorn-cxx: warning: unlinked [-Wthing]\nvorn-cxx: warning: unnamed\n");
}

class TestRule : public DiagnosticRule {
 public:
  TestRule(const char* description, const char* url) : description_(description), url_(url) {}
  std::string description() const override { return description_; }
  std::string url() const override { return url_; }

 private:
  const char* description_;
  const char* url_;
};

TEST_F(Delivery, CweAndRuleAnnotations) {
  diagnostic_context().annotate_cwe = true;
  DiagnosticTags tags;
  tags.cwe = 476;
  TestRule named("MEM-1", "https://vorn.invalid/mem1");
  TestRule silent("", "https://vorn.invalid/none");
  tags.rules = {&named, &silent};
  warning_meta(current_location, tags, 0, "null");
  diagnostic_context().annotate_rules = true;
  warning_meta(current_location, tags, 0, "rules too");
  printer().link_style = 2;
  warning_meta(current_location, tags, 0, "linked");
  EXPECT_EQ(output(),
            "vorn-cxx: warning: null [CWE-476]\n"
            "vorn-cxx: warning: rules too [CWE-476] [MEM-1]\n"
            "vorn-cxx: warning: linked "
            "[\033]8;;https://cwe.mitre.org/data/definitions/476.html\aCWE-476\033]8;;\a] "
            "[\033]8;;https://vorn.invalid/mem1\aMEM-1\033]8;;\a]\n");
  printer().store.text.clear();
  // Reports without metadata, or without a CWE number, get no CWE text.
  report_warning(0, "untagged");
  tags.cwe = 0;
  warning_meta(current_location, tags, 0, "rules only");
  EXPECT_EQ(output(),
            "vorn-cxx: warning: untagged\n"
            "vorn-cxx: warning: rules only "
            "[\033]8;;https://vorn.invalid/mem1\aMEM-1\033]8;;\a]\n");
}

TEST_F(Delivery, AnEmptyMessageKeepsItsPrefix) {
  report_error("");
  report_warning(0, "%s", "");
  EXPECT_EQ(output(), "vorn-cxx: error: \nvorn-cxx: warning: \n");
}

TEST_F(Delivery, PluralFormsPickByCount) {
  warning_n(current_location, 0, 1, "%lu file", "%lu files", 1UL);
  error_n(current_location, 3, "%lu file", "%lu files", 3UL);
  inform_n(current_location, 0, "%lu note", "%lu notes", 0UL);
  EXPECT_EQ(output(),
            "vorn-cxx: warning: 1 file\nvorn-cxx: error: 3 files\nvorn-cxx: note: 0 notes\n");
}

TEST_F(Delivery, ReportWithKindAndVerbatim) {
  EXPECT_TRUE(report_with_kind(DiagnosticKind::kAnachronism, current_location, 0, "old"));
  EXPECT_TRUE(report_with_kind(DiagnosticKind::kDebug, current_location, 0, "dbg"));
  report_verbatim("%s and %qs", "plain", "quoted");
  EXPECT_EQ(output(), "vorn-cxx: anachronism: old\nvorn-cxx: debug: dbg\nplain and 'quoted'\n");
}

// Locations of a client that has source files: 10 is a.cc, 3:5; 20 a
// line of a system header.
ExpandedLocation expand_test_location(SourceLocation location) {
  ExpandedLocation expanded;
  expanded.file = location == 20 ? "/usr/include/sys.h" : "a.cc";
  expanded.line = 3;
  expanded.column = 5;
  expanded.in_system_header = location == 20;
  return expanded;
}

void quote_source_line(DiagnosticContext& context, DiagnosticRecord&) {
  context.output_printer->print(" int x;");
  context.output_printer->newline();
}

int g_begin_group_calls;
void count_begin_group(DiagnosticContext&) {
  ++g_begin_group_calls;
}

int g_set_locations_calls;
void record_given_location(DiagnosticContext&, DiagnosticRecord& record) {
  ++g_set_locations_calls;
  record.inlining_locations.assign(1, record.location);
}

TEST_F(Delivery, HooksOfAClientWithSourceLocations) {
  diagnostic_context().expand_location = expand_test_location;
  diagnostic_context().source_span_hook = quote_source_line;
  diagnostic_context().quote_source = true;
  g_begin_group_calls = 0;
  diagnostic_context().begin_group_hook = count_begin_group;
  error_at(10, "without columns");
  diagnostic_context().print_columns = true;
  diagnostic_context().first_column_number = 0;
  error_at(10, "columns from 0");
  // A system header hides warnings and pedwarns unless they are asked for.
  EXPECT_FALSE(warning_at(20, 0, "hidden"));
  EXPECT_FALSE(warning_at(20, 4, "hidden with an option"));
  EXPECT_FALSE(pedwarn(20, 0, "hidden pedwarn"));
  diagnostic_context().report_in_system_headers = true;
  EXPECT_TRUE(warning_at(20, 0, "shown"));
  EXPECT_EQ(output(),
            "a.cc:3: error: without columns\n int x;\n"
            "a.cc:3:4: error: columns from 0\n int x;\n"
            "/usr/include/sys.h:3:4: warning: shown\n int x;\n");
  EXPECT_EQ(g_begin_group_calls, 3);

  g_set_locations_calls = 0;
  diagnostic_context().set_locations_hook = record_given_location;
  diagnostic_context().quote_source = false;
  EXPECT_TRUE(warning_at(10, 4, "located by the hook"));
  EXPECT_EQ(g_set_locations_calls, 1);
  diagnostic_context().expand_location = nullptr;
}

// 30 is a built-in line, 40 a line without a column.
ExpandedLocation expand_odd_location(SourceLocation location) {
  ExpandedLocation expanded;
  expanded.file = location == 30 ? "<built-in>" : "b.cc";
  expanded.line = location == 30 ? 7 : 2;
  expanded.in_system_header = location == 20;
  return expanded;
}

TEST_F(Delivery, LocationsWithoutColumnsBuiltInsAndPendingLines) {
  diagnostic_context().expand_location = expand_odd_location;
  diagnostic_context().print_columns = true;
  diagnostic_context().quote_source = true;
  diagnostic_context().source_span_hook = quote_source_line;
  error_at(40, "no column");
  // No line number for built-in text; the built-in location has no source
  // to quote either.
  error_at(30, "built in");
  error_at(kBuiltinLocation, "the built-in location");
  diagnostic_context().source_span_hook = nullptr;
  error_at(40, "nothing to quote with");
  // A line left open by other output is ended before the report.
  printer().set_prefix(std::nullopt);
  printer().line_pending = true;
  printer().append_string("partial");
  report_error("after");
  EXPECT_EQ(output(),
            "b.cc:2: error: no column\n int x;\n"
            "<built-in>: error: built in\n int x;\n"
            "vorn-cxx: error: the built-in location\n"
            "b.cc:2: error: nothing to quote with\n"
            "partial\nvorn-cxx: error: after\n");
  diagnostic_context().expand_location = nullptr;
}

// Locations 20 (a system header) inlined into 40 (user code).
void inlined_into_user_code(DiagnosticContext&, DiagnosticRecord& record) {
  record.inlining_locations = {record.location, 40};
  record.all_in_system_headers = false;
}

TEST_F(Delivery, SystemHeaderWarningsInlinedIntoUserCodeAreShown) {
  diagnostic_context().expand_location = expand_test_location;
  diagnostic_context().set_locations_hook = inlined_into_user_code;
  EXPECT_TRUE(warning_at(20, 4, "inlined"));
  diagnostic_context().set_locations_hook = nullptr;
  EXPECT_FALSE(warning_at(20, 4, "not inlined"));
  diagnostic_context().report_in_system_headers = true;
  EXPECT_TRUE(warning_at(20, 4, "asked for"));
  EXPECT_EQ(output(),
            "/usr/include/sys.h:3: warning: inlined\n/usr/include/sys.h:3: warning: asked for\n");
  diagnostic_context().expand_location = nullptr;
}

TEST_F(Delivery, WithoutTextHooksOnlyTheMessageIsWritten) {
  diagnostic_context().before_message_hook = nullptr;
  diagnostic_context().after_message_hook = nullptr;
  report_error("bare");
  report_warning(0, " text");
  EXPECT_EQ(output(), "bare text");
}

TEST_F(Delivery, PrefixesOfKindsWithoutColourOrText) {
  printer().colour_on = true;
  DiagnosticRecord record;
  record.kind = DiagnosticKind::kWarningAsError;
  EXPECT_EQ(build_prefix(diagnostic_context(), record),
            "\033[01m\033[Kvorn-cxx:\033[m\033[K error: ");
  record.kind = DiagnosticKind::kUnspecified;
  EXPECT_EQ(build_prefix(diagnostic_context(), record), "\033[01m\033[Kvorn-cxx:\033[m\033[K ");
  // With no printer there is no colour either.
  diagnostic_context().output_printer.reset();
  record.kind = DiagnosticKind::kError;
  EXPECT_EQ(build_prefix(diagnostic_context(), record), "vorn-cxx: error: ");
}

TEST(DiagnosticKinds, KindsOutsideTheTable) {
  for (int outside : {-1, 16, 99}) {
    auto kind = static_cast<DiagnosticKind>(outside);
    EXPECT_STREQ(kind_text(kind), "must-not-happen") << outside;
    EXPECT_EQ(kind_colour_name(kind), nullptr) << outside;
  }
  EXPECT_STREQ(kind_text(DiagnosticKind::kSorry), "sorry, unimplemented: ");
  EXPECT_STREQ(kind_colour_name(DiagnosticKind::kPath), "path");
}

int g_end_group_calls;
void count_end_group(DiagnosticContext&) {
  ++g_end_group_calls;
}

TEST_F(Delivery, BatchesEndTheirGroupOnceAfterEmissions) {
  g_end_group_calls = 0;
  diagnostic_context().end_group_hook = count_end_group;
  {
    DiagnosticBatch outer;
    report_error("e");
    inform(current_location, "n");
    EXPECT_EQ(g_end_group_calls, 0);  // each report's own batch is nested
  }
  EXPECT_EQ(g_end_group_calls, 1);
  EXPECT_EQ(diagnostic_context().group_emissions, 0);
  { DiagnosticBatch empty; }
  EXPECT_EQ(g_end_group_calls, 1);
}

TEST_F(Delivery, FinalHookReportsWarningsTreatedAsErrors) {
  classify_option(&diagnostic_context(), 3, DiagnosticKind::kError, kNoLocation);
  report_warning(3, "w");
  text_final_hook(diagnostic_context());
  EXPECT_EQ(output(), "vorn-cxx: error: w\nvorn-cxx: some warnings being treated as errors\n");
  // Run again once the printer is gone, it has nowhere to write and makes
  // no new printer.
  diagnostic_context().output_printer.reset();
  text_final_hook(diagnostic_context());
  EXPECT_EQ(diagnostic_context().output_printer, nullptr);
}

TEST_F(Delivery, FinishingWithoutAFinalHookPrintsNothing) {
  classify_option(&diagnostic_context(), 3, DiagnosticKind::kError, kNoLocation);
  report_warning(3, "w");
  diagnostic_context().final_hook = nullptr;
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  printer().store.sink = sink;
  printer().store.flush_on_request = true;
  diagnostic_context_finish(&diagnostic_context());
  EXPECT_EQ(diagnostic_context().output_printer, nullptr);
  EXPECT_EQ(std::ftell(sink), 0);
  std::fclose(sink);
}

TEST_F(Delivery, ReportingWorksBeforeInitialisationAndAfterFinishing) {
  diagnostic_context().output_printer.reset();
  report_error("late");  // would crash without a fresh printer
  EXPECT_TRUE(diagnostic_context().output_printer != nullptr);
  EXPECT_EQ(count(DiagnosticKind::kError), 1);
}

// Faults of the layer's callers end the run as internal errors instead of
// writing past the counters or hiding the failure.
TEST(DeliveryDeathTest, CallerFaultsAreInternalErrors) {
  diagnostic_context_init(&diagnostic_context(), 0);
  diagnostic_context().program_name = "vorn-cxx";
  EXPECT_EXIT(report_with_kind(DiagnosticKind::kLastKind, current_location, 0, "no such kind"),
              ::testing::ExitedWithCode(4), "internal compiler error: in deliver_diagnostic, at ");
  EXPECT_EXIT(report_with_kind(static_cast<DiagnosticKind>(-3), current_location, 0, "neither"),
              ::testing::ExitedWithCode(4), "in deliver_diagnostic");
  // A direct print through the context's printer that fails half-way is
  // reported as the failure it is, not as a failure of the report after it.
  EXPECT_EXIT(diagnostic_context().output_printer->print("x %D", 1), ::testing::ExitedWithCode(4),
              "in pp_format, at format_directives.cc");
  diagnostic_output_format_init(&diagnostic_context(), "a", 0);  // text: nothing changes
  EXPECT_EQ(diagnostic_context().after_message_hook, text_finalizer);
  EXPECT_EXIT(diagnostic_output_format_init(&diagnostic_context(), "a", 1),
              ::testing::ExitedWithCode(4), "in diagnostic_output_format_init");
  // A counter-only kind is printed, but has no action afterwards.
  EXPECT_EXIT(report_with_kind(DiagnosticKind::kWarningAsError, current_location, 0, "counter"),
              ::testing::ExitedWithCode(4),
              "vorn-cxx: error: counter\n.*in diagnostic_action_after_output, at ");
  DiagnosticRecord record;
  record.kind = DiagnosticKind::kLastKind;
  EXPECT_EXIT(build_prefix(diagnostic_context(), record), ::testing::ExitedWithCode(4),
              "in diagnostic_build_prefix");
  record.kind = static_cast<DiagnosticKind>(-1);
  EXPECT_EXIT(build_prefix(diagnostic_context(), record), ::testing::ExitedWithCode(4),
              "in diagnostic_build_prefix");
}

TEST(DeliveryDeathTest, InternalErrorsAfterSorriesAndAtSourceLocations) {
  diagnostic_context_init(&diagnostic_context(), 0);
  diagnostic_context().program_name = "vorn-cxx";
  EXPECT_EXIT(
      {
        report_sorry("first");
        internal_error("second");
      },
      ::testing::ExitedWithCode(4),
      "vorn-cxx: sorry, unimplemented: first\nvorn-cxx:0: confused by earlier errors, bailing out\n$");
  diagnostic_context().expand_location = expand_test_location;
  EXPECT_EXIT(
      {
        error_at(10, "first");
        report_with_kind(DiagnosticKind::kInternalError, 10, 0, "second");
      },
      ::testing::ExitedWithCode(4),
      "a.cc:3: error: first\na.cc:3: confused by earlier errors, bailing out\n$");
  diagnostic_context().expand_location = nullptr;
}

TEST(DiagnosticContextInit, KeepsTheProgramNameAndReadsExtraOutput) {
  diagnostic_context().program_name = "tool";
  {
    ScopedEnv extra("VORN_EXTRA_DIAGNOSTIC_OUTPUT", "fixits-v2");
    diagnostic_context_init(&diagnostic_context(), 3);
  }
  EXPECT_EQ(diagnostic_context().program_name, "tool");
  EXPECT_EQ(diagnostic_context().fixit_output_mode, 2);
  EXPECT_EQ(diagnostic_context().option_kinds.size(), 3u);
  {
    ScopedEnv extra("VORN_EXTRA_DIAGNOSTIC_OUTPUT", "fixits-v3");
    diagnostic_context_init(&diagnostic_context(), 0);
  }
  EXPECT_EQ(diagnostic_context().fixit_output_mode, 0);
  {
    ScopedEnv extra("VORN_EXTRA_DIAGNOSTIC_OUTPUT", "fixits-v1");
    diagnostic_context_init(&diagnostic_context(), 0);
  }
  EXPECT_EQ(diagnostic_context().fixit_output_mode, 1);
  diagnostic_context().program_name = "vorn-cxx";
}

TEST(TerminalWidth, OnlyPositiveIntegersCount) {
  {
    ScopedEnv columns("COLUMNS", "80");
    EXPECT_EQ(terminal_width(), 80);
  }
  for (const char* bad : {"", "0", "-4", "80x", "abc", "99999999999", "99999999999999999999"}) {
    ScopedEnv columns("COLUMNS", bad);
    EXPECT_EQ(terminal_width(), INT_MAX) << bad;
  }
  ScopedEnv columns("COLUMNS", nullptr);
  EXPECT_EQ(terminal_width(), INT_MAX);
}

TEST(TrimSourcePath, KeepsThePathBelowTheSourceRoot) {
  // This file lives at tests/unit/diagnostics/ below the root.
  EXPECT_STREQ(trim_source_path(__FILE__), "tests/unit/diagnostics/delivery_test.cc");
  EXPECT_STREQ(trim_source_path("../../options/decode.cc"), "options/decode.cc");
  EXPECT_STREQ(trim_source_path("../diagnostics/utf8.cc"), "utf8.cc");
  // Paths outside the source tree, and dot names that are not "../", stay.
  EXPECT_STREQ(trim_source_path("/elsewhere/diagnostics/x.cc"), "/elsewhere/diagnostics/x.cc");
  EXPECT_STREQ(trim_source_path("./x.cc"), "./x.cc");
  EXPECT_STREQ(trim_source_path("..x/y.cc"), "..x/y.cc");
}

}  // namespace
}  // namespace vorn
