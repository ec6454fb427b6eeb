#include <cerrno>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "diagnostics/diagnostic_context.h"
#include "diagnostics/pretty_printer.h"
#include "test_support.h"

namespace vorn {
namespace {

using testing::format_message;

TEST(FormatDirectives, QuotedStringsEscapeWhatATerminalWouldMisread) {
  EXPECT_EQ(format_message("%qs", "a\tb"), "'a\\x09b'");
  EXPECT_EQ(format_message("%qs", "caf\xc3\xa9"), "'caf\xc3\xa9'");
  EXPECT_EQ(format_message("%qs", "caf\xe9"), "'caf\\xe9'");
  EXPECT_EQ(format_message("%qs", "\x1b[31m"), "'\\x1b[31m'");
  EXPECT_EQ(format_message("%qs", "\xc0\x80"), "'\\xc0\\x80'");  // overlong NUL
  // Without "q" a string is copied as it is.
  EXPECT_EQ(format_message("%s", "a\tb"), "a\tb");
  EXPECT_EQ(format_message("%qc|%c|%qc", 'x', 'y', 1), "'x'|y|'\\x01'");
}

TEST(FormatDirectives, Integers) {
  EXPECT_EQ(format_message("%wx", static_cast<std::uint64_t>(255)), "0xff");
  EXPECT_EQ(format_message("%x", 255u), "ff");
  EXPECT_EQ(format_message("%d %i %u %o", -5, 7, 4000000000u, 8u), "-5 7 4000000000 10");
  EXPECT_EQ(format_message("%ld %lu", -1L, 1UL << 40), "-1 1099511627776");
  EXPECT_EQ(format_message("%lld %llx", -9000000000LL, 0xabcdef012345ULL),
            "-9000000000 abcdef012345");
  EXPECT_EQ(
      format_message("%wd %wu", static_cast<std::int64_t>(-3), static_cast<std::uint64_t>(1) << 63),
      "-3 9223372036854775808");
  EXPECT_EQ(format_message("%qd", 42), "'42'");
  EXPECT_EQ(format_message("%f", 1.5), "1.500000");
  int object = 0;
  char pointer[32];
  std::snprintf(pointer, sizeof pointer, "%p", static_cast<void*>(&object));
  EXPECT_EQ(format_message("%p", static_cast<void*>(&object)), pointer);
}

TEST(FormatDirectives, Precision) {
  EXPECT_EQ(format_message("%.*s", 3, "abcdef"), "abc");
  EXPECT_EQ(format_message("%.*s", -1, "abcdef"), "abcdef");
  EXPECT_EQ(format_message("%.*s|", 10, "ab"), "ab|");
  EXPECT_EQ(format_message("%.2s", "abcdef"), "ab");
  // The precision's slot comes right before the string's.
  EXPECT_EQ(format_message("%s %.*s %d", "x", 2, "yyyy", 7), "x yy 7");
  EXPECT_EQ(format_message("%2$.*1$s", 4, "abcdefgh"), "abcd");
  // Text cut by a precision is taken as it is, even when quoted.
  EXPECT_EQ(format_message("%q.*s", 2, "\t\tx"), "'\t\t'");
}

TEST(FormatDirectives, NumberedArgumentsFollowTheirSlots) {
  EXPECT_EQ(format_message("%2$s then %1$d", 1, "two"), "two then 1");
  EXPECT_EQ(format_message("%3$s%1$s%2$s", "a", "b", "c"), "cab");
}

TEST(FormatDirectives, DirectivesWithoutArguments) {
  EXPECT_EQ(format_message("100%% %<x%> it%'s"), "100% 'x' it's");
  EXPECT_EQ(format_message("%R%}"), "");  // colour and links are off
}

TEST(FormatDirectives, ErrnoIsTheOneSavedWithTheMessage) {
  PrettyPrinter printer;
  va_list* no_args = nullptr;
  MessageText text{"open: %m", no_args, ENOENT, nullptr};
  errno = EACCES;
  printer.format(text);
  printer.output_formatted_text();
  EXPECT_EQ(printer.text(), std::string("open: ") + std::strerror(ENOENT));
}

TEST(FormatDirectives, ColoursLinksAndEvents) {
  PrettyPrinter printer;
  printer.colour_on = true;
  printer.link_style = 2;
  DiagnosticEventId event{2};
  printer.print("%<q%> %rred%R %{link%} %@", "error", "https://x.invalid/", &event);
  EXPECT_EQ(printer.text(),
            "'\033[01m\033[Kq\033[m\033[K' \033[01;31m\033[Kred\033[m\033[K "
            "\033]8;;https://x.invalid/\alink\033]8;;\a "
            "\033[01;36m\033[K(3)\033[m\033[K");

  PrettyPrinter plain;
  plain.print("%rred%R %r", "error", "no-such-colour");
  EXPECT_EQ(plain.text(), "red ");
}

TEST(FormatDirectives, IntArraysAndMissingStrings) {
  int values[] = {3, -1, 40};
  EXPECT_EQ(format_message("[%Z]", values, 3u), "[3, -1, 40]");
  EXPECT_EQ(format_message("[%Z]", values, 0u), "[]");
  EXPECT_EQ(format_message("%s|%qs", static_cast<const char*>(nullptr),
                           static_cast<const char*>(nullptr)),
            "(null)|'(null)'");
}

bool decode_client_directive(PrettyPrinter& printer, const ExtraDirective& directive) {
  if (directive.conversion != 'D') return false;
  int value = va_arg(*directive.args, int);
  if (directive.plus) *directive.quote = false;  // "+" asks for its own quoting here
  printer.append_string(directive.hash ? "#" : "");
  printer.append_string(directive.plus ? "<" : "");
  printer.append_string(std::to_string(value * 2));
  printer.append_string(directive.plus ? ">" : "");
  return true;
}

TEST(FormatDirectives, ClientDirectives) {
  PrettyPrinter printer;
  printer.extra_directive_hook = decode_client_directive;
  printer.print("%D %qD %q+D %#D %s", 1, 2, 3, 4, "end");
  EXPECT_EQ(printer.text(), "2 '4' <6> #8 end");
}

int conversions_seen = 0;

void count_conversions(PrettyPrinter&) {
  ++conversions_seen;
}

TEST(FormatDirectives, TheClientHearsOfEachConvertedMessage) {
  PrettyPrinter printer;
  printer.after_conversion_hook = count_conversions;
  conversions_seen = 0;
  printer.print("%s", "one");
  printer.print("two");
  EXPECT_EQ(conversions_seen, 2);
  EXPECT_EQ(printer.text(), "onetwo");
}

TEST(FormatDirectives, OutOfRangePrecisionsAndMissingLinks) {
  // A precision beyond any string length takes the whole string.
  EXPECT_EQ(format_message("%.99999999999s|", "abc"), "abc|");
  // A missing URL still makes a link, to nowhere, so that "%}" is matched.
  PrettyPrinter printer;
  printer.link_style = 2;
  printer.print("%{here%}", static_cast<const char*>(nullptr));
  EXPECT_EQ(printer.text(), "\033]8;;\ahere\033]8;;\a");
}

// A client that prints a message of its own while one is being converted.
bool print_while_converting(PrettyPrinter& printer, const ExtraDirective& directive) {
  va_arg(*directive.args, int);
  printer.print("inner");
  return true;
}

// Malformed formats are faults of the program and end it as internal errors.
TEST(FormatDirectivesDeathTest, MalformedFormats) {
  diagnostic_context_init(&diagnostic_context(), 0);
  const char* kFault = "in pp_format, at format_directives.cc";
  EXPECT_EXIT(format_message("ends in %"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%1$s %s", "a", "b"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%1$s %1$s", "a"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%2$s", "a", "b"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%qqs", "a"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%wlx", 1L), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%lllx", 1LL), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%.3d", 1), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%.s", "a"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%5d", 1), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%D", 1), ::testing::ExitedWithCode(4), kFault);
  DiagnosticEventId unknown;
  EXPECT_EXIT(format_message("%@", &unknown), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%@", static_cast<DiagnosticEventId*>(nullptr)),
              ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%0$s", "a"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%3$.*1$s", 1, "a"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("ends in %q"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%wwx", 1L), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%++d", 1), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message("%##d", 1), ::testing::ExitedWithCode(4), kFault);
  // A client directive the client declines.
  PrettyPrinter client;
  client.extra_directive_hook = decode_client_directive;
  EXPECT_EXIT(client.print("%E", 1), ::testing::ExitedWithCode(4), kFault);
}

TEST(FormatDirectivesDeathTest, OutputWithoutAFinishedMessage) {
  diagnostic_context_init(&diagnostic_context(), 0);
  const char* kFault = "in pp_output_formatted_text, at format_directives.cc";
  PrettyPrinter printer;
  EXPECT_EXIT(printer.output_formatted_text(), ::testing::ExitedWithCode(4), kFault);
  printer.extra_directive_hook = print_while_converting;
  EXPECT_EXIT(printer.print("outer %D", 1), ::testing::ExitedWithCode(4), kFault);
}

TEST(FormatDirectivesDeathTest, Limits) {
  diagnostic_context_init(&diagnostic_context(), 0);
  const char* kFault = "in pp_format";
  // 30 arguments are fine, 31 are not.
  std::string thirty;
  for (int i = 0; i < 30; ++i) thirty += "%c";
  EXPECT_EQ(format_message(thirty.c_str(), 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k',
                           'l', 'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y',
                           'z', '0', '1', '2', '3'),
            "abcdefghijklmnopqrstuvwxyz0123");
  EXPECT_EXIT(format_message("%31$s", "a"), ::testing::ExitedWithCode(4), kFault);
  EXPECT_EXIT(format_message((thirty + "%c").c_str(), 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i',
                             'j', 'k', 'l', 'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w',
                             'x', 'y', 'z', '0', '1', '2', '3', '4'),
              ::testing::ExitedWithCode(4), kFault);
  // 30 arguments between literals make 61 chunks.
  std::string chunky;
  for (int i = 0; i < 30; ++i) chunky += "-%c";
  chunky += "-";
  EXPECT_EXIT(format_message(chunky.c_str(), 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k',
                             'l', 'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y',
                             'z', '0', '1', '2', '3'),
              ::testing::ExitedWithCode(4), kFault);
}

}  // namespace
}  // namespace vorn
