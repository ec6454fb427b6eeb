// The object-like macros of the stand-in preprocessor: enough of a
// preprocessor for assembler sources that name constants and choose blocks
// with #define, #undef, #ifdef, #ifndef, #else and #endif.
#ifndef VORN_TESTKIT_MACROS_H
#define VORN_TESTKIT_MACROS_H

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace vorn::testkit {

class MacroTable {
 public:
  // "NAME" defines NAME as 1, "NAME=BODY" as BODY (as -D does).
  void define_option(std::string_view option);
  void define(const std::string& name, const std::string& body) { macros_[name] = body; }
  void undefine(const std::string& name) { macros_.erase(name); }
  bool defined(const std::string& name) const { return macros_.count(name) != 0; }

  // LINE with every macro name replaced by its body, rescanned; a macro is
  // not expanded inside its own body.  Strings and "//" comments stay as
  // they are.
  std::string expand(std::string_view line) const;

 private:
  std::string expand_disabled(std::string_view text, std::set<std::string>& disabled) const;

  std::map<std::string, std::string> macros_;
};

// A preprocessing directive: the word after "#" and the text after it,
// without surrounding blanks.  Nothing for a line that is not a directive
// or whose "#" is followed by no name (a line marker, a lone "#").
struct DirectiveLine {
  std::string name;
  std::string rest;
};
std::optional<DirectiveLine> directive_line(std::string_view line);

// The first word of TEXT (a macro name), or nothing when TEXT does not
// start with one.
std::optional<std::string> leading_identifier(std::string_view text);

}  // namespace vorn::testkit

#endif  // VORN_TESTKIT_MACROS_H
