// The stand-in toolchain: one program that plays the compilers proper, the
// assembler, the linkers and the archive tools, chosen by the name it was
// run under.  It records every run for the tests and does just enough of
// each tool's work for the next stage to find what it expects.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "testkit/archive_tools.h"
#include "testkit/generic_tool.h"
#include "testkit/invocation.h"
#include "testkit/run_record.h"
#include "testkit/steering.h"

namespace vorn::testkit {
namespace {

std::string basename_of(const char* path) {
  std::string name = path;
  std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool has_arg(const Invocation& inv, const char* wanted) {
  for (const std::string& arg : inv.args) {
    if (arg == wanted) return true;
  }
  return false;
}

int run_tool(Invocation& inv) {
  if (has_arg(inv, "--help")) {
    std::printf("Usage: %s [options] file...\n", inv.tool.c_str());
    std::printf("The stand-in %s of the Vorn test toolchain.\n", inv.tool.c_str());
    return 0;
  }
  if (has_arg(inv, "--version")) {
    std::printf("standin %s version 1.0\n", inv.tool.c_str());
    return 0;
  }
  if (inv.tool == "ar") return run_ar(inv);
  if (inv.tool == "nm") return run_nm(inv);
  if (inv.tool == "ranlib") return run_ranlib(inv);
  return run_generic_tool(inv);
}

// Applies STANDIN_EXIT and STANDIN_SIGNAL to how the run ends.
RunEnd steered_end(const Invocation& inv, int status) {
  RunEnd end{status, 0};
  if (std::optional<std::string> value = steering_value(std::getenv("STANDIN_EXIT"), inv.tool)) {
    if (std::optional<int> forced = parse_status(*value)) {
      end.exit_status = *forced;
    } else {
      complain(inv, "bad STANDIN_EXIT value '" + *value + "'");
    }
  }
  if (std::optional<std::string> value = steering_value(std::getenv("STANDIN_SIGNAL"), inv.tool)) {
    end.signal_number = parse_signal(*value);
    if (end.signal_number == 0) complain(inv, "bad STANDIN_SIGNAL value '" + *value + "'");
  }
  return end;
}

// STANDIN_SLEEP keeps the tool running for a while after its output was
// written, so that a test can interrupt the driver while a child runs.
void steered_sleep(const Invocation& inv) {
  std::optional<std::string> value = steering_value(std::getenv("STANDIN_SLEEP"), inv.tool);
  if (!value) return;
  std::optional<int> seconds = parse_status(*value);
  if (!seconds) {
    complain(inv, "bad STANDIN_SLEEP value '" + *value + "'");
    return;
  }
  unsigned left = static_cast<unsigned>(*seconds);
  while (left > 0) left = sleep(left);
}

[[noreturn]] void finish(RunEnd end) {
  std::fflush(stdout);
  std::fflush(stderr);
  if (end.signal_number != 0) {
    std::signal(end.signal_number, SIG_DFL);
    std::raise(end.signal_number);
    // A signal that does not kill (or that is blocked) still ends the run.
    _exit(128 + end.signal_number);
  }
  std::exit(end.exit_status);
}

}  // namespace
}  // namespace vorn::testkit

int main(int argc, char** argv) {
  using namespace vorn::testkit;
  Invocation inv;
  inv.argv0 = argc > 0 ? argv[0] : "standin";
  inv.tool = basename_of(inv.argv0.c_str());
  if (argc > 1) inv.args.assign(argv + 1, argv + argc);

  RunEnd end = steered_end(inv, run_tool(inv));
  steered_sleep(inv);
  if (const char* log = std::getenv("STANDIN_LOG"); log != nullptr && *log != '\0') {
    append_record(inv, log, format_record(inv, end));
  }
  if (std::optional<std::string> text = steering_text(std::getenv("STANDIN_STDERR"), inv.tool)) {
    std::fprintf(stderr, "%s\n", text->c_str());
  }
  finish(end);
}
