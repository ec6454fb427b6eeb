// The texts of --help, --version and the -v configuration report.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "config.h"
#include "diagnostics/intl.h"
#include "driver/queries.h"
#include "specs/named_specs.h"

namespace vorn {
namespace {

// One row of the usage table.  A "\n" in the description starts a
// continuation line aligned under the description column.
struct UsageRow {
  const char* option;
  const char* description;
};

// Two blanks, then the option padded to 24 columns and one blank: the
// description starts at column 27.  Options too long for that (and the
// --help= row, whose description is on the next line) are noted in the
// row itself.
constexpr int kOptionWidth = 24;
constexpr char kContinuation[] = "                           ";  // 27 blanks

constexpr UsageRow kRowsBeforeHint[] = {
    {"-pass-exit-codes", N_("Exit with highest error code from a phase.")},
    {"--help", N_("Display this information.")},
    {"--target-help",
     N_("Display target specific command line options (including assembler and linker "
        "options).")},
};

constexpr char kHelpEqualsOption[] =
    "--help={common|optimizers|params|target|warnings|[^]{joined|separate|undocumented}}[,...].";

constexpr UsageRow kRowsAfterHint[] = {
    {"--version", N_("Display compiler version information.")},
    {"-dumpspecs", N_("Display all of the built in spec strings.")},
    {"-dumpversion", N_("Display the version of the compiler.")},
    {"-dumpmachine", N_("Display the compiler's target processor.")},
    {"-foffload=<targets>", N_("Specify offloading targets.")},
    {"-print-search-dirs", N_("Display the directories in the compiler's search path.")},
    {"-print-libvorn-file-name", N_("Display the name of the compiler's companion library.")},
    {"-print-file-name=<lib>", N_("Display the full path to library <lib>.")},
    {"-print-prog-name=<prog>", N_("Display the full path to compiler component <prog>.")},
    {"-print-multiarch",
     N_("Display the target's normalized MOX triplet, used as\na component in the library "
        "path.")},
    {"-print-multi-directory", N_("Display the root directory for versions of libvorn.")},
    {"-print-multi-lib",
     N_("Display the mapping between command line options and\nmultiple library search "
        "directories.")},
    {"-print-multi-os-directory", N_("Display the relative path to OS libraries.")},
    {"-print-sysroot", N_("Display the target libraries directory.")},
    {"-print-sysroot-headers-suffix", N_("Display the sysroot suffix used to find headers.")},
    {"-Wa,<options>", N_("Pass comma-separated <options> on to the assembler.")},
    {"-Wp,<options>", N_("Pass comma-separated <options> on to the preprocessor.")},
    {"-Wl,<options>", N_("Pass comma-separated <options> on to the linker.")},
    {"-Xassembler <arg>", N_("Pass <arg> on to the assembler.")},
    {"-Xpreprocessor <arg>", N_("Pass <arg> on to the preprocessor.")},
    {"-Xlinker <arg>", N_("Pass <arg> on to the linker.")},
    {"-save-temps", N_("Do not delete intermediate files.")},
    {"-save-temps=<arg>", N_("Do not delete intermediate files.")},
    {"-no-canonical-prefixes",
     N_("Do not canonicalize paths when building relative\nprefixes to other vorn "
        "components.")},
    {"-pipe", N_("Use pipes rather than intermediate files.")},
    {"-time", N_("Time the execution of each subprocess.")},
    {"-specs=<file>", N_("Override built-in specs with the contents of <file>.")},
    {"-std=<standard>", N_("Assume that the input sources are for <standard>.")},
    {"--sysroot=<directory>",
     N_("Use <directory> as the root directory for headers\nand libraries.")},
    {"-B <directory>", N_("Add <directory> to the compiler's search paths.")},
    {"-v", N_("Display the programs invoked by the compiler.")},
    {"-###", N_("Like -v but options quoted and commands not executed.")},
    {"-E", N_("Preprocess only; do not compile, assemble or link.")},
    {"-S", N_("Compile only; do not assemble or link.")},
    {"-c", N_("Compile and assemble, but do not link.")},
    {"-o <file>", N_("Place the output into <file>.")},
    {"-pie", N_("Create a dynamically linked position independent\nexecutable.")},
    {"-shared", N_("Create a shared library.")},
    {"-x <language>",
     N_("Specify the language of the following input files.\nPermissible languages include: c "
        "c++ assembler none\n'none' means revert to the default behavior of\nguessing the "
        "language based on the file's extension.")},
};

// Writes DESCRIPTION from the current column on, each continuation line
// indented to the description column.
void print_description(std::FILE* stream, const char* description) {
  for (const char* p = description;;) {
    const char* end = std::strchr(p, '\n');
    if (end == nullptr) {
      std::fprintf(stream, "%s\n", p);
      return;
    }
    std::fprintf(stream, "%.*s\n%s", static_cast<int>(end - p), p, kContinuation);
    p = end + 1;
  }
}

void print_row(std::FILE* stream, const UsageRow& row) {
  std::fprintf(stream, "  %-*s ", kOptionWidth, row.option);
  print_description(stream, _(row.description));
}

}  // namespace

void print_usage(std::FILE* stream, const char* program, bool verbose) {
  std::fprintf(stream, _("Usage: %s [options] file...\n"), program);
  std::fputs(_("Options:\n"), stream);
  for (const UsageRow& row : kRowsBeforeHint) print_row(stream, row);
  std::fprintf(stream, "  %s\n%s", kHelpEqualsOption, kContinuation);
  print_description(stream, _("Display specific types of command line options."));
  if (!verbose) {
    std::fputs(_("  (Use '-v --help' to display command line options of sub-processes).\n"),
               stream);
  }
  for (const UsageRow& row : kRowsAfterHint) print_row(stream, row);
  std::fprintf(stream,
               _("\nOptions starting with -g, -f, -m, -O, -W, or --param are automatically\n"
                 " passed on to the various sub-processes invoked by %s.  In order to pass\n"
                 " other options on to these processes the -W<letter> options must be used.\n"),
               program);
}

void print_version_banner(std::FILE* stream, const char* program) {
  std::fprintf(stream, "%s %s%s\n", program, config::kPackageVersion, config::kVersion);
  std::fputs(_("Copyright (C) 2026 The Vorn authors.\n"
               "Vorn is shared in the hope that it is useful, but it comes WITHOUT ANY\n"
               "WARRANTY, not even of merchantability or of fitness for any purpose.\n"
               "Its source distribution states the terms under which you may copy it.\n"),
             stream);
}

void print_configuration_report(std::FILE* stream) {
  std::fprintf(stream, _("Target: %s\n"), config::kTargetMachine);
  std::fprintf(stream, _("Configured with: %s\n"), config::kConfigureLine);
  std::fprintf(stream, _("Thread model: %s\n"), config::kThreadModel);
  std::fputs(_("Supported LTO compression algorithms: zlib"), stream);
  std::fputs("\n", stream);
  // A specs file that redefines "version" makes the driver run compilers
  // of another version; the report says so.
  std::string_view configured(config::kVersion);
  std::string_view base = configured.substr(0, configured.find(' '));
  const char* compiler_version = spec_text(SpecId::kVersion);
  if (base == compiler_version) {
    std::fprintf(stream, _("vorn version %s %s\n"), config::kVersion, config::kPackageVersion);
  } else {
    std::fprintf(stream, _("vorn driver version %s %sexecuting vorn version %s\n"),
                 config::kVersion, config::kPackageVersion, compiler_version);
  }
}

}  // namespace vorn
