#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "diagnostics/backtrace.h"

namespace vorn {
namespace {

using Verdict = BacktraceFilter::Verdict;

BacktraceFrame frame(const char* function, const char* file = "") {
  BacktraceFrame result;
  result.address = 0x1000;
  result.function = function;
  result.file = file;
  return result;
}

TEST(BacktraceFilter, SkipsNamelessFramesAndTheLayerUpToTheFirstPrintedOne) {
  BacktraceFilter filter;
  EXPECT_EQ(filter.judge(frame("")), Verdict::kSkip);
  EXPECT_EQ(filter.judge(frame("vorn::internal_error(char const*, ...)")), Verdict::kSkip);
  EXPECT_EQ(filter.judge(frame("vorn::deliver_diagnostic(vorn::DiagnosticContext*, "
                               "vorn::DiagnosticRecord*)")),
            Verdict::kSkip);
  EXPECT_EQ(filter.judge(frame("", "decode.cc")), Verdict::kPrint);  // a file is enough
  // Once something was printed, the layer's frames are shown like any other.
  EXPECT_EQ(filter.judge(frame("vorn::internal_error(char const*, ...)")), Verdict::kPrint);
  EXPECT_EQ(filter.printed(), 2);

  // With file names, the layer's files are known by their base names alone.
  BacktraceFilter by_file;
  EXPECT_EQ(by_file.judge(frame("", "/src/diagnostics/delivery.cc")), Verdict::kSkip);
  EXPECT_EQ(by_file.judge(frame("f()", "check.cc")), Verdict::kSkip);
  EXPECT_EQ(by_file.judge(frame("g()", "options/xcheck.cc")), Verdict::kPrint);
  EXPECT_EQ(by_file.judge(frame("", "delivery.cc")), Verdict::kPrint);
}

TEST(BacktraceFilter, StopsAtTheOuterLoopsAndAfterTwentyFrames) {
  BacktraceFilter filter;
  EXPECT_EQ(filter.judge(frame("mainly_harmless()")), Verdict::kPrint);
  EXPECT_EQ(filter.judge(frame("main")), Verdict::kStop);
  EXPECT_EQ(BacktraceFilter().judge(frame("main(int, char**)")), Verdict::kStop);
  EXPECT_EQ(BacktraceFilter().judge(frame("toplev::main(int, char**)")), Verdict::kStop);
  EXPECT_EQ(BacktraceFilter().judge(frame("compile_file")), Verdict::kStop);

  BacktraceFilter deep;
  for (int i = 0; i < 20; ++i) ASSERT_EQ(deep.judge(frame("f()")), Verdict::kPrint);
  EXPECT_EQ(deep.judge(frame("f()")), Verdict::kStop);
}

TEST(Backtrace, FrameTextAndDemangling) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  BacktraceFrame known = frame("vorn::f(int)", "driver/x.cc");
  known.line = 12;
  print_backtrace_frame(out, known);
  print_backtrace_frame(out, frame(""));
  std::rewind(out);
  char buffer[128] = {};
  std::fread(buffer, 1, sizeof buffer - 1, out);
  std::fclose(out);
  EXPECT_STREQ(buffer, "0x1000 vorn::f(int)\n\tdriver/x.cc:12\n0x1000 ???\n\t???:0\n");

  EXPECT_EQ(demangle_symbol("_ZN4vorn3fooEi"), "vorn::foo(int)");
  EXPECT_EQ(demangle_symbol("plain_c_name"), "plain_c_name");
  EXPECT_EQ(demangle_symbol("_Znot_valid"), "_Znot_valid");
  EXPECT_EQ(demangle_symbol(nullptr), "");
}

}  // namespace
}  // namespace vorn
