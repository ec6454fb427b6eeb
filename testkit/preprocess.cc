#include "testkit/preprocess.h"

#include <sys/stat.h>

#include <initializer_list>
#include <set>
#include <string_view>
#include <utility>

#include "testkit/invocation.h"
#include "testkit/macros.h"

namespace vorn::testkit {

namespace {

bool is_one_of(const std::string& arg, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    if (arg == name) return true;
  }
  return false;
}

// Make reads "$" as a variable and "#" as a comment, and splits at blanks.
std::string quote_for_make(const std::string& name) {
  std::string quoted;
  for (char c : name) {
    if (c == ' ' || c == '\t') {
      quoted += '\\';
    } else if (c == '$') {
      quoted += '$';
    } else if (c == '#') {
      quoted += '\\';
    }
    quoted += c;
  }
  return quoted;
}

// Applies an option that takes the next argument; ARG is the option.
void apply_separate_option(const std::string& arg, const std::string& value,
                           PreprocessOptions& options) {
  using Rule = PreprocessOptions::Rule;
  if (arg == "-I") {
    options.bracket_dirs.push_back(value);
  } else if (arg == "-iquote") {
    options.quote_dirs.push_back(value);
  } else if (arg == "-isystem" || arg == "-idirafter") {
    options.system_dirs.push_back(value);
  } else if (arg == "-include") {
    options.forced_includes.push_back(value);
  } else if (arg == "-MD" || arg == "-MMD") {
    options.rule = arg == "-MD" ? Rule::kAllHeaders : Rule::kUserHeaders;
    if (!options.rule_file) options.rule_file = value;
  } else if (arg == "-MF") {
    options.rule_file = value;
  } else if (arg == "-MT") {
    options.targets.push_back(value);
  } else if (arg == "-MQ") {
    options.targets.push_back(quote_for_make(value));
  }
}

bool is_file(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A file reached by two paths ("h.h" and "sub/../h.h") is one file.
std::pair<dev_t, ino_t> identity(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return {0, 0};
  return {st.st_dev, st.st_ino};
}

std::string directory_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// One #include directive: the name between its quotes or angle brackets.
struct Directive {
  std::string name;
  bool quoted = false;
};

std::optional<Directive> include_directive(std::string_view line) {
  std::size_t pos = line.find_first_not_of(" \t");
  if (pos == std::string_view::npos || line[pos] != '#') return std::nullopt;
  pos = line.find_first_not_of(" \t", pos + 1);
  constexpr std::string_view kInclude = "include";
  if (pos == std::string_view::npos || line.substr(pos, kInclude.size()) != kInclude) {
    return std::nullopt;
  }
  pos = line.find_first_not_of(" \t", pos + kInclude.size());
  if (pos == std::string_view::npos || (line[pos] != '"' && line[pos] != '<')) return std::nullopt;
  char close = line[pos] == '"' ? '"' : '>';
  std::size_t end = line.find(close, pos + 1);
  if (end == std::string_view::npos || end == pos + 1) return std::nullopt;
  return Directive{std::string(line.substr(pos + 1, end - pos - 1)), close == '"'};
}

class Scanner {
 public:
  explicit Scanner(const PreprocessOptions& options) : options_(options) {
    if (!options_.assembler) return;
    macros_.define("__ASSEMBLER__", "1");
    for (const std::string& option : options_.macro_options) {
      if (option.compare(0, 2, "-D") == 0) {
        macros_.define_option(std::string_view(option).substr(2));
      } else {
        macros_.undefine(option.substr(2));
      }
    }
  }

  SourceScan run(const std::string& input, const std::string& contents) {
    std::string shown = input == "-" ? "<stdin>" : input;
    scan_.text += "# 1 \"" + shown + "\"\n";
    if (input != "-") seen_.insert(identity(input));
    // A forced include is read as if the first line of the source named it,
    // but it is looked for in the current directory first.
    for (const std::string& name : options_.forced_includes) {
      if (!include(Directive{name, true}, std::string(), shown, 0)) return std::move(scan_);
    }
    copy_lines(shown, directory_of(input), contents);
    return std::move(scan_);
  }

 private:
  // Copies CONTENTS of FILE into the text, replacing each directive by the
  // header's own text between line markers.  False after an error.
  bool copy_lines(const std::string& file, const std::string& dir, const std::string& contents) {
    std::size_t start = 0;
    int line_number = 0;
    std::vector<Conditional> open;  // the file's #ifdef blocks, innermost last
    while (start < contents.size()) {
      std::size_t end = contents.find('\n', start);
      if (end == std::string::npos) end = contents.size();
      std::string_view line(contents.data() + start, end - start);
      ++line_number;
      start = end + 1;
      if (options_.assembler) {
        std::optional<DirectiveLine> directive = directive_line(line);
        bool taking = open.empty() || open.back().taking;
        if (directive && apply_conditional(*directive, open, file, line_number)) {
          if (scan_.error) return false;
          scan_.text += '\n';
          continue;
        }
        if (!taking || (directive && apply_definition(*directive))) {
          scan_.text += '\n';
          continue;
        }
      }
      std::optional<Directive> directive = include_directive(line);
      if (!directive || !include(*directive, dir, file, line_number)) {
        if (scan_.error) return false;
        scan_.text += options_.assembler ? macros_.expand(line) : std::string(line);
        scan_.text += '\n';
      }
    }
    if (!open.empty()) {
      scan_.error = file + ":" + std::to_string(open.back().line) + ": unterminated #" +
                    open.back().directive;
      return false;
    }
    return true;
  }

  // One #ifdef or #ifndef block being read.
  struct Conditional {
    std::string directive;  // "ifdef" or "ifndef", for the message
    int line = 0;
    bool outer_taking = true;  // the enclosing block's lines are kept
    bool taking = true;        // this branch's lines are kept
    bool seen_else = false;
  };

  // Handles #ifdef, #ifndef, #else and #endif; false for any other
  // directive.  A misplaced one sets the error.
  bool apply_conditional(const DirectiveLine& directive, std::vector<Conditional>& open,
                         const std::string& file, int line_number) {
    auto fail = [&](const std::string& message) {
      scan_.error = file + ":" + std::to_string(line_number) + ": " + message;
      return true;
    };
    if (directive.name == "ifdef" || directive.name == "ifndef") {
      std::optional<std::string> name = leading_identifier(directive.rest);
      if (!name) return fail("no macro name given in #" + directive.name + " directive");
      bool outer = open.empty() || open.back().taking;
      bool wanted = macros_.defined(*name) == (directive.name == "ifdef");
      open.push_back(Conditional{directive.name, line_number, outer, outer && wanted, false});
      return true;
    }
    if (directive.name == "else") {
      if (open.empty() || open.back().seen_else) return fail("#else without #ifdef");
      Conditional& block = open.back();
      block.taking = block.outer_taking && !block.taking;
      block.seen_else = true;
      return true;
    }
    if (directive.name == "endif") {
      if (open.empty()) return fail("#endif without #ifdef");
      open.pop_back();
      return true;
    }
    return false;
  }

  // Handles #define NAME BODY and #undef NAME; false for any other
  // directive.  Only object-like macros are known: a name followed by "("
  // is defined with the parenthesis as part of its body.
  bool apply_definition(const DirectiveLine& directive) {
    if (directive.name != "define" && directive.name != "undef") return false;
    std::optional<std::string> name = leading_identifier(directive.rest);
    if (!name) return true;
    if (directive.name == "undef") {
      macros_.undefine(*name);
    } else {
      std::string_view body = std::string_view(directive.rest).substr(name->size());
      std::size_t first = body.find_first_not_of(" \t");
      macros_.define(*name, first == std::string_view::npos ? "" : std::string(body.substr(first)));
    }
    return true;
  }

  // Handles one directive of FILE (line LINE_NUMBER); false when it stays
  // in the text as it is, or after an error.
  bool include(const Directive& directive, const std::string& dir, const std::string& file,
               int line_number) {
    std::optional<Header> header = find(directive, dir);
    if (!header) {
      if (options_.missing_headers_are_dependencies) {
        note(Header{directive.name, false});
        return true;
      }
      if (directive.quoted) {
        scan_.error = file + ":" + std::to_string(line_number) + ": " + directive.name +
                      ": No such file or directory";
      }
      return false;
    }
    if (!seen_.insert(identity(header->path)).second) return true;
    note(*header);
    std::string contents;
    if (!read_file(header->path, contents)) {
      scan_.error = header->path + ": cannot read";
      return false;
    }
    scan_.text += "# 1 \"" + header->path + "\" 1\n";
    if (!copy_lines(header->path, directory_of(header->path), contents)) return false;
    scan_.text += "# " + std::to_string(line_number + 1) + " \"" + file + "\" 2\n";
    return true;
  }

  void note(const Header& header) { scan_.headers.push_back(header); }

  // Quoted names are looked for beside the including file, then in the
  // -iquote directories; every name then in -I, -isystem and -idirafter.
  std::optional<Header> find(const Directive& directive, const std::string& dir) const {
    if (!directive.name.empty() && directive.name[0] == '/') {
      if (is_file(directive.name)) return Header{directive.name, false};
      return std::nullopt;
    }
    if (directive.quoted) {
      if (is_file(join(dir, directive.name))) return Header{join(dir, directive.name), false};
      if (std::optional<Header> found = find_in(options_.quote_dirs, directive.name, false)) {
        return found;
      }
    }
    if (std::optional<Header> found = find_in(options_.bracket_dirs, directive.name, false)) {
      return found;
    }
    return find_in(options_.system_dirs, directive.name, true);
  }

  static std::optional<Header> find_in(const std::vector<std::string>& dirs,
                                       const std::string& name, bool system) {
    for (const std::string& dir : dirs) {
      if (is_file(join(dir, name))) return Header{join(dir, name), system};
    }
    return std::nullopt;
  }

  const PreprocessOptions& options_;
  MacroTable macros_;
  SourceScan scan_;
  std::set<std::pair<dev_t, ino_t>> seen_;
};

std::string default_target(const std::string& input) {
  std::string base = input.substr(input.rfind('/') + 1);
  std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot != 0) base.erase(dot);
  return quote_for_make(base + ".o");
}

// Appends WORD to the rule, breaking lines the way make reads them.
void append_word(std::string& rule, std::size_t& line_length, const std::string& word) {
  constexpr std::size_t kWidth = 76;
  if (line_length + 1 + word.size() > kWidth && line_length > 0) {
    rule += " \\\n";
    line_length = 0;
  }
  rule += ' ';
  rule += word;
  line_length += 1 + word.size();
}

}  // namespace

bool parse_preprocess_option(const std::vector<std::string>& args, std::size_t& i,
                             PreprocessOptions& options) {
  const std::string& arg = args[i];
  using Rule = PreprocessOptions::Rule;
  if (is_one_of(arg, {"-I", "-iquote", "-isystem", "-idirafter", "-include", "-MD", "-MMD", "-MF",
                      "-MT", "-MQ"})) {
    if (i + 1 < args.size()) apply_separate_option(arg, args[++i], options);
    return true;
  }
  if ((arg == "-D" || arg == "-U") && i + 1 < args.size()) {
    options.macro_options.push_back(arg + args[++i]);
  } else if (arg.size() > 2 && (arg.compare(0, 2, "-D") == 0 || arg.compare(0, 2, "-U") == 0)) {
    options.macro_options.push_back(arg);
  } else if (arg == "-lang-asm") {
    options.assembler = true;
  } else if (arg.size() > 2 && arg.compare(0, 2, "-I") == 0) {
    options.bracket_dirs.push_back(arg.substr(2));
  } else if (arg == "-M" || arg == "-MM") {
    options.rule = arg == "-M" ? Rule::kAllHeaders : Rule::kUserHeaders;
    options.rule_is_the_output = true;
  } else if (arg == "-MP") {
    options.phony_headers = true;
  } else if (arg == "-MG") {
    options.missing_headers_are_dependencies = true;
  } else if (arg == "-fpreprocessed") {
    options.preprocessed_input = true;
  } else {
    return false;
  }
  return true;
}

SourceScan scan_source(const std::string& input, const std::string& contents,
                       const PreprocessOptions& options) {
  return Scanner(options).run(input, contents);
}

std::string dependency_rule(const std::string& input, const SourceScan& scan,
                            const PreprocessOptions& options) {
  std::string rule;
  for (const std::string& target : options.targets) rule += (rule.empty() ? "" : " ") + target;
  if (rule.empty()) rule = default_target(input);
  rule += ':';
  std::size_t line_length = rule.size();
  bool user_only = options.rule == PreprocessOptions::Rule::kUserHeaders;
  if (input != "-") append_word(rule, line_length, quote_for_make(input));
  std::string phony;
  for (const Header& header : scan.headers) {
    if (user_only && header.system) continue;
    append_word(rule, line_length, quote_for_make(header.path));
    if (options.phony_headers) phony += "\n" + quote_for_make(header.path) + ":\n";
  }
  return rule + "\n" + phony;
}

}  // namespace vorn::testkit
