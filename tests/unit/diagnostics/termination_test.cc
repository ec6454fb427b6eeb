// The exact bytes and exit statuses of whole reports, as the probe program
// writes them to standard error.
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "config.h"

namespace vorn {
namespace {

struct ProbeResult {
  std::string stderr_text;
  int status;
};

ProbeResult run_probe(const std::string& scenario, const std::string& mode = "plain") {
  std::string command = "env -u VORN_COLORS -u VORN_EXTRA_DIAGNOSTIC_OUTPUT LC_ALL=C " +
                        std::string(VORN_DIAGNOSTIC_PROBE) + " " + scenario + " " + mode +
                        " 2>&1 >/dev/null";
  ProbeResult result;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {"popen failed", -1};
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    result.stderr_text.append(buffer, n);
  }
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

const std::string kBugTail = std::string("See ") + config::kBugReportUrl + " for instructions.\n";
const std::string kSubmit =
    "Please submit a full bug report, with preprocessed source (by using -freport-bug).\n";

// Colour sequences of the default table.
const std::string kLocus = "\033[01m\033[K";
const std::string kStop = "\033[m\033[K";
const std::string kErrorColour = "\033[01;31m\033[K";

TEST(Termination, ErrorWarningAndNote) {
  ProbeResult plain = run_probe("kinds");
  EXPECT_EQ(plain.stderr_text,
            "vorn-cxx: error: unrecognized command-line option '-foo'\n"
            "vorn-cxx: warning: '-bar' is deprecated\n"
            "vorn-cxx: note: valid arguments are: always auto never\n");
  EXPECT_EQ(plain.status, 1);

  ProbeResult coloured = run_probe("kinds", "colour");
  EXPECT_EQ(coloured.stderr_text,
            kLocus + "vorn-cxx:" + kStop + " " + kErrorColour + "error: " + kStop +
                "unrecognized command-line option '" + kLocus + "-foo" + kStop + "'\n" + kLocus +
                "vorn-cxx:" + kStop + " \033[01;35m\033[Kwarning: " + kStop + "'" + kLocus +
                "-bar" + kStop + "' is deprecated\n" + kLocus + "vorn-cxx:" + kStop +
                " \033[01;36m\033[Knote: " + kStop + "valid arguments are: always auto never\n");
}

TEST(Termination, FatalErrorEndsWithStatusOne) {
  ProbeResult plain = run_probe("fatal");
  EXPECT_EQ(plain.stderr_text, "vorn-cxx: fatal error: no input files\ncompilation terminated.\n");
  EXPECT_EQ(plain.status, 1);

  ProbeResult coloured = run_probe("fatal", "colour");
  EXPECT_EQ(coloured.stderr_text, kLocus + "vorn-cxx:" + kStop + " " + kErrorColour +
                                      "fatal error: " + kStop +
                                      "no input files\ncompilation terminated.\n");
  EXPECT_EQ(coloured.status, 1);

  ProbeResult with_errno = run_probe("fatal-errno");
  EXPECT_EQ(with_errno.stderr_text,
            "vorn-cxx: fatal error: cannot read 'specs': No such file or directory\n"
            "compilation terminated.\n");
}

TEST(Termination, ExitHandlersReportAfterTheRunEnded) {
  // What the program's cleanup reports once a fatal error or an internal
  // error has ended the run comes after that report; the status stays.
  ProbeResult fatal = run_probe("fatal-then-exit-report");
  EXPECT_EQ(fatal.stderr_text,
            "vorn-cxx: fatal error: no input files\ncompilation terminated.\n"
            "vorn-cxx: error: cannot delete 'a.s'\n");
  EXPECT_EQ(fatal.status, 1);

  ProbeResult ice = run_probe("ice-then-exit-report");
  EXPECT_EQ(ice.stderr_text, "vorn-cxx: internal compiler error: child died\n" + kSubmit +
                                 kBugTail + "vorn-cxx: error: cannot delete 'a.s'\n");
  EXPECT_EQ(ice.status, 4);
}

TEST(Termination, HooksOfAnInternalError) {
  ProbeResult result = run_probe("ice-hooks");
  EXPECT_EQ(result.stderr_text,
            "internal error hook: child died\n"
            "vorn-cxx: internal compiler error: child died\n"
            "ice hook\n" +
                kSubmit + kBugTail);
  EXPECT_EQ(result.status, 4);
}

// With abort_instead_of_exit every path that would end the process aborts
// instead, right after the message; an internal error after other errors is
// reported rather than taken for their consequence.
TEST(Termination, AbortInsteadOfExit) {
  // The shell that ran the probe may add its own line about the abort.
  auto starts_with = [](const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
  };
  ProbeResult error = run_probe("abort-error");
  EXPECT_PRED2(starts_with, error.stderr_text, "vorn-cxx: error: first\n");
  EXPECT_EQ(error.status, 128 + SIGABRT);
  ProbeResult fatal = run_probe("abort-fatal");
  EXPECT_PRED2(starts_with, fatal.stderr_text, "vorn-cxx: fatal error: no input files\n");
  EXPECT_EQ(fatal.status, 128 + SIGABRT);
  ProbeResult ice = run_probe("abort-ice");
  EXPECT_PRED2(starts_with, ice.stderr_text,
               "vorn-cxx: error: first\n"
               "vorn-cxx: internal compiler error: child died\n");
  EXPECT_EQ(ice.stderr_text.find("Please submit"), std::string::npos);
  EXPECT_EQ(ice.status, 128 + SIGABRT);
}

TEST(Termination, InternalErrorWithoutBacktrace) {
  ProbeResult plain = run_probe("ice-no-backtrace");
  EXPECT_EQ(plain.stderr_text,
            "vorn-cxx: internal compiler error: cxxfe1 terminated with signal 11 "
            "[Segmentation fault]\n" +
                kSubmit + kBugTail);
  EXPECT_EQ(plain.status, 4);

  ProbeResult coloured = run_probe("ice-no-backtrace", "colour");
  EXPECT_EQ(coloured.stderr_text, kLocus + "vorn-cxx:" + kStop + " " + kErrorColour +
                                      "internal compiler error: " + kStop +
                                      "cxxfe1 terminated with signal 11 [Segmentation fault]\n" +
                                      kSubmit + kBugTail);

  ProbeResult full = run_probe("ice-report-bug");
  EXPECT_EQ(full.stderr_text,
            "vorn-cxx: internal compiler error: child died\n"
            "Please submit a full bug report, with preprocessed source.\n" +
                kBugTail);
}

TEST(Termination, InternalErrorWithBacktrace) {
  ProbeResult result = run_probe("ice");
  EXPECT_EQ(result.status, 4);
  // The frames depend on the build; their shape and the probe's own frame
  // do not.
  std::regex shape(
      "vorn-cxx: internal compiler error: unexpected state 3\n"
      "(0x[0-9a-f]+ [^\n]+\n\t[^\n]+:[0-9]+\n)+"
      "Please submit a full bug report, with preprocessed source \\(by using -freport-bug\\)\\.\n"
      "Please include the complete backtrace with any bug report\\.\n"
      "See <[^>]+> for instructions\\.\n");
  EXPECT_TRUE(std::regex_match(result.stderr_text, shape)) << result.stderr_text;
  EXPECT_NE(result.stderr_text.find(" probe_failing_function()\n"), std::string::npos)
      << result.stderr_text;
  // The layer's own frames and everything from main outward are left out.
  EXPECT_EQ(result.stderr_text.find("vorn::internal_error"), std::string::npos);
  EXPECT_EQ(result.stderr_text.find(" main"), std::string::npos);
}

TEST(Termination, InternalErrorAfterErrorsBailsOut) {
  ProbeResult result = run_probe("confused");
  EXPECT_EQ(result.stderr_text,
            "vorn-cxx: error: first problem\n"
            "vorn-cxx:0: confused by earlier errors, bailing out\n");
  EXPECT_EQ(result.status, 4);
}

TEST(Termination, FaultsInsideTheLayerAreInternalErrors) {
  ProbeResult bad = run_probe("bad-format");
  EXPECT_EQ(bad.status, 4);
  EXPECT_EQ(bad.stderr_text.rfind("\nvorn-cxx: internal compiler error: in pp_format, at "
                                  "format_directives.cc:",
                                  0),
            0u)
      << bad.stderr_text;

  ProbeResult reentered = run_probe("reentry");
  EXPECT_EQ(reentered.status, 4);
  EXPECT_EQ(reentered.stderr_text.rfind(
                "\ninternal compiler error: error reporting routines re-entered.\n", 0),
            0u)
      << reentered.stderr_text;
  EXPECT_NE(reentered.stderr_text.find(kBugTail), std::string::npos);

  // An internal error raised while formatting is reported as itself: the
  // interrupted line is ended, and the report follows.
  ProbeResult internal = run_probe("internal-error-while-formatting");
  EXPECT_EQ(internal.stderr_text,
            "\nvorn-cxx: internal compiler error: child died\n" + kSubmit + kBugTail);
  EXPECT_EQ(internal.status, 4);
}

TEST(Termination, ErrorLimits) {
  ProbeResult fatal_errors = run_probe("fatal-errors");
  EXPECT_EQ(fatal_errors.stderr_text,
            "vorn-cxx: error: first\ncompilation terminated due to -Wfatal-errors.\n");
  EXPECT_EQ(fatal_errors.status, 1);

  // Notes are neither counted nor tested; the next diagnostic after the
  // limit, a warning here, ends the run.
  ProbeResult max_errors = run_probe("max-errors");
  EXPECT_EQ(max_errors.stderr_text,
            "vorn-cxx: error: one\nvorn-cxx: note: a note is not counted\n"
            "vorn-cxx: error: two\nvorn-cxx: note: nor tested\n"
            "compilation terminated due to -fmax-errors=2.\n");
  EXPECT_EQ(max_errors.status, 1);
}

TEST(Termination, FatalErrorRunsTheFinalHookBeforeItsLine) {
  ProbeResult result = run_probe("werror-final");
  EXPECT_EQ(result.stderr_text,
            "vorn-cxx: error: promoted\nvorn-cxx: fatal error: giving up\n"
            "vorn-cxx: all warnings being treated as errors\ncompilation terminated.\n");
  EXPECT_EQ(result.status, 1);
}

TEST(Termination, VerbatimAndNormalEnd) {
  ProbeResult result = run_probe("verbatim");
  EXPECT_EQ(result.stderr_text, "vorn-cxx: 2 warnings\n");
  EXPECT_EQ(result.status, 0);
}

}  // namespace
}  // namespace vorn
