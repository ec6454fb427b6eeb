#include <string>

#include <gtest/gtest.h>

#include "diagnostics/diagnostic_context.h"
#include "diagnostics/urls.h"
#include "test_support.h"

namespace vorn {
namespace {

using testing::ScopedEnv;
using testing::ScopedStderr;

// Clears every variable the decision reads.
class Links : public ::testing::Test {
 protected:
  ScopedEnv vorn_urls_{"VORN_URLS", nullptr};
  ScopedEnv term_urls_{"TERM_URLS", nullptr};
  ScopedEnv colorterm_{"COLORTERM", nullptr};
  ScopedEnv term_{"TERM", nullptr};
};

TEST_F(Links, StyleFromTheEnvironment) {
  EXPECT_EQ(link_style_from_environment(), kLinksEndWithBel);
  struct Case {
    const char* vorn_urls;
    const char* term_urls;
    int style;
  } cases[] = {
      {"st", nullptr, kLinksEndWithSt},   {"no", nullptr, kLinksNone},
      {"", nullptr, kLinksNone},          {"bel", nullptr, kLinksEndWithBel},
      {"yes", nullptr, kLinksEndWithBel}, {nullptr, "st", kLinksEndWithSt},
      {nullptr, "no", kLinksNone},        {"", "st", kLinksNone},  // set but empty wins
      {"bel", "st", kLinksEndWithBel},
  };
  for (const Case& c : cases) {
    ScopedEnv vorn_urls("VORN_URLS", c.vorn_urls);
    ScopedEnv term_urls("TERM_URLS", c.term_urls);
    EXPECT_EQ(link_style_from_environment(), c.style)
        << (c.vorn_urls ? c.vorn_urls : "(unset)") << " / "
        << (c.term_urls ? c.term_urls : "(unset)");
  }
}

TEST_F(Links, NeverAndAlways) {
  ScopedEnv urls("VORN_URLS", "st");
  EXPECT_EQ(decide_link_style(kModeNever), kLinksNone);
  EXPECT_EQ(decide_link_style(kModeAlways), kLinksEndWithSt);  // no terminal needed
}

TEST_F(Links, AutoOutsideATerminal) {
  ScopedEnv term("TERM", "xterm-256color");
  ScopedStderr file(false);
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(decide_link_style(kModeAuto), kLinksNone);
  EXPECT_EQ(decide_link_style(-1), kLinksNone);
}

TEST_F(Links, AutoInATerminal) {
  ScopedStderr terminal(true);
  ASSERT_TRUE(terminal.ok());
  EXPECT_EQ(decide_link_style(kModeAuto), kLinksNone);  // TERM unset
  {
    ScopedEnv term("TERM", "dumb");
    EXPECT_EQ(decide_link_style(kModeAuto), kLinksNone);
  }
  {
    ScopedEnv term("TERM", "xterm-256color");
    EXPECT_EQ(decide_link_style(kModeAuto), kLinksEndWithBel);
    EXPECT_EQ(decide_link_style(-1), kLinksEndWithBel);
    ScopedEnv urls("VORN_URLS", "st");
    for (const char* printing_terminal : {"gnome-terminal", "xfce4-terminal"}) {
      ScopedEnv colorterm("COLORTERM", printing_terminal);
      EXPECT_EQ(decide_link_style(kModeAuto), kLinksNone);  // even when asked for
    }
  }
  for (const char* plain_terminal : {"xterm", "linux"}) {
    ScopedEnv term("TERM", plain_terminal);
    EXPECT_EQ(decide_link_style(kModeAuto), kLinksNone) << plain_terminal;
    {
      ScopedEnv urls("TERM_URLS", "st");
      EXPECT_EQ(decide_link_style(kModeAuto), kLinksEndWithSt);
    }
    {
      ScopedEnv urls("VORN_URLS", "bel");
      EXPECT_EQ(decide_link_style(kModeAuto), kLinksEndWithBel);
    }
    ScopedEnv colorterm("COLORTERM", "truecolor");
    EXPECT_EQ(decide_link_style(kModeAuto), kLinksEndWithBel);
  }
}

TEST_F(Links, TextsOfEachStyle) {
  PrettyPrinter printer;
  for (int style : {kLinksNone, kLinksEndWithSt, kLinksEndWithBel}) {
    printer.link_style = style;
    printer.begin_url("https://vorn.invalid/x");
    printer.append_string("text");
    printer.append_string(printer.end_url_string());
    printer.append_string("|");
  }
  EXPECT_EQ(printer.text(),
            "text|"
            "\033]8;;https://vorn.invalid/x\033\\text\033]8;;\033\\|"
            "\033]8;;https://vorn.invalid/x\atext\033]8;;\a|");
  EXPECT_STREQ(url_start_prefix(kLinksNone), "");
  EXPECT_STREQ(url_start_suffix(kLinksNone), "");
}

TEST_F(Links, ContextModesSetThePrinter) {
  diagnostic_context_init(&diagnostic_context(), 0);
  ScopedEnv urls("VORN_URLS", "st");
  set_url_mode(&diagnostic_context(), kModeAlways);
  EXPECT_EQ(diagnostic_context().output_printer->link_style, kLinksEndWithSt);
  set_url_mode(&diagnostic_context(), kModeNever);
  EXPECT_EQ(diagnostic_context().output_printer->link_style, kLinksNone);
  set_color_mode(&diagnostic_context(), kModeAlways);
  EXPECT_TRUE(diagnostic_context().output_printer->colour_on);
  set_color_mode(&diagnostic_context(), kModeNever);
  EXPECT_FALSE(diagnostic_context().output_printer->colour_on);
  // A decision made while the context has no printer is not lost.
  diagnostic_context().output_printer.reset();
  set_url_mode(&diagnostic_context(), kModeAlways);
  ASSERT_TRUE(diagnostic_context().output_printer != nullptr);
  EXPECT_EQ(diagnostic_context().output_printer->link_style, kLinksEndWithSt);
}

TEST_F(Links, UnknownModesAndStylesAreInternalErrors) {
  diagnostic_context_init(&diagnostic_context(), 0);
  EXPECT_EXIT(decide_link_style(3), ::testing::ExitedWithCode(4), "in determine_url_format");
  EXPECT_EXIT(url_start_prefix(3), ::testing::ExitedWithCode(4), "in pp_begin_url");
  EXPECT_EXIT(url_start_suffix(3), ::testing::ExitedWithCode(4), "in pp_begin_url");
  EXPECT_EXIT(url_end(-1), ::testing::ExitedWithCode(4), "in get_end_url_string");
}

}  // namespace
}  // namespace vorn
