#include "testkit/run_record.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

namespace vorn::testkit {

namespace {

// Variables that the driver exports or that steer the tools; STANDIN_ENV
// names more.
constexpr const char* kRecordedVariables[] = {
    "COLLECT_VORN",       "COLLECT_VORN_OPTIONS", "COLLECT_AS_OPTIONS",
    "COLLECT_LTO_RUNNER", "OFFLOAD_TARGET_NAMES", "VORN_EXEC_PREFIX",
    "COMPILER_PATH",      "LIBRARY_PATH",         "MAKEFLAGS",
    "SOURCE_DATE_EPOCH",
};

// One record line per item: a newline inside a value is written as "\n" so
// that it cannot start a line of its own.
std::string escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

class RecordWriter {
 public:
  explicit RecordWriter(const std::string& tool) : tool_(tool) {}

  void line(std::string_view text) {
    text_ += tool_;
    text_ += ": ";
    text_ += escape(text);
    text_ += '\n';
  }
  std::string take() { return std::move(text_); }

 private:
  const std::string& tool_;
  std::string text_;
};

void add_environment(RecordWriter& out) {
  auto add = [&out](const std::string& name) {
    if (const char* value = std::getenv(name.c_str())) out.line("env " + name + "=" + value);
  };
  for (const char* name : kRecordedVariables) add(name);
  if (const char* extra = std::getenv("STANDIN_ENV")) {
    std::string_view rest = extra;
    while (!rest.empty()) {
      std::size_t comma = rest.find(',');
      std::string name(rest.substr(0, comma));
      if (!name.empty()) add(name);
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
}

}  // namespace

std::string format_record(const Invocation& inv, RunEnd end) {
  RecordWriter out(inv.tool);
  std::string summary = "run";
  for (const std::string& arg : inv.args) summary += " " + arg;
  out.line(summary);
  out.line("arg0=" + inv.argv0);
  for (std::size_t i = 0; i < inv.args.size(); ++i) {
    const std::string& arg = inv.args[i];
    std::string index = std::to_string(i + 1);
    out.line("arg" + index + "=" + arg);
    // A response file is usually deleted by the time a test looks, so its
    // contents are part of the record.
    std::string contents;
    if (arg.size() > 1 && arg[0] == '@' && read_file(arg.substr(1), contents)) {
      out.line("arg" + index + "@=" + contents);
    }
  }
  add_environment(out);
  if (inv.stdin_bytes >= 0) out.line("stdin=" + std::to_string(inv.stdin_bytes) + " bytes");
  if (end.signal_number != 0) {
    out.line("signal=" + std::to_string(end.signal_number));
  } else {
    out.line("exit=" + std::to_string(end.exit_status));
  }
  return out.take();
}

bool append_record(const Invocation& inv, const char* log_path, const std::string& text) {
  int fd = open(log_path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    complain(inv, std::string("cannot open record file ") + log_path + ": " + std::strerror(errno));
    return false;
  }
  // One write: with O_APPEND the record lands in one piece even when the
  // other stages of a pipeline write theirs at the same time.
  ssize_t written = write(fd, text.data(), text.size());
  int saved = errno;
  close(fd);
  if (written != static_cast<ssize_t>(text.size())) {
    complain(inv, std::string("cannot write record file ") + log_path + ": " +
                      (written < 0 ? std::strerror(saved) : "short write"));
    return false;
  }
  return true;
}

}  // namespace vorn::testkit
