// The C++ library's failures inside a program linked like vorn-cxx: no
// uncaught exception, but the driver's own reports and exit statuses.
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace vorn {
namespace {

struct ProbeResult {
  std::string first_line;
  int status;
};

ProbeResult run_probe(const char* scenario) {
#ifdef VORN_RUNTIME_FAILURE_PROBE
  std::string command = std::string("env LC_ALL=C ") + VORN_RUNTIME_FAILURE_PROBE + " " + scenario +
                        " 2>&1 >/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {"popen failed", -1};
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  int status = pclose(pipe);
  // The out-of-memory report begins with a newline of its own.
  std::size_t start = text.find_first_not_of('\n');
  text = start == std::string::npos ? std::string() : text.substr(start);
  return {text.substr(0, text.find('\n')), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
#else
  (void)scenario;
  return {};
#endif
}

TEST(RuntimeFailures, ReportedByTheDriver) {
#ifndef VORN_RUNTIME_FAILURE_PROBE
  GTEST_SKIP() << "the C++ runtime is shared in this build";
#endif
  ProbeResult position = run_probe("position");
  EXPECT_EQ(position.first_line,
            "vorn-cxx: internal compiler error: basic_string::substr: __pos (which is 5) > "
            "this->size() (which is 3)");
  EXPECT_EQ(position.status, 4);

  ProbeResult null = run_probe("null");
  EXPECT_EQ(null.first_line,
            "vorn-cxx: internal compiler error: basic_string: construction from null is not valid");
  EXPECT_EQ(null.status, 4);

  for (const char* scenario : {"length", "allocation", "array-length"}) {
    ProbeResult too_much = run_probe(scenario);
    EXPECT_EQ(too_much.first_line, "memory exhausted") << scenario;
    EXPECT_EQ(too_much.status, 1) << scenario;
  }
}

}  // namespace
}  // namespace vorn
