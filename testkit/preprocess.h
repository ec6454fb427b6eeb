// What the stand-in compilers proper make of their sources where build tools
// look: the files named by #include, the make-style dependency rule of
// -M, -MM, -MD and -MMD, and the preprocessed text of -E.
#ifndef VORN_TESTKIT_PREPROCESS_H
#define VORN_TESTKIT_PREPROCESS_H

#include <optional>
#include <string>
#include <vector>

namespace vorn::testkit {

// The preprocessing options the driver passes on, as separate arguments.
struct PreprocessOptions {
  std::vector<std::string> quote_dirs;            // -iquote
  std::vector<std::string> bracket_dirs;          // -I
  std::vector<std::string> system_dirs;           // -isystem, then -idirafter
  std::vector<std::string> forced_includes;       // -include
  bool preprocessed_input = false;                // -fpreprocessed: nothing to scan
  bool missing_headers_are_dependencies = false;  // -MG
  // -lang-asm: assembler source, whose -E output must assemble.  Only then
  // are macros and conditionals applied (the C and C++ texts keep every
  // line, as the dependency tests expect).
  bool assembler = false;
  std::vector<std::string> macro_options;  // "-DNAME[=BODY]" and "-UNAME", in order

  // Which headers the rule lists: none, all of them (-M, -MD) or only those
  // outside the system directories (-MM, -MMD).
  enum class Rule { kNone, kAllHeaders, kUserHeaders };
  Rule rule = Rule::kNone;
  bool rule_is_the_output = false;       // -M or -MM: the rule replaces the output
  std::optional<std::string> rule_file;  // -MD/-MMD FILE, overridden by -MF FILE
  std::vector<std::string> targets;      // -MT as given, -MQ quoted for make
  bool phony_headers = false;            // -MP
};

// Consumes the preprocessing option at ARGS[I] (and its separate argument,
// advancing I); false when ARGS[I] is not one.
bool parse_preprocess_option(const std::vector<std::string>& args, std::size_t& i,
                             PreprocessOptions& options);

struct Header {
  std::string path;  // as found: the directory searched joined with the name
  bool system = false;
};

// One source read with its headers.  Every header is read once, as if it
// had an include guard.  Assembler source also has its object-like macros
// expanded and its #ifdef/#ifndef/#else/#endif blocks chosen; the lines of
// the directives and of the blocks left out become empty lines, so that
// line numbers stay right.  A quoted header that cannot be found is an error
// unless -MG lists it as a dependency; an angle-bracket header that cannot
// be found is left alone, since the stand-in world has no system headers.
struct SourceScan {
  std::vector<Header> headers;  // in the order they were first included
  std::string text;             // the preprocessed text, with line markers
  std::optional<std::string> error;
};

// Scans INPUT (its CONTENTS already read; "-" is standard input).
SourceScan scan_source(const std::string& input, const std::string& contents,
                       const PreprocessOptions& options);

// The make rule of INPUT: the targets (by default the input's last component
// with its suffix replaced by ".o"), the input and the headers, and with -MP
// an empty rule for every header.
std::string dependency_rule(const std::string& input, const SourceScan& scan,
                            const PreprocessOptions& options);

}  // namespace vorn::testkit

#endif  // VORN_TESTKIT_PREPROCESS_H
