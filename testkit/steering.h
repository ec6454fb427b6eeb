// Steering the stand-in through the environment: what a test asks one tool
// (or every tool) to do besides its ordinary work.
#ifndef VORN_TESTKIT_STEERING_H
#define VORN_TESTKIT_STEERING_H

#include <optional>
#include <string>
#include <string_view>

namespace vorn::testkit {

// The value that a list such as "3" or "as=2,ld=5" gives TOOL: items are
// separated by ",", "TOOL=VALUE" applies to that tool only and a plain
// "VALUE" to every tool; an item naming the tool wins over a plain one.
// Nothing when no item applies (or LIST is null).
std::optional<std::string> steering_value(const char* list, std::string_view tool);

// The same for a text that may itself hold commas ("TEXT" or "TOOL=TEXT",
// never split).  The part before the first "=" names a tool only when it
// looks like a program name, so "x = 1" is a plain text.
std::optional<std::string> steering_text(const char* value, std::string_view tool);

// A signal given by number ("11") or name ("SEGV", "SIGSEGV"); 0 when unknown.
int parse_signal(std::string_view text);

// A non-negative exit status given in decimal; nothing when malformed.
std::optional<int> parse_status(std::string_view text);

}  // namespace vorn::testkit

#endif  // VORN_TESTKIT_STEERING_H
