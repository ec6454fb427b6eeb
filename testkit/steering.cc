#include "testkit/steering.h"

#include <csignal>

namespace vorn::testkit {

namespace {

struct SignalName {
  const char* name;
  int number;
};

constexpr SignalName kSignals[] = {
    {"HUP", SIGHUP},   {"INT", SIGINT},   {"QUIT", SIGQUIT}, {"ILL", SIGILL},   {"TRAP", SIGTRAP},
    {"ABRT", SIGABRT}, {"BUS", SIGBUS},   {"FPE", SIGFPE},   {"KILL", SIGKILL}, {"USR1", SIGUSR1},
    {"SEGV", SIGSEGV}, {"USR2", SIGUSR2}, {"PIPE", SIGPIPE}, {"ALRM", SIGALRM}, {"TERM", SIGTERM},
};

bool is_program_name(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '_' || c == '.' || c == '+';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> steering_value(const char* list, std::string_view tool) {
  if (list == nullptr) return std::nullopt;
  std::optional<std::string> plain;
  std::string_view rest = list;
  for (;;) {
    std::size_t comma = rest.find(',');
    std::string_view item = rest.substr(0, comma);
    std::size_t equals = item.find('=');
    if (equals == std::string_view::npos) {
      if (!item.empty()) plain = std::string(item);
    } else if (item.substr(0, equals) == tool) {
      return std::string(item.substr(equals + 1));
    }
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return plain;
}

std::optional<std::string> steering_text(const char* value, std::string_view tool) {
  if (value == nullptr) return std::nullopt;
  std::string_view text = value;
  std::size_t equals = text.find('=');
  if (equals != std::string_view::npos && is_program_name(text.substr(0, equals))) {
    if (text.substr(0, equals) != tool) return std::nullopt;
    return std::string(text.substr(equals + 1));
  }
  return std::string(text);
}

int parse_signal(std::string_view text) {
  if (std::optional<int> number = parse_status(text)) return *number < 65 ? *number : 0;
  if (text.substr(0, 3) == "SIG") text.remove_prefix(3);
  for (const SignalName& signal : kSignals) {
    if (text == signal.name) return signal.number;
  }
  return 0;
}

std::optional<int> parse_status(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace vorn::testkit
