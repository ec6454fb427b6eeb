#include "testkit/generic_tool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/preprocess.h"

namespace vorn::testkit {

namespace {

// Every output starts with this line, so that a later stage can recognise
// (and show) what an earlier stand-in produced.
constexpr std::string_view kMarker = "standin ";
// An output that an assembler reads (what a compiler proper writes, and the
// preprocessed text of assembler source) has its record in assembler
// comments, so that it assembles; "//" starts a comment anywhere on an
// AArch64 line.
constexpr std::string_view kComment = "//";

// Options that take the next argument as their value, so that the value is
// not mistaken for an input file; each is written between blanks.
constexpr std::string_view kSeparateArgumentOptions =
    " -dumpbase -dumpbase-ext -dumpdir -D -U -A -imacros -iprefix -iwithprefix -iwithprefixbefore "
    "-isysroot -imultilib"
    " -imultiarch -x -L -plugin --plugin -T -z -m -dynamic-linker -soname -e -u -Map -rpath"
    " -rpath-link -h -Y ";

struct GenericArgs {
  std::optional<std::string> output;
  std::vector<std::string> inputs;
  std::optional<std::string> dump;
  bool preprocess_only = false;
  bool compare_debug_second = false;
  bool print_version = false;
  PreprocessOptions preprocess;
};

bool takes_separate_argument(const std::string& arg) {
  return kSeparateArgumentOptions.find(" " + arg + " ") != std::string_view::npos;
}

// Inputs are the arguments that are not options; "-" is standard input.  A
// response file ("@FILE") is not an input: its contents are in the record.
GenericArgs parse_args(const std::vector<std::string>& args) {
  GenericArgs parsed;
  constexpr std::string_view kDumpOption = "-fdump-final-insns=";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-o") {
      if (i + 1 < args.size()) parsed.output = args[++i];
    } else if (arg.size() > 2 && arg.compare(0, 2, "-o") == 0) {
      parsed.output = arg.substr(2);
    } else if (arg == "-") {
      parsed.inputs.push_back(arg);
    } else if (arg.size() > kDumpOption.size() &&
               arg.compare(0, kDumpOption.size(), kDumpOption) == 0) {
      parsed.dump = arg.substr(kDumpOption.size());
    } else if (arg == "-E") {
      parsed.preprocess_only = true;
    } else if (arg == "-fcompare-debug-second") {
      parsed.compare_debug_second = true;
    } else if (arg == "-version") {
      parsed.print_version = true;
    } else if (parse_preprocess_option(args, i, parsed.preprocess)) {
      continue;
    } else if (takes_separate_argument(arg)) {
      ++i;
    } else if (arg.empty() || (arg[0] != '-' && arg[0] != '@')) {
      parsed.inputs.push_back(arg);
    }
  }
  return parsed;
}

bool links(std::string_view tool) {
  return tool == "ld" || tool == "ldwrap";
}

// Every tool run here but the assembler, the linkers, objcopy and the LTO
// runner plays a compiler proper.
bool compiles(std::string_view tool) {
  return !links(tool) && tool != "as" && tool != "objcopy" && tool != "lto-runner";
}

// A compiler proper writes assembly, and so does preprocessing of assembler
// source: the output must be something a real assembler accepts.
bool writes_assembly(std::string_view tool, const GenericArgs& parsed) {
  return compiles(tool) && (!parsed.preprocess_only || parsed.preprocess.assembler);
}

// Where the output goes when no -o was given: the assembler and linkers
// write a.out, objcopy rewrites its second operand, the compilers proper
// write standard output.
std::string default_output(std::string_view tool, GenericArgs& parsed) {
  if (links(tool) || tool == "as") return "a.out";
  if (tool == "objcopy" && parsed.inputs.size() >= 2) {
    std::string out = parsed.inputs.back();
    parsed.inputs.pop_back();
    return out;
  }
  return "-";
}

// The record lines of TEXT made assembler comments.
std::string commented(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out += kComment;
    if (end > start) out += ' ';
    out.append(text, start, end - start);
    out += '\n';
    start = end + 1;
  }
  return out;
}

// An input's contents are shown, indented, when a stand-in made them; a
// record kept in assembler comments is shown without the comment marks.
void append_nested(std::string& text, const std::string& contents) {
  const std::string commented_marker = std::string(kComment) + " " + std::string(kMarker);
  bool is_commented = contents.compare(0, commented_marker.size(), commented_marker) == 0;
  if (!is_commented && contents.compare(0, kMarker.size(), kMarker) != 0) return;
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string_view line(contents.data() + start, end - start);
    if (is_commented && line.substr(0, kComment.size()) == kComment) {
      line.remove_prefix(std::min(line.size(), kComment.size() + 1));
    }
    text += "  ";
    text += line;
    text += '\n';
    start = end + 1;
  }
}

std::string make_output_text(Invocation& inv, const GenericArgs& parsed) {
  std::string text = std::string(kMarker) + inv.tool + " output\n";
  for (const std::string& input : parsed.inputs) {
    std::string contents;
    if (input == "-") {
      contents = read_standard_input(inv);
      text += inv.tool + " input - (" + std::to_string(contents.size()) + " bytes)\n";
    } else if (read_file(input, contents)) {
      text += inv.tool + " input " + input + "\n";
    } else {
      text += inv.tool + " input " + input + " (missing)\n";
    }
    append_nested(text, contents);
  }
  return text;
}

// The final-insns dump depends only on the tool and its inputs, so the two
// compilations of a compare-debug run agree unless STANDIN_DUMP_DIFFER
// asks otherwise: "length" makes the second dump longer, any other value
// changes its bytes but not its length.
std::string make_dump_text(const Invocation& inv, const GenericArgs& parsed) {
  std::string text = "final insns of " + inv.tool + ":";
  for (const std::string& input : parsed.inputs) text += " " + input;
  text += "\n";
  const char* differ = std::getenv("STANDIN_DUMP_DIFFER");
  if (differ != nullptr && parsed.compare_debug_second) {
    if (std::string_view(differ) == "length") {
      text += "second compilation differs\n";
    } else {
      text[0] = 'F';
    }
  }
  return text;
}

// The compilers proper of the preprocessed languages read their sources
// for #include, so that build tools see dependency files and preprocessed
// text that follow the headers.
bool preprocesses(std::string_view tool, const GenericArgs& parsed) {
  return (tool == "cfe1" || tool == "cxxfe1") && !parsed.preprocess.preprocessed_input;
}

struct Preprocessed {
  std::string text;   // what -E adds after the input lines
  std::string rules;  // one make rule per input
};

std::optional<Preprocessed> preprocess_inputs(Invocation& inv, const GenericArgs& parsed) {
  Preprocessed result;
  for (const std::string& input : parsed.inputs) {
    std::string contents;
    if (input == "-") {
      contents = read_standard_input(inv);
    } else if (!read_file(input, contents)) {
      complain(inv, input + ": No such file or directory");
      return std::nullopt;
    }
    SourceScan scan = scan_source(input, contents, parsed.preprocess);
    if (scan.error) {
      complain(inv, *scan.error);
      return std::nullopt;
    }
    result.text += scan.text;
    result.rules += dependency_rule(input, scan, parsed.preprocess);
  }
  return result;
}

// -M and -MM make the rules the whole output; -MD and -MMD write them to
// their file beside the ordinary output.
bool write_rules(const Invocation& inv, const GenericArgs& parsed, const std::string& output,
                 const std::string& rules) {
  const PreprocessOptions& options = parsed.preprocess;
  if (options.rule == PreprocessOptions::Rule::kNone) return true;
  if (options.rule_file) return write_output(inv, *options.rule_file, rules);
  return !options.rule_is_the_output || write_output(inv, output, rules);
}

}  // namespace

int run_generic_tool(Invocation& inv) {
  GenericArgs parsed = parse_args(inv.args);
  // An assembler given no input reads standard input, as it does when it is
  // the second stage of a -pipe run.
  if (inv.tool == "as" && parsed.inputs.empty() && !parsed.print_version) {
    parsed.inputs.push_back("-");
  }
  if (parsed.print_version) std::fprintf(stderr, "standin %s version 1.0\n", inv.tool.c_str());
  std::string output = parsed.output ? *parsed.output : default_output(inv.tool, parsed);
  if (!parsed.output && parsed.preprocess_only) output = "-";
  std::string text = make_output_text(inv, parsed);
  if (writes_assembly(inv.tool, parsed)) text = commented(text);
  if (preprocesses(inv.tool, parsed)) {
    std::optional<Preprocessed> preprocessed = preprocess_inputs(inv, parsed);
    if (!preprocessed || !write_rules(inv, parsed, output, preprocessed->rules)) return 1;
    if (parsed.preprocess.rule_is_the_output) return 0;
    if (parsed.preprocess_only) text += preprocessed->text;
  }
  if (!write_output(inv, output, text, links(inv.tool))) return 1;
  if (parsed.dump && !write_output(inv, *parsed.dump, make_dump_text(inv, parsed))) return 1;
  return 0;
}

}  // namespace vorn::testkit
